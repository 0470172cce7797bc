#pragma once
#include <QString>
#include <optional>

// Amounts are decimal money with two decimals.
namespace Amount {

// Strict reading of an amount typed by the operator: optional blanks around,
// an optional sign, digits with optional "," thousands separators (also the
// Indian 1,00,000 grouping), and at most two decimals after a "." (further
// decimals must be zeros). Returns the value in hundredths (paise, cents), or
// nothing for empty, non-numeric or absurdly large text.
std::optional<qint64> parseCents(const QString& text);

// The amount stored for hundredths: the double nearest to cents / 100, which
// formats back to exactly the same two decimals.
double centsToValue(qint64 cents);

// The leading number of a text, as the live total reads amounts: blanks, tabs
// and line feeds are skipped wherever they stand, then an optional sign,
// digits, one "." and an optional exponent; reading stops at the first
// character that cannot continue the number. No number gives 0.
double leadingNumber(const QString& text);

// "0.00": at least one digit before the point, exactly two after, rounded,
// no thousands separators, "-" for a negative value.
QString format(double value);

} // namespace Amount
