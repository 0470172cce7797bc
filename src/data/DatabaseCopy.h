#pragma once
#include <QString>

// Moves an office's data between a SQLite file and a PostgreSQL server (or
// between any two Cheqora databases): every account, slip and cheque line with
// its key, checked before it is committed.
namespace DatabaseCopy {

struct Copied {
    qint64 accounts = 0;
    qint64 slips = 0;
    qint64 lines = 0;
};

// Copies source, as it stands at one moment, into target in one transaction:
// a file path that does not exist is created; otherwise target must be a
// Cheqora database without accounts, slips or cheque lines. Keys are kept, and
// new keys in target follow the largest source ever gave. Before the commit
// the rows of each table are counted and every slip's total (in whole
// hundredths) compared on both sides; any difference stores nothing. Throws
// DbError; a file it created is removed again then.
Copied copy(const QString& source, const QString& target, const QString& password);

} // namespace DatabaseCopy
