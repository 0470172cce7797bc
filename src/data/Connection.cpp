#include "Connection.h"
#include "DbError.h"
#include "PgLink.h"
#include "Schema.h"
#include "SqliteLink.h"
#include "Statement.h"

#include <sqlite3.h>

namespace {
Connection::FaultInjector& faultInjector() {
    static Connection::FaultInjector injector;
    return injector;
}
} // namespace

DbError Connection::describe(int sqliteCode, const QString& text) {
    QString cause;
    switch (sqliteCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        // Another copy of the program holds the file for longer than we waited.
        cause = DbMessages::busy();
        break;
    case SQLITE_READONLY:
        cause = QStringLiteral("The database file is read-only: nothing can be stored in it. Nothing was "
                               "stored.");
        break;
    case SQLITE_FULL:
        cause = DbMessages::diskFull();
        break;
    default:
        return DbError(text);
    }
    return DbError(cause + QStringLiteral("\n(%1)").arg(text));
}

std::shared_ptr<Connection> Connection::create() {
    return std::shared_ptr<Connection>(new Connection());
}

Connection::~Connection() = default;

int Connection::State() const {
    return m_link ? 1 : 0;
}

Engine Connection::engine() const {
    return link().engine();
}

DatabaseLink& Connection::link() const {
    if (!m_link)
        throw DbError(QStringLiteral("The connection is not open."));
    return *m_link;
}

void Connection::open(const QString& target, const QString& password) {
    m_path = target;
    m_link.reset();
    SqliteLink* file = nullptr;
    if (isServerAddress(target)) {
        m_link = std::make_unique<PgLink>(target);
    } else {
        auto sqlite = std::make_unique<SqliteLink>(target);
        file = sqlite.get();
        m_link = std::move(sqlite);
    }
    try {
        Schema::checkDatabase(*this, password);
        if (file)
            file->prepareForUse();
    } catch (...) {
        m_link.reset();
        throw;
    }
}

QSqlDatabase Connection::database() const {
    const auto* sqlite = dynamic_cast<const SqliteLink*>(m_link.get());
    return sqlite ? sqlite->database() : QSqlDatabase();
}

sqlite3* Connection::handle() const {
    const auto* sqlite = dynamic_cast<const SqliteLink*>(m_link.get());
    return sqlite ? sqlite->handle() : nullptr;
}

QString Connection::writeRefusal() const {
    return m_link ? m_link->writeRefusal() : QString();
}

void Connection::execute(const QString& sql) {
    Statement(*this, sql).run();
}

void Connection::checkFault(const QString& sql) {
    if (faultInjector() && faultInjector()(sql))
        throw DbError(QStringLiteral("Injected fault: %1").arg(sql));
}

void Connection::setFaultInjector(FaultInjector injector) {
    faultInjector() = std::move(injector);
}
