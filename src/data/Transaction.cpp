#include "Transaction.h"
#include "DbError.h"

Transaction::Transaction(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {
    if (!m_connection || m_connection->State() != 1)
        throw DbError(QStringLiteral("The connection is not open."));
    if (!m_connection->writeRefusal().isEmpty())
        throw DbError(m_connection->writeRefusal());
    // The write lock is taken now, so a busy database is found before any change.
    m_connection->link().beginWrite();
    m_open = true;
}

Transaction::~Transaction() {
    if (m_open)
        m_connection->link().rollback();
}

void Transaction::commit() {
    m_open = false; // a failed commit is over too: the link undoes what is left
    try {
        m_connection->link().commit();
    } catch (...) {
        m_connection->link().rollback();
        throw;
    }
}
