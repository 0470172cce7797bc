#pragma once
#include "SlipColumns.h"

#include <QString>
#include <QVariant>
#include <vector>

// The record selection a template understands: conditions of the form
//   {table.column} = value
// joined by "and", where value is a number (12, -3, 1500.50), a quoted text
// ('HDFC Bank' or "HDFC Bank"; a doubled quote stands for one), or a
// parameter field {?name}. Anything else is refused with a description.
namespace SelectionFormula {

struct Condition {
    SlipColumns::Column column;
    QVariant literal;  // the value, unless a parameter is named
    QString parameter; // the parameter field's name for {?name}
};

// The conditions of formula; a blank formula has none. Throws ReportError
// naming filePath and what is wrong.
std::vector<Condition> parse(const QString& formula, const QString& filePath);

} // namespace SelectionFormula
