#pragma once
#include <QString>
#include <QtGlobal>

// Amounts written out in words for the "amount in words" line of a slip.
namespace AmountInWords {

// Indian numbering groups by thousand, lakh (1,00,000) and crore (1,00,00,000);
// international numbering by thousand, million, billion and trillion.
enum class Numbering { Indian, International };

struct Currency {
    QString unit = QStringLiteral("Rupees");
    QString subunit = QStringLiteral("Paise");
};

// A whole number in words: 0 -> "Zero", 1500000 -> "Fifteen Lakh" (Indian)
// or "One Million Five Hundred Thousand" (international). Negative numbers
// start with "Minus".
QString number(qint64 value, Numbering numbering);

// An amount in hundredths: "Rupees One Lakh Only", "Rupees Fifteen and Fifty
// Paise Only", "Rupees Zero Only"; a negative amount starts with "Minus".
QString amount(qint64 cents, Numbering numbering, const Currency& currency = {});

} // namespace AmountInWords
