#include "ChequeNumber.h"

#include <QRegularExpression>

namespace {

constexpr int kChequeNoDigits = 6;

// Adds one to a string of decimal digits.
QString incremented(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

} // namespace

QString zeroFillChequeNo(const QString& text) {
    // Worked on as digits, not as a floating-point number, so long numbers keep every digit.
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?)([0-9]*)(?:\.([0-9]*))?\s*$)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch() || (match.captured(2).isEmpty() && match.captured(3).isEmpty()))
        return text;

    QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    if (!fraction.isEmpty() && fraction[0] >= QLatin1Char('5')) // rounds half away from zero
        whole = incremented(whole.isEmpty() ? QStringLiteral("0") : whole);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    const bool zero = whole.isEmpty() || whole == QLatin1String("0");
    const QString sign = match.captured(1) == QLatin1String("-") && !zero ? QStringLiteral("-") : QString();
    return sign + whole.rightJustified(kChequeNoDigits, QLatin1Char('0'));
}
