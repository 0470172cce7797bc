#include "SlipColumns.h"

#include <array>

namespace SlipColumns {

namespace {

struct Known {
    const QString& table;
    const char* column;
    Kind kind;
};

const std::array<Known, 20>& known() {
    static const std::array<Known, 20> columns = {{
        {kAccountTable, "id", Kind::Number},    {kAccountTable, "accno", Kind::Text},
        {kAccountTable, "accname", Kind::Text}, {kAccountTable, "branch", Kind::Text},
        {kAccountTable, "active", Kind::Text},  {kSlipTable, "sid", Kind::Number},
        {kSlipTable, "sno", Kind::Number},      {kSlipTable, "accno", Kind::Text},
        {kSlipTable, "accName", Kind::Text},    {kSlipTable, "branch", Kind::Text},
        {kSlipTable, "sdate", Kind::Date},      {kSlipTable, "depositedBy", Kind::Text},
        {kSlipTable, "remarks", Kind::Text},    {kLineTable, "sdid", Kind::Number},
        {kLineTable, "sid", Kind::Number},      {kLineTable, "chqno", Kind::Text},
        {kLineTable, "chqdate", Kind::Date},    {kLineTable, "bank", Kind::Text},
        {kLineTable, "city", Kind::Text},       {kLineTable, "amount", Kind::Amount},
    }};
    return columns;
}

} // namespace

std::vector<Column> all() {
    std::vector<Column> columns;
    for (const Known& k : known())
        columns.push_back(Column{k.table, QString::fromLatin1(k.column), k.kind});
    return columns;
}

std::optional<QString> table(const QString& name) {
    for (const QString& t : {kSlipTable, kLineTable, kAccountTable}) {
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    return std::nullopt;
}

std::optional<Column> column(const QString& tableName, const QString& columnName) {
    for (const Known& k : known()) {
        if (k.table.compare(tableName, Qt::CaseInsensitive) == 0 &&
            columnName.compare(QLatin1String(k.column), Qt::CaseInsensitive) == 0)
            return Column{k.table, QString::fromLatin1(k.column), k.kind};
    }
    return std::nullopt;
}

std::optional<Column> qualified(const QString& tableDotColumn) {
    const qsizetype dot = tableDotColumn.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return std::nullopt;
    return column(tableDotColumn.left(dot).trimmed(), tableDotColumn.mid(dot + 1).trimmed());
}

} // namespace SlipColumns
