#include "TestEnv.h"
#include "DbError.h"
#include "Forms.h"
#include "MsgBox.h"
#include "PgLink.h"
#include "Schema.h"
#include "Settings.h"
#include "SlipMain.h"
#include "Statement.h"
#include "modData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

QString serverAddress() {
    return qEnvironmentVariable("CHEQORA_TEST_SERVER");
}

// The tests' own link to the server, which makes and drops their schemas.
PgLink& serverAdmin() {
    static PgLink link(serverAddress());
    return link;
}

} // namespace

PgLink& TestEnv::server() {
    return serverAdmin();
}

bool TestEnv::onServer() {
    return !serverAddress().isEmpty();
}

QString TestEnv::databasePath() const {
    if (m_schema.isEmpty())
        return folder() + QStringLiteral("/data.mdb");
    // Every connection of the test works in the test's schema.
    return serverAddress() +
           (serverAddress().contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
           QStringLiteral("options=-csearch_path%3D") + m_schema;
}

TestEnv::TestEnv() {
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    if (onServer()) {
        static int created = 0;
        m_schema = QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++created);
        serverAdmin().execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        serverAdmin().execute(QStringLiteral("CREATE SCHEMA %1").arg(m_schema));
        writePathFile(databasePath().toUtf8());
    }
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
    if (!m_schema.isEmpty()) {
        try {
            serverAdmin().execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m_schema));
        } catch (const DbError&) {
            // Another process of the test may still hold it; the server is thrown away at the end.
        }
    }
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
    try {
        Statement query(*check(), sql);
        return query.next() ? query.value(0) : QVariant();
    } catch (const DbError&) {
        return QVariant();
    }
}

QList<QVariantList> TestEnv::rows(const QString& sql, const QVariantList& values) {
    Statement query(*check(), sql);
    query.bind(values);
    const int columns = int(query.columnNames().size());
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < columns; ++i)
            row << query.value(i);
        result << row;
    }
    return result;
}

void TestEnv::exec(const QString& sql) {
    check()->execute(sql);
}

int TestEnv::addAccount(const QString& number, const QString& name, const QString& branch,
                        const QString& active) {
    Statement insert(*check(),
                     QStringLiteral("INSERT INTO tblAcc (accno, accname, branch, active) VALUES (?,?,?,?) "
                                    "RETURNING id"));
    insert.bind({number, name, branch, active});
    if (!insert.next())
        throw DbError(QStringLiteral("test account not stored"));
    return insert.value(0).toInt();
}

QString builtProgram(const QString& name) {
    return QStringLiteral(CHEQORA_BINARY_DIR "/") + name;
}
