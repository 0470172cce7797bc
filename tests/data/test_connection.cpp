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
#include <sys/stat.h>

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

    void pathFileOpensWithoutFinalLineBreakAndAfterAMegabyte_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no final line break") << QByteArray() << QByteArray();
        QTest::newRow("a megabyte of lines before the path")
            << QByteArray("/nowhere/x.mdb,\r\n").repeated(1024 * 1024 / 16) << QByteArray("\r\n");
    }
    void pathFileOpensWithoutFinalLineBreakAndAfterAMegabyte() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        TestEnv env;
        const QString path = env.folder() + "/elsewhere.mdb";
        env.createDatabase(path);
        env.writePathFile(before + path.toUtf8() + after);
        QVERIFY(!openEndsProgram());
        QCOMPARE(g_Connection->path(), path);
    }

    // The file is refused when it opens, and the reason names the column.
    void aMissingOrMisplacedColumnIsNamed_data() {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QString>("description");
        QTest::newRow("remarks dropped")
            << QStringList{"ALTER TABLE tblSlip DROP COLUMN remarks"}
            << "The table tblSlip lacks the column remarks: its column 8 is missing.";
        QTest::newRow("accno and accname swapped")
            << QStringList{"DROP TABLE tblAcc", "CREATE TABLE tblAcc (id INTEGER PRIMARY KEY, accname TEXT, "
                                                "accno TEXT, branch TEXT, "
                                                "active TEXT)"}
            << "The table tblAcc lacks the column accno: its column 2 is accname.";
        QTest::newRow("a column added at the end is fine")
            << QStringList{"ALTER TABLE tblSlipDetails ADD COLUMN note TEXT"} << QString();
        QTest::newRow("names in another letter case are fine")
            << QStringList{"ALTER TABLE tblSlip RENAME COLUMN depositedBy TO DEPOSITEDBY"} << QString();
    }
    void aMissingOrMisplacedColumnIsNamed() {
        QFETCH(QStringList, change);
        QFETCH(QString, description);
        TestEnv env;
        env.createDatabase();
        for (const QString& sql : change)
            env.exec(sql);
        auto connection = Connection::create();
        QString thrown;
        try {
            connection->open(env.databasePath(), kDatabasePassword);
        } catch (const DbError& error) {
            thrown = error.description();
        }
        QCOMPARE(thrown, description);
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
        QTest::newRow("binary path.txt") << "binarypath";
        QTest::newRow("1 MB path.txt") << "hugepath";
        QTest::newRow("missing column") << "nocolumn";
        QTest::newRow("missing line column") << "nolinecolumn";
        QTest::newRow("columns out of order") << "swapped";
        QTest::newRow("path.txt a FIFO") << "fifo";
        QTest::newRow("path.txt a dangling link") << "dangling";
        QTest::newRow("path.txt a looping link") << "looping";
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
        } else if (kind == "binarypath") {
            env.createDatabase();
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes += char((i * 131 + 7) % 256);
            env.writePathFile(bytes);
        } else if (kind == "hugepath") {
            env.createDatabase();
            env.writePathFile(QByteArray(1024 * 1024, 'a'));
        } else if (kind == "nocolumn") {
            env.createDatabase();
            env.exec("ALTER TABLE tblSlip DROP COLUMN remarks");
        } else if (kind == "nolinecolumn") {
            env.createDatabase();
            env.exec("DROP INDEX idxDetailsSid");
            env.exec("ALTER TABLE tblSlipDetails DROP COLUMN amount");
        } else if (kind == "swapped") {
            env.createDatabase();
            env.exec("DROP TABLE tblAcc");
            env.exec("CREATE TABLE tblAcc (id INTEGER PRIMARY KEY, accname TEXT, accno TEXT, branch TEXT, "
                     "active TEXT)");
        } else if (kind == "fifo" || kind == "dangling" || kind == "looping") {
            // Never data.mdb instead of the file the operator named.
            env.createDatabase();
            const QString pathFile = env.folder() + "/path.txt";
            if (kind == "fifo")
                QCOMPARE(::mkfifo(QFile::encodeName(pathFile).constData(), 0600), 0);
            else
                QVERIFY(QFile::link(kind == "dangling" ? "missing.txt" : "path.txt", pathFile));
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
