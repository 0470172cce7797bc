#include "AmountInWords.h"

#include <QStringList>

namespace AmountInWords {

namespace {

const char* const kOnes[] = {"",         "One",     "Two",     "Three",     "Four",     "Five",    "Six",
                             "Seven",    "Eight",   "Nine",    "Ten",       "Eleven",   "Twelve",  "Thirteen",
                             "Fourteen", "Fifteen", "Sixteen", "Seventeen", "Eighteen", "Nineteen"};
const char* const kTens[] = {"",      "",      "Twenty",  "Thirty", "Forty",
                             "Fifty", "Sixty", "Seventy", "Eighty", "Ninety"};

// 1..999 in words; 0 adds nothing.
void belowThousand(quint64 n, QStringList& words) {
    if (n >= 100) {
        words << QString::fromLatin1(kOnes[n / 100]) << QStringLiteral("Hundred");
        n %= 100;
    }
    if (n >= 20) {
        words << QString::fromLatin1(kTens[n / 10]);
        n %= 10;
    }
    if (n > 0)
        words << QString::fromLatin1(kOnes[n]);
}

void group(quint64 count, const char* name, QStringList& words) {
    if (count == 0)
        return;
    belowThousand(count, words);
    words << QString::fromLatin1(name);
}

void indian(quint64 n, QStringList& words) {
    const quint64 crore = 10'000'000;
    if (n >= crore) {
        // Beyond 99 crore the count of crores is itself written in Indian numbering.
        indian(n / crore, words);
        words << QStringLiteral("Crore");
        n %= crore;
    }
    group(n / 100'000, "Lakh", words);
    group(n / 1'000 % 100, "Thousand", words);
    belowThousand(n % 1'000, words);
}

void international(quint64 n, QStringList& words) {
    const quint64 trillion = 1'000'000'000'000;
    if (n >= trillion) {
        international(n / trillion, words);
        words << QStringLiteral("Trillion");
        n %= trillion;
    }
    group(n / 1'000'000'000, "Billion", words);
    group(n / 1'000'000 % 1'000, "Million", words);
    group(n / 1'000 % 1'000, "Thousand", words);
    belowThousand(n % 1'000, words);
}

QString magnitudeWords(quint64 n, Numbering numbering) {
    if (n == 0)
        return QStringLiteral("Zero");
    QStringList words;
    if (numbering == Numbering::Indian)
        indian(n, words);
    else
        international(n, words);
    return words.join(QLatin1Char(' '));
}

// |value| without overflow for the most negative number.
quint64 magnitude(qint64 value) {
    return value < 0 ? quint64(0) - quint64(value) : quint64(value);
}

} // namespace

QString number(qint64 value, Numbering numbering) {
    const QString words = magnitudeWords(magnitude(value), numbering);
    return value < 0 ? QStringLiteral("Minus ") + words : words;
}

QString amount(qint64 cents, Numbering numbering, const Currency& currency) {
    const quint64 all = magnitude(cents);
    const quint64 whole = all / 100;
    const quint64 fraction = all % 100;
    QStringList words;
    if (cents < 0)
        words << QStringLiteral("Minus");
    if (!currency.unit.isEmpty())
        words << currency.unit;
    words << magnitudeWords(whole, numbering);
    if (fraction > 0) {
        words << QStringLiteral("and") << magnitudeWords(fraction, numbering);
        if (!currency.subunit.isEmpty())
            words << currency.subunit;
    }
    words << QStringLiteral("Only");
    return words.join(QLatin1Char(' '));
}

} // namespace AmountInWords
