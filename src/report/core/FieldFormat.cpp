#include "FieldFormat.h"
#include "Amount.h"

#include <QDate>

namespace FieldFormat {

namespace {

QString groupDigits(const QString& digits, AmountPattern pattern) {
    if (pattern == AmountPattern::Plain || digits.size() <= 3)
        return digits;
    // The last three digits form one group; before them groups of three
    // (international) or two (Indian).
    const int step = pattern == AmountPattern::Indian ? 2 : 3;
    QString head = digits.left(digits.size() - 3);
    QString grouped = digits.right(3);
    while (!head.isEmpty()) {
        const qsizetype take = std::min<qsizetype>(step, head.size());
        grouped.prepend(head.right(take) + QLatin1Char(','));
        head.chop(take);
    }
    return grouped;
}

} // namespace

std::optional<AmountPattern> amountPattern(const QString& text) {
    if (text == QLatin1String("0.00"))
        return AmountPattern::Plain;
    if (text == QLatin1String("#,##0.00"))
        return AmountPattern::Thousands;
    if (text == QLatin1String("#,##,##0.00"))
        return AmountPattern::Indian;
    return std::nullopt;
}

QString amountPatternText(AmountPattern pattern) {
    switch (pattern) {
    case AmountPattern::Plain:
        break;
    case AmountPattern::Thousands:
        return QStringLiteral("#,##0.00");
    case AmountPattern::Indian:
        return QStringLiteral("#,##,##0.00");
    }
    return QStringLiteral("0.00");
}

QString formatCents(qint64 cents, AmountPattern pattern) {
    const quint64 magnitude = cents < 0 ? quint64(0) - quint64(cents) : quint64(cents);
    const QString digits = QString::number(magnitude / 100);
    const QString fraction = QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    const QString text = groupDigits(digits, pattern) + QLatin1Char('.') + fraction;
    return cents < 0 ? QLatin1Char('-') + text : text;
}

QString datePatternProblem(const QString& text) {
    if (text.isEmpty())
        return QStringLiteral("the date format is empty");
    if (text.size() > 40)
        return QStringLiteral("the date format is longer than 40 characters");
    bool hasField = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            hasField = true;
        } else if (c.isLetter() || c == QLatin1Char('\'')) {
            return QStringLiteral("the date format \"%1\" may hold only d, M, y and separators, not '%2'")
                .arg(text, c);
        }
    }
    if (!hasField)
        return QStringLiteral("the date format \"%1\" has no day, month or year").arg(text);
    return QString();
}

QString formatDate(const QVariant& value, const QString& pattern) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(pattern);
    const QString text = value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? date.toString(pattern) : text;
}

} // namespace FieldFormat
