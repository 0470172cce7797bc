#pragma once
#include <QString>
#include <optional>
#include <vector>

// The tables and columns a report template may read, with the kind of value
// each holds (what formats apply to it).
namespace SlipColumns {

inline const QString kSlipTable = QStringLiteral("tblSlip");
inline const QString kLineTable = QStringLiteral("tblSlipDetails");
inline const QString kAccountTable = QStringLiteral("tblAcc");

enum class Kind { Text, Number, Date, Amount };

struct Column {
    QString table;  // spelled as above
    QString column; // spelled as in the schema
    Kind kind;
};

// Every column a template may print, table by table (tblAcc, tblSlip, tblSlipDetails).
std::vector<Column> all();

// The table's usual spelling, matched without regard to case; nothing for an unknown table.
std::optional<QString> table(const QString& name);

// The column, matched without regard to case; nothing for an unknown one.
std::optional<Column> column(const QString& table, const QString& column);

// "tblSlip.sdate" split and looked up; nothing unless both parts are known.
std::optional<Column> qualified(const QString& tableDotColumn);

} // namespace SlipColumns
