#include "TestEnv.h"
#include "DbError.h"
#include "Forms.h"
#include "MsgBox.h"
#include "Schema.h"
#include "Settings.h"
#include "SlipMain.h"
#include "modData.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

TestEnv::TestEnv() {
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    setApplicationFolder(folder());
    Settings::useFile(folder() + QStringLiteral("/settings.ini"));
    MsgBox::setTestMode(true);
    MsgBox::clearShown();
    installConnectionFailureMessage();
    setProgramTerminator([](int code) { throw ProgramEnded{code}; });
    Connection::setFaultInjector({});
}

TestEnv::~TestEnv() {
    Forms::closeAll();
    Connection::setFaultInjector({});
    g_Connection.reset();
    m_check.reset();
}

void TestEnv::createDatabase(const QString& path) {
    Schema::createDatabase(path.isEmpty() ? databasePath() : path, kDatabasePassword);
}

void TestEnv::writePathFile(const QByteArray& contents) {
    QFile file(folder() + QStringLiteral("/path.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

void TestEnv::copyReports() {
    QDir().mkpath(folder() + QStringLiteral("/Reports"));
    const QDir source(QStringLiteral(CHEQORA_BINARY_DIR "/Reports"));
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), folder() + QStringLiteral("/Reports/") + name);
}

std::shared_ptr<Connection> TestEnv::check() {
    if (!m_check) {
        m_check = Connection::create();
        m_check->open(databasePath(), kDatabasePassword);
    }
    return m_check;
}

QVariant TestEnv::scalar(const QString& sql) {
    QSqlQuery query(check()->database());
    if (!query.exec(sql) || !query.next())
        return QVariant();
    return query.value(0);
}

void TestEnv::exec(const QString& sql) {
    check()->execute(sql);
}

int TestEnv::addAccount(const QString& number, const QString& name, const QString& branch,
                        const QString& active) {
    QSqlQuery query(check()->database());
    query.prepare(QStringLiteral("INSERT INTO tblAcc (accno, accname, branch, active) VALUES (?,?,?,?)"));
    query.addBindValue(number);
    query.addBindValue(name);
    query.addBindValue(branch);
    query.addBindValue(active);
    if (!query.exec())
        throw DbError(QStringLiteral("test account not stored"));
    return query.lastInsertId().toInt();
}

QString builtProgram(const QString& name) {
    return QStringLiteral(CHEQORA_BINARY_DIR "/") + name;
}
