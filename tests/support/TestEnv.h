#pragma once
#include "Connection.h"
#include "PgLink.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

// One test's world: a temporary application folder (with its own path.txt,
// data.mdb and Reports/), its own settings file, message boxes answered by the
// test, and a program end that throws ProgramEnded instead of exiting.
//
// With CHEQORA_TEST_SERVER set to the address of a PostgreSQL server (as
// `make test` runs the tests a second time), the test's database is a schema
// of its own on that server instead of data.mdb, and path.txt names it.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    // Whether the tests run against a PostgreSQL server, and the tests' own
    // link to it (not the test's schema).
    static bool onServer();
    static PgLink& server();
    // The statement a write transaction begins with on the engine in use.
    static QString writeBegin() {
        return onServer() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    }

    QString folder() const { return m_dir.path(); }
    // The test's database: data.mdb in folder(), or its address on the server.
    QString databasePath() const;

    // Creates an empty Cheqora database at databasePath() (or the file path).
    void createDatabase(const QString& path = {});
    void writePathFile(const QByteArray& contents);
    // Copies the built report templates into folder()/Reports.
    void copyReports();

    // A connection of the test's own, to check what the program stored.
    std::shared_ptr<Connection> check();
    QVariant scalar(const QString& sql);
    // Every row of a query on check(), values bound to its '?'s; throws DbError.
    QList<QVariantList> rows(const QString& sql, const QVariantList& values = {});
    void exec(const QString& sql);
    int count(const QString& table) {
        return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
    }

    // Inserts an account and returns its key.
    int addAccount(const QString& number, const QString& name, const QString& branch,
                   const QString& active = "1");

private:
    QTemporaryDir m_dir;
    QString m_schema; // on a server
    std::shared_ptr<Connection> m_check;
};

// For a test of what only a SQLite file does (its files beside it, its
// pragmas, the stock sqlite3 tool).
#define SKIP_ON_SERVER()                                                                                     \
    do {                                                                                                     \
        if (TestEnv::onServer())                                                                             \
            QSKIP("a SQLite file's own behaviour");                                                          \
    } while (false)

// Path of a program built beside the tests (cheqora-db, cheqora).
QString builtProgram(const QString& name);
