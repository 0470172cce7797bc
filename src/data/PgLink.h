#pragma once
#include "DatabaseLink.h"

struct pg_conn;

// A Cheqora database on a PostgreSQL server, through libpq: one round trip per
// statement (values sent as text beside the statement, typed by the server),
// and libpq reads the password from the address, PGPASSWORD or ~/.pgpass.
class PgLink : public DatabaseLink {
public:
    // Connects to the database a libpq connection URI names; throws DbError
    // when the server cannot be reached or refuses the login.
    explicit PgLink(const QString& uri);
    ~PgLink() override;

    Engine engine() const override { return Engine::Postgres; }
    std::unique_ptr<PreparedStatement> prepare(const QString& sql) override;
    void beginWrite() override;
    void beginSnapshot() override;
    void commit() override;
    void rollback() noexcept override;
    QString writeRefusal() const override { return m_writeRefusal; }
    QString tableColumnsSql() const override;
    QStringList integrityProblems() override;
    qint64 lastKey(const QString& table, const QString& keyColumn) override;
    void keepKeysAbove(const QString& table, const QString& keyColumn, qint64 key) override;

    // Runs one statement (or several in one text, for the schema) without
    // values; throws DbError. The text passes the tests' fault hook.
    void execute(const QString& sql);
    pg_conn* handle() const { return m_conn; }
    // A link whose server closed it is opened again before its next
    // statement, unless a transaction was under way (it is lost: the save says so).
    void restoreIfLost();
    bool inTransaction() const;

private:
    void setUpSession();

    QString m_address;
    pg_conn* m_conn = nullptr;
    QString m_writeRefusal;
    bool m_inTransaction = false;
};
