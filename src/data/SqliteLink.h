#pragma once
#include "DatabaseLink.h"

#include <QSqlDatabase>

struct sqlite3;

// A database file's own name ("") and the files SQLite keeps beside it while it is in use.
const QStringList& databaseFileSuffixes();
// Removes a database file and what SQLite keeps beside it.
void removeDatabaseFiles(const QString& path);

// A Cheqora database in a SQLite file. Qt's SQLite driver opens the file; the
// statements run through SQLite's C interface on the driver's own handle: the
// windows' reads are small lookups, and Qt's SQL layer costs more per
// statement than SQLite does for them. Values come out as Qt's SQLite driver
// gives them and are bound as it binds them (a null QString or an invalid value is NULL).
class SqliteLink : public DatabaseLink {
public:
    // Opens an existing file; throws DbError when it is missing or no SQLite
    // database. A file this process cannot write is opened read-only: it
    // reads, and a write fails as read-only.
    explicit SqliteLink(const QString& path);
    ~SqliteLink() override;

    Engine engine() const override { return Engine::Sqlite; }
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

    QSqlDatabase database() const { return m_db; }
    // SQLite's own handle of the open file; null when it gives none.
    sqlite3* handle() const;
    // Sets synchronous=FULL and reads it back; when it does not take, every
    // write is refused with the reason. Registers cents().
    void prepareForUse();

private:
    void execute(const QString& sql);

    QString m_name;
    QSqlDatabase m_db;
    QString m_writeRefusal;
};
