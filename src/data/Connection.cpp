#include "Connection.h"
#include "CentsFunction.h"
#include "DbError.h"
#include "Schema.h"
#include "Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <sqlite3.h>
#include <unistd.h>

namespace {
Connection::FaultInjector& faultInjector() {
    static Connection::FaultInjector injector;
    return injector;
}
int connectionCounter = 0;

// Whether this process can store into the file: the file itself, and beside it
// SQLite's -wal and -shm files (its folder, unless they are there already).
bool canWrite(const QString& file) {
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    return writable(file) &&
           (writable(QFileInfo(file).absolutePath()) ||
            (writable(file + QStringLiteral("-wal")) && writable(file + QStringLiteral("-shm"))));
}

} // namespace

DbError Connection::describe(int sqliteCode, const QString& text) {
    QString cause;
    switch (sqliteCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        // Another copy of the program holds the file for longer than we waited.
        cause = QStringLiteral("The database is busy: another user is saving at this moment. Nothing was "
                               "stored; please try again.");
        break;
    case SQLITE_READONLY:
        cause = QStringLiteral("The database file is read-only: nothing can be stored in it. Nothing was "
                               "stored.");
        break;
    case SQLITE_FULL:
        cause = QStringLiteral("The disk is full: nothing was stored. Make room on the disk and try again.");
        break;
    default:
        return DbError(text);
    }
    return DbError(cause + QStringLiteral("\n(%1)").arg(text));
}

std::shared_ptr<Connection> Connection::create() {
    return std::shared_ptr<Connection>(new Connection());
}

Connection::Connection() : m_name(QStringLiteral("cheqora-%1").arg(++connectionCounter)) {}

Connection::~Connection() {
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

int Connection::State() const {
    return m_db.isValid() && m_db.isOpen() ? 1 : 0;
}

void Connection::open(const QString& path, const QString& password) {
    m_path = path;
    if (path.isEmpty())
        throw DbError(QStringLiteral("No database file is named."));
    const QFileInfo info(path);
    // The driver would create a missing file; a missing file is a failed open instead.
    if (!info.exists())
        throw DbError(QStringLiteral("The database file '%1' does not exist.").arg(path));
    if (!info.isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path));

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // A second copy of the program may hold the write lock for a moment.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    m_db.setDatabaseName(path);
    const QString file = info.canonicalFilePath();
    if (!canWrite(file)) {
        // Read only. With no -wal file beside it no other copy is at work on it,
        // and SQLite reads it as it stands (immutable): it then creates no -wal
        // and -shm files, which it could not in a read-only folder and would
        // otherwise leave behind with the file's read-only permissions.
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        if (!QFileInfo::exists(file + QStringLiteral("-wal"))) {
            options += QStringLiteral(";QSQLITE_OPEN_URI");
            m_db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
                                 QStringLiteral("?immutable=1"));
        }
    }
    m_db.setConnectOptions(options);
    if (!m_db.open())
        throw DbError(m_db.lastError().text());
    try {
        Schema::checkDatabase(m_db, password);
        requireFullSync();
        registerCentsFunction(handle());
    } catch (...) {
        m_db.close();
        throw;
    }
}

void Connection::requireFullSync() {
    QString reason;
    try {
        execute(QStringLiteral("PRAGMA synchronous=FULL"));
        Statement readBack(*this, QStringLiteral("PRAGMA synchronous"));
        const QString level = readBack.next() ? readBack.value(0).toString() : QString();
        if (level.toInt() >= 2) // FULL or EXTRA
            return;
        reason = QStringLiteral("synchronous stays at %1").arg(level);
    } catch (const DbError& error) {
        reason = error.description();
    }
    m_writeRefusal =
        QStringLiteral("Nothing can be stored: the database cannot be made to write each save "
                       "through to the disk, so a saved slip might not survive a power cut.\n(%1)")
            .arg(reason);
}

void Connection::execute(const QString& sql) {
    Statement(*this, sql).run();
}

sqlite3* Connection::handle() const {
    if (State() != 1)
        return nullptr;
    const QVariant handle = m_db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

void Connection::checkFault(const QString& sql) {
    if (faultInjector() && faultInjector()(sql))
        throw DbError(QStringLiteral("Injected fault: %1").arg(sql));
}

void Connection::setFaultInjector(FaultInjector injector) {
    faultInjector() = std::move(injector);
}
