#pragma once
#include <QStringList>
#include <QVariant>

class Connection;
struct sqlite3;
struct sqlite3_stmt;

// One SQL statement run through SQLite's C interface on a connection's own
// handle. The windows' reads are small lookups, and Qt's SQL layer costs more
// per statement than SQLite does for them; values come out as Qt's SQLite
// driver gives them (whole numbers as qlonglong, reals as double, text as
// QString, NULL as a null QString) and are bound as it binds them (a null
// QString or an invalid value is NULL).
class Statement {
public:
    // Prepares sql on the open connection; throws DbError (also when the text
    // holds more than one statement, or the connection's fault injector says so).
    Statement(const Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds the '?' placeholders in order, from the start again when the
    // statement ran before; throws DbError.
    void bind(const QVariantList& values);

    // Binds values and runs the statement to its end: a write, which may run
    // again with other values. Throws DbError.
    void run(const QVariantList& values = {});

    // Runs to the next result row: true on a row, false when done. Throws DbError.
    bool next();

    int columnCount() const;
    QStringList columnNames() const;
    // A column of the current row.
    QVariant value(int column) const;

    qint64 lastInsertId() const;

private:
    [[noreturn]] void fail(int code) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
