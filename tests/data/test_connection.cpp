#include "DbError.h"
#include "MsgBox.h"
#include "Recordset.h"
#include "Schema.h"
#include "TestEnv.h"
#include "modData.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

// Runs OpenConnection on a fresh object and reports whether the program ended.
bool openEndsProgram() {
    try {
        Reconnect();
    } catch (const ProgramEnded& ended) {
        return ended.exitCode != 0;
    }
    return false;
}

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void opensDefaultDatabase() {
        TestEnv env;
        env.createDatabase();
        QVERIFY(!openEndsProgram());
        QCOMPARE(g_Connection->State(), 1);
        QCOMPARE(g_Connection->path(), env.databasePath());
        QVERIFY(MsgBox::shown().isEmpty());
    }

    void opensPathFromPathFile() {
        TestEnv env;
        QVERIFY(QDir(env.folder()).mkdir("My Data"));
        const QString path = env.folder() + "/My Data/slips.mdb";
        env.createDatabase(path);
        env.writePathFile("\"" + path.toUtf8() + "\"\r\n");
        QVERIFY(!openEndsProgram());
        QCOMPARE(g_Connection->path(), path);
    }

    void openConnectionKeepsAnOpenConnection() {
        TestEnv env;
        env.createDatabase();
        Reconnect();
        const auto first = g_Connection;
        OpenConnection();
        QCOMPARE(g_Connection, first);
    }

    void failuresEndTheProgramAfterOneMessage_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("missing table") << "notable";
        QTest::newRow("wrong password") << "password";
        QTest::newRow("empty path") << "empty";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("empty line after path") << "emptyline";
        QTest::newRow("plain sqlite file without verifier") << "noverifier";
    }
    void failuresEndTheProgramAfterOneMessage() {
        QFETCH(QString, kind);
        TestEnv env;
        const QString path = env.databasePath();
        if (kind == "garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else if (kind == "notable") {
            env.createDatabase();
            env.exec("DROP TABLE tblSlipDetails");
        } else if (kind == "password") {
            env.createDatabase();
            env.exec("UPDATE cheqoraAccess SET hash = 'not the hash'");
        } else if (kind == "empty") {
            env.createDatabase();
            env.writePathFile("");
        } else if (kind == "folder") {
            env.writePathFile(env.folder().toUtf8());
        } else if (kind == "emptyline") {
            env.createDatabase();
            env.writePathFile(path.toUtf8() + "\r\n\r\n");
        } else if (kind == "noverifier") {
            env.createDatabase();
            env.exec("DROP TABLE cheqoraAccess");
        }
        QVERIFY(openEndsProgram());
        QCOMPARE(MsgBox::shown().size(), 1);
        const MsgBox::Shown box = MsgBox::shown().first();
        QCOMPARE(box.text, QString("Database Connection Error") + QString(16, ' ') +
                               "\r\nPlease check the path.txt file");
        QCOMPARE(box.buttons, MsgBox::Buttons::Ok);
        if (kind == "missing")
            QVERIFY2(!QFile::exists(path), "a missing database file must never be created");
    }

    void oldConnectionLivesWithItsRecordset() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "Here");
        Reconnect();
        Recordset rs;
        rs.Open("Select * from tblAcc", g_Connection);
        const auto old = g_Connection;
        Reconnect();
        QVERIFY(g_Connection != old);
        // The replaced connection still serves the recordset opened on it.
        rs.Open("Select * from tblAcc", old);
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(old->State(), 1);
    }

    void releasedConnectionsAreRemoved() {
        TestEnv env;
        env.createDatabase();
        g_Connection.reset();
        const auto before = QSqlDatabase::connectionNames().size();
        for (int i = 0; i < 5; ++i)
            Reconnect();
        // Each dropped connection closed and went away: only the current one is added.
        QCOMPARE(QSqlDatabase::connectionNames().size(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "test_connection.moc"
