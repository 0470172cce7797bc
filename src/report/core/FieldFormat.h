#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// How a template formats the figures it prints: amounts with one of three
// patterns, dates with a day-month-year pattern.
namespace FieldFormat {

enum class AmountPattern {
    Plain,     // "0.00"        1234567.5 -> 1234567.50
    Thousands, // "#,##0.00"    1234567.5 -> 1,234,567.50
    Indian,    // "#,##,##0.00" 1234567.5 -> 12,34,567.50
};

// The pattern named by its text; nothing for any other text.
std::optional<AmountPattern> amountPattern(const QString& text);

// The text that names pattern, as a template writes it.
QString amountPatternText(AmountPattern pattern);

// Hundredths as text in the pattern; a negative amount starts with "-".
QString formatCents(qint64 cents, AmountPattern pattern);

// An empty problem when text is a usable date pattern: the letters d, M and y
// with any separators ("dd-MM-yyyy", "ddMMyyyy", "dd/MM/yy"); otherwise what is wrong.
QString datePatternProblem(const QString& text);

// A stored date (a date, or ISO "yyyy-MM-dd" text) in the pattern; text that
// is no date is printed as it stands.
QString formatDate(const QVariant& value, const QString& pattern);

} // namespace FieldFormat
