#include "Transaction.h"
#include "DbError.h"

#include <QSqlQuery>

Transaction::Transaction(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {
    if (!m_connection || m_connection->State() != 1)
        throw DbError(QStringLiteral("The connection is not open."));
    // IMMEDIATE takes the write lock now, so a busy file is found before any change.
    m_connection->execute(QStringLiteral("BEGIN IMMEDIATE"));
    m_open = true;
}

Transaction::~Transaction() {
    if (!m_open)
        return;
    QSqlQuery rollback(m_connection->database());
    rollback.exec(QStringLiteral("ROLLBACK"));
}

void Transaction::commit() {
    m_connection->execute(QStringLiteral("COMMIT"));
    m_open = false;
}
