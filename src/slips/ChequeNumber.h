#pragma once
#include <QString>

// A cheque number as it is kept: text that reads as a number (blanks around it,
// an optional sign, digits, an optional decimal part) becomes that number rounded
// to a whole number with at least six digits, padded with leading zeros
// ("123" -> "000123", "0001234567" -> "1234567", "12.5" -> "000013"). Any other
// text, the empty text and blanks only, comes back unchanged.
QString zeroFillChequeNo(const QString& text);
