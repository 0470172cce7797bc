#pragma once
#include <QString>

// Safe copies and health checks of a Cheqora database file, also while Cheqora runs.
namespace Backup {

// Copies source to destination as the database stands at one moment, however
// often other copies of the program commit meanwhile. The copy is written under
// a temporary name beside destination, checked as checkDatabase() checks, and
// only then given its name: destination never names an unfinished or unsound
// copy. Refuses a destination that exists (a dangling link too), or that is the
// source or one of the files SQLite keeps beside it. Throws DbError.
void copyDatabase(const QString& source, const QString& destination, const QString& password);

// Throws DbError saying why path is no sound Cheqora database: SQLite's
// integrity check, Cheqora's tables with their columns in order, and the
// password verifier.
void checkDatabase(const QString& path, const QString& password);

} // namespace Backup
