#include "Amount.h"

#include <cmath>

namespace Amount {

namespace {
// Ten thousand billion in hundredths: far beyond any cheque, safe from overflow.
constexpr qint64 kMaxCents = 1'000'000'000'000'000LL;
} // namespace

std::optional<qint64> parseCents(const QString& input) {
    const QString text = input.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == QLatin1Char('-') || text[pos] == QLatin1Char('+'))) {
        negative = text[pos] == QLatin1Char('-');
        ++pos;
    }
    qint64 whole = 0;
    int wholeDigits = 0;
    bool lastWasDigit = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            whole = whole * 10 + (c.unicode() - '0');
            if (whole > kMaxCents / 100)
                return std::nullopt;
            ++wholeDigits;
            lastWasDigit = true;
        } else if (c == QLatin1Char(',') && lastWasDigit) {
            lastWasDigit = false; // a separator must stand between digits
        } else {
            break;
        }
    }
    if (wholeDigits > 0 && !lastWasDigit)
        return std::nullopt; // "1," or "1,,0"
    qint64 fraction = 0;
    int fractionDigits = 0;
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        ++pos;
        for (; pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128; ++pos) {
            const int digit = text[pos].unicode() - '0';
            if (fractionDigits < 2)
                fraction = fraction * 10 + digit;
            else if (digit != 0)
                return std::nullopt; // a third decimal would be lost
            ++fractionDigits;
        }
    }
    if (pos != text.size() || (wholeDigits == 0 && fractionDigits == 0))
        return std::nullopt;
    if (fractionDigits == 1)
        fraction *= 10;
    const qint64 cents = whole * 100 + fraction;
    return negative ? -cents : cents;
}

double centsToValue(qint64 cents) {
    return static_cast<double>(cents) / 100.0;
}

double leadingNumber(const QString& text) {
    // Collect the characters of the number, dropping blanks wherever they stand.
    QByteArray number;
    bool seenDigit = false;
    bool seenPoint = false;
    bool seenExponent = false;
    bool exponentDigits = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            continue;
        const char ch = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0';
        if (ch >= '0' && ch <= '9') {
            number += ch;
            if (seenExponent)
                exponentDigits = true;
            else
                seenDigit = true;
        } else if ((ch == '-' || ch == '+') && (number.isEmpty() || (seenExponent && number.endsWith('E')))) {
            number += ch;
        } else if (ch == '.' && !seenPoint && !seenExponent) {
            number += ch;
            seenPoint = true;
        } else if ((ch == 'e' || ch == 'E') && seenDigit && !seenExponent) {
            number += 'E';
            seenExponent = true;
        } else {
            break;
        }
    }
    if (seenExponent && !exponentDigits) {
        // "12E" or "12E-": the exponent never started.
        while (!number.isEmpty() && (number.endsWith('E') || number.endsWith('-') || number.endsWith('+')))
            number.chop(1);
    }
    if (!seenDigit)
        return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString format(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("0.00");
    QString text = QString::number(value, 'f', 2);
    if (text == QLatin1String("-0.00"))
        text = QStringLiteral("0.00");
    return text;
}

} // namespace Amount
