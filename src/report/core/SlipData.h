#pragma once
#include "SlipColumns.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <vector>

// What a slip report prints: the slips its selection picks, each with its
// account and cheque lines, read through the data sources its tables name.

struct SlipRecord {
    QVariantMap slip;               // tblSlip, keyed by the column names of SlipColumns
    QVariantMap account;            // tblAcc by the slip's accno; empty when no such account exists
    std::vector<QVariantMap> lines; // tblSlipDetails in the order they were stored
};

struct TableLogon {
    QString table;
    QString dataSource;
    QString password;
};

// One selection condition with its values filled in; several values mean "any of them".
struct BoundCondition {
    SlipColumns::Column column;
    QVariantList values;
};

namespace SlipData {

// The only data source: the Cheqora database that path.txt names.
inline const QString kDataSource = QStringLiteral("slipODBC");
inline constexpr int kMaxSlips = 1000;

// The database file behind a data source name (matched without regard to
// case); throws ReportError naming filePath for an unknown or empty name.
QString databaseFor(const QString& dataSource, const QString& table, const QString& filePath);

// Reads the selected slips, oldest key first. Each table is read through its
// own logon. Conditions on tblSlip pick slips, on tblAcc pick slips by their
// account, on tblSlipDetails pick the lines (and drop slips left without one).
// maxLines > 0 refuses a slip with more lines than the template prints.
// Throws ReportError (naming filePath) for a failed logon, a failed read, no
// slip selected, or more than kMaxSlips.
std::vector<SlipRecord> read(const QString& filePath, const std::vector<TableLogon>& tables,
                             const std::vector<BoundCondition>& conditions, int maxLines);

} // namespace SlipData
