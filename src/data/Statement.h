#pragma once
#include <QStringList>
#include <QVariant>
#include <memory>

class Connection;
class PreparedStatement;

// One SQL statement on a connection, whichever engine holds the database. On a
// SQLite file it runs through SQLite's C interface on the connection's own
// handle. Values come out typed alike on every engine (whole numbers as
// qlonglong, other numbers as double, text as QString, NULL as a null QString)
// and are bound alike (a null QString or an invalid value is NULL).
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

    QStringList columnNames() const;
    // A column of the current row.
    QVariant value(int column) const;

    qint64 lastInsertId() const;

private:
    std::unique_ptr<PreparedStatement> m_statement;
    bool m_bound = false;
};
