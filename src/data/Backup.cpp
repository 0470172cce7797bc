#include "Backup.h"
#include "Connection.h"
#include "DbError.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace Backup {

namespace {

// Owns an sqlite3 handle for the length of one operation.
class Handle {
public:
    Handle(const QString& path, int flags) {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString message = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
            sqlite3_close(m_db);
            m_db = nullptr;
            throw DbError(QStringLiteral("%1: %2").arg(path, message));
        }
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    }
    ~Handle() { sqlite3_close(m_db); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    sqlite3* get() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3* m_db = nullptr;
};

void requireFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path));
}

} // namespace

void copyDatabase(const QString& source, const QString& destination) {
    requireFile(source);
    if (QFileInfo::exists(destination))
        throw DbError(QStringLiteral("'%1' exists already; it is not overwritten.").arg(destination));
    try {
        Handle from(source, SQLITE_OPEN_READWRITE);
        Handle to(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (!backup)
            throw DbError(to.error());
        // A step waits out another process's lock through the busy timeout.
        int rc = SQLITE_OK;
        do {
            rc = sqlite3_backup_step(backup, 512);
        } while (rc == SQLITE_OK);
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            throw DbError(QStringLiteral("Backup failed: %1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
    } catch (...) {
        QFile::remove(destination);
        throw;
    }
}

QString integrityCheck(const QString& path) {
    requireFile(path);
    Handle db(path, SQLITE_OPEN_READWRITE);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("%1: %2").arg(path, db.error()));
    QStringList lines;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        lines << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw DbError(QStringLiteral("%1: %2").arg(path, db.error()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace Backup
