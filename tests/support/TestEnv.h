#pragma once
#include "Connection.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

// One test's world: a temporary application folder (with its own path.txt,
// data.mdb and Reports/), its own settings file, message boxes answered by the
// test, and a program end that throws ProgramEnded instead of exiting.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString folder() const { return m_dir.path(); }
    QString databasePath() const { return folder() + QStringLiteral("/data.mdb"); }

    // Creates an empty Cheqora database at databasePath() (or path).
    void createDatabase(const QString& path = {});
    void writePathFile(const QByteArray& contents);
    // Copies the built report templates into folder()/Reports.
    void copyReports();

    // A connection of the test's own, to check what the program stored.
    std::shared_ptr<Connection> check();
    QVariant scalar(const QString& sql);
    void exec(const QString& sql);
    int count(const QString& table) {
        return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
    }

    // Inserts an account and returns its key.
    int addAccount(const QString& number, const QString& name, const QString& branch,
                   const QString& active = "1");

private:
    QTemporaryDir m_dir;
    std::shared_ptr<Connection> m_check;
};

// Path of a program built beside the tests (cheqora-db, cheqora).
QString builtProgram(const QString& name);
