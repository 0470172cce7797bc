#include "Transaction.h"
#include "DbError.h"

#include <sqlite3.h>

Transaction::Transaction(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {
    if (!m_connection || m_connection->State() != 1)
        throw DbError(QStringLiteral("The connection is not open."));
    if (!m_connection->writeRefusal().isEmpty())
        throw DbError(m_connection->writeRefusal());
    // IMMEDIATE takes the write lock now, so a busy file is found before any change.
    m_connection->execute(QStringLiteral("BEGIN IMMEDIATE"));
    m_open = true;
}

Transaction::~Transaction() {
    if (!m_open)
        return;
    // Straight to SQLite, past the tests' fault hook: undoing is never made to fail.
    sqlite3_exec(m_connection->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_connection->execute(QStringLiteral("COMMIT"));
    m_open = false;
}
