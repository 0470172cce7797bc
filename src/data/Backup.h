#pragma once
#include <QString>

// Safe copies and health checks of a database file, also while Cheqora runs.
namespace Backup {

// Copies source to destination page by page with SQLite's online backup, so the
// copy is consistent even while another process writes. Throws DbError; an
// existing destination is never overwritten.
void copyDatabase(const QString& source, const QString& destination);

// The result of PRAGMA integrity_check: "ok" for a sound file. Throws DbError
// when the file cannot be opened at all.
QString integrityCheck(const QString& path);

} // namespace Backup
