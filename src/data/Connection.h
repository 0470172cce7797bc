#pragma once
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

class DbError;
struct sqlite3;

// How long a statement waits for another copy of the program that holds the
// write lock before it reports the database busy.
constexpr int kBusyTimeoutMs = 5000;

// One open SQLite database file. Recordsets share ownership, so a connection
// stays usable for as long as a recordset opened on it is alive, even after
// g_Connection has moved on to a newer one.
class Connection {
public:
    static std::shared_ptr<Connection> create();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 1 while open, 0 otherwise.
    int State() const;

    // Opens an existing Cheqora database; throws DbError with a description when
    // the file is missing, is no SQLite database, lacks a table or refuses the password.
    // A file this process cannot write is opened read-only: it reads, and a write
    // fails as read-only.
    void open(const QString& path, const QString& password);
    QString path() const { return m_path; }
    QSqlDatabase database() const { return m_db; }
    // SQLite's own handle of the open connection (see Statement); null when closed.
    sqlite3* handle() const;

    // Runs a statement without result rows; throws DbError.
    void execute(const QString& sql);

    // Why no write may begin on this connection, or empty text when writes may.
    QString writeRefusal() const { return m_writeRefusal; }

    // SQLite's error as the operator reads it: the common causes (busy,
    // read-only, disk full) in plain words first, SQLite's own text after them.
    static DbError describe(int sqliteCode, const QString& text);
    // Throws the injected fault when the test hook wants sql to fail.
    static void checkFault(const QString& sql);

    // Test hook: when set and it returns true for a statement, that statement
    // fails as the database would, before it reaches the file.
    using FaultInjector = std::function<bool(const QString& sql)>;
    static void setFaultInjector(FaultInjector injector);

private:
    Connection();
    // Sets synchronous=FULL and reads it back; when it does not take, every
    // write is refused with the reason.
    void requireFullSync();

    QString m_name;
    QString m_path;
    QSqlDatabase m_db;
    QString m_writeRefusal;
};
