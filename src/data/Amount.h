#pragma once
#include <QString>
#include <QVariant>
#include <optional>

// Amounts are decimal money with two decimals, handled as whole hundredths
// (paise, cents) wherever they are read, summed or shown.
namespace Amount {

// The largest amount of a cheque line, 9,999,999,999,999.99, in hundredths.
// Fifteen significant digits are what a double (the file's REAL) keeps
// exactly, so every path - the stored value, the slip list's sum, the printed
// figure and its words - carries every amount up to it to the paisa.
constexpr qint64 kLargestCents = 999'999'999'999'999;

// Strict reading of an amount typed by the operator: optional blanks around,
// an optional sign, digits with optional "," thousands separators (also the
// Indian 1,00,000 grouping), and at most two decimals after a "." (further
// decimals must be zeros). Returns the value in hundredths, or nothing for
// empty or non-numeric text and for amounts beyond the largest.
std::optional<qint64> parseCents(const QString& text);

// A stored amount in hundredths: a number, or text holding one in the typed
// form. Decimals beyond the second round half away from zero, reading a REAL
// by its fifteen significant digits (1.005 is stored as 1.00499999..., and
// reads as 1.01). Nothing for null, empty text, text that is no number, and
// amounts beyond the largest. The window, the slip list and the report all
// read amounts through this one rule.
std::optional<qint64> storedCents(const QVariant& value);
std::optional<qint64> storedCents(double value);

// The amount stored for hundredths: the double nearest to cents / 100, which
// reads back as exactly the same hundredths.
double centsToValue(qint64 cents);

// "0.00": at least one digit before the point, exactly two after, no
// thousands separators, "-" for a negative amount.
QString formatCents(qint64 cents);

// The leading number of a text: blanks, tabs and line feeds are skipped
// wherever they stand, then an optional sign, digits, one "." and an optional
// exponent; reading stops at the first character that cannot continue the
// number. No number gives 0.
double leadingNumber(const QString& text);

} // namespace Amount
