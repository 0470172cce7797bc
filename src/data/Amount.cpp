#include "Amount.h"

#include <cmath>

namespace Amount {

namespace {

// A decimal text - optional sign, digits with "," separators between them, an
// optional "." and decimals - in hundredths. With rounding, decimals beyond
// the second round half away from zero; without, they must be zeros.
std::optional<qint64> decimalCents(const QString& input, bool round) {
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
            if (whole > kLargestCents / 100)
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
    bool roundUp = false;
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        ++pos;
        for (; pos < text.size() && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9'); ++pos) {
            const int digit = text[pos].unicode() - '0';
            if (fractionDigits < 2)
                fraction = fraction * 10 + digit;
            else if (fractionDigits == 2 && round)
                roundUp = digit >= 5;
            else if (!round && digit != 0)
                return std::nullopt; // a third decimal would be lost
            ++fractionDigits;
        }
    }
    if (pos != text.size() || (wholeDigits == 0 && fractionDigits == 0))
        return std::nullopt;
    if (fractionDigits == 1)
        fraction *= 10;
    const qint64 cents = whole * 100 + fraction + (roundUp ? 1 : 0);
    if (cents > kLargestCents)
        return std::nullopt;
    return negative ? -cents : cents;
}

} // namespace

std::optional<qint64> parseCents(const QString& text) {
    return decimalCents(text, false);
}

std::optional<qint64> storedCents(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    // Amounts this program stores are the doubles nearest to whole hundredths:
    // value * 100 lies within a hair of an integer, and that integer is the
    // answer. Anything else is read by its decimal digits.
    const double hundredths = value * 100.0;
    if (std::fabs(hundredths) <= double(kLargestCents) + 0.5) {
        const double nearest = std::round(hundredths);
        if (std::fabs(hundredths - nearest) <= 1e-3)
            return nearest == 0 ? 0 : static_cast<qint64>(nearest);
    }
    if (std::fabs(value) < 0.005)
        return 0;
    // Fifteen significant digits drop the binary noise; far below 1e15 the
    // text has no exponent.
    return decimalCents(QString::number(value, 'g', 15), true);
}

std::optional<qint64> storedCents(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const qint64 whole = value.toLongLong();
        if (whole > kLargestCents / 100 || whole < -kLargestCents / 100 ||
            (value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(kLargestCents)))
            return std::nullopt;
        return whole * 100;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return storedCents(value.toDouble());
    default:
        break;
    }
    return decimalCents(value.toString(), true);
}

double centsToValue(qint64 cents) {
    return static_cast<double>(cents) / 100.0;
}

QString formatCents(qint64 cents) {
    const quint64 magnitude = cents < 0 ? quint64(0) - quint64(cents) : quint64(cents);
    const QString text = QString::number(magnitude / 100) + QLatin1Char('.') +
                         QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? QLatin1Char('-') + text : text;
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

} // namespace Amount
