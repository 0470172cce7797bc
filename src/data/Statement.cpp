#include "Statement.h"
#include "Connection.h"
#include "DatabaseLink.h"

Statement::Statement(const Connection& connection, const QString& sql) {
    DatabaseLink& link = connection.link();
    Connection::checkFault(sql);
    m_statement = link.prepare(sql);
}

Statement::~Statement() = default;

void Statement::bind(const QVariantList& values) {
    m_statement->bind(values);
    m_bound = true;
}

void Statement::run(const QVariantList& values) {
    bind(values);
    while (next()) {
    }
}

bool Statement::next() {
    if (!m_bound)
        bind({});
    return m_statement->next();
}

QStringList Statement::columnNames() const {
    return m_statement->columnNames();
}

QVariant Statement::value(int column) const {
    return m_statement->value(column);
}

qint64 Statement::lastInsertId() const {
    return m_statement->lastInsertId();
}
