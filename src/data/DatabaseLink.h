#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// The seam between Cheqora's data layer and a database engine: a SQLite file
// (SqliteLink) or a database on a PostgreSQL server (PgLink). Connection,
// Statement, Recordset and Transaction work through it, so no window knows
// which engine it talks to.

// One SQL statement on a link, '?' placeholders bound in order. Values come
// out typed alike on every engine: whole numbers as qlonglong, other numbers as
// double, text as QString, NULL as a null QString.
class PreparedStatement {
public:
    virtual ~PreparedStatement() = default;
    // Binds the placeholders, from the start again when the statement ran before.
    virtual void bind(const QVariantList& values) = 0;
    // Runs to the next result row: true on a row, false when done.
    virtual bool next() = 0;
    virtual QStringList columnNames() = 0;
    virtual QVariant value(int column) const = 0;
    // The key the last insert on this link was given.
    virtual qint64 lastInsertId() = 0;
};

enum class Engine { Sqlite, Postgres };

class DatabaseLink {
public:
    virtual ~DatabaseLink() = default;
    virtual Engine engine() const = 0;
    // Throws DbError, also for a text holding more than one statement.
    virtual std::unique_ptr<PreparedStatement> prepare(const QString& sql) = 0;

    // A write transaction: it waits at most kBusyTimeoutMs for another writer,
    // then fails with the busy message. Writers take turns, as on a SQLite
    // file, so what a save checks inside its transaction stays true until it commits.
    virtual void beginWrite() = 0;
    // A transaction that reads the whole database as it stands at one moment.
    virtual void beginSnapshot() = 0;
    virtual void commit() = 0;
    // Never fails and passes no fault hook: undoing is never made to fail.
    virtual void rollback() noexcept = 0;

    // Why no write may begin on this link, or empty text when writes may.
    virtual QString writeRefusal() const = 0;

    // Lower-case table name and column name of every table, in column order.
    virtual QString tableColumnsSql() const = 0;
    // What the engine's own check of the database finds wrong; empty when sound.
    virtual QStringList integrityProblems() = 0;
    // The last key the table's key column was given (0 for none).
    virtual qint64 lastKey(const QString& table, const QString& keyColumn) = 0;
    // Makes the table's next new key larger than key.
    virtual void keepKeysAbove(const QString& table, const QString& keyColumn, qint64 key) = 0;
};

// Whether a path.txt item names a database server rather than a file.
bool isServerAddress(const QString& target);
