#include "DemoData.h"
#include "Statement.h"
#include "TestEnv.h"
#include "modData.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs cheqora-db, or another program built beside the tests: its exit status,
// or -1 when it did not end within a minute. asAnotherUser runs it as a user the
// test's chmod restricts: root, whom file permissions do not stop, as nobody.
int runTool(const QStringList& arguments, QString* output = nullptr, bool asAnotherUser = false,
            const QString& program = QStringLiteral("cheqora-db")) {
    QProcess process;
    const passwd* nobody = ::getpwnam("nobody");
    if (asAnotherUser && ::geteuid() == 0 && nobody)
        process.setChildProcessModifier([uid = nobody->pw_uid, gid = nobody->pw_gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(127);
        });
    process.start(builtProgram(program), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// About `megabytes` MB of slips with long remarks in env's database.
void fill(TestEnv& env, int megabytes) {
    env.createDatabase();
    env.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO tblSlip (sno, accno, sdate, remarks) "
                            "SELECT i, '111', '2024-01-02', hex(randomblob(500)) FROM n")
                 .arg(megabytes * 750));
}

QVariant valueIn(const QString& database, const QString& sql) {
    auto connection = Connection::create();
    connection->open(database, kDatabasePassword);
    Statement statement(*connection, sql);
    return statement.next() ? statement.value(0) : QVariant();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// Files that are no sound Cheqora database, made from a demo database by the
// change (SQL, or one of the words below), and what is said about each.
void unsoundFiles() {
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("why");
    const QString noTable = "The database has no table tblacc.";
    QTest::newRow("no file") << QByteArray("remove") << "does not exist";
    QTest::newRow("empty file") << QByteArray("empty") << noTable;
    QTest::newRow("not SQLite") << QByteArray("noise") << "file is not a database";
    QTest::newRow("a SQLite file of another program")
        << QByteArray("DROP TABLE tblSlipDetails; DROP TABLE tblSlip; DROP TABLE tblAcc") << noTable;
    QTest::newRow("a column missing")
        << QByteArray("ALTER TABLE tblSlip DROP COLUMN remarks") << "lacks the column remarks";
    QTest::newRow("another password")
        << QByteArray("UPDATE cheqoraAccess SET hash = ''") << "Not a valid password.";
    QTest::newRow("a damaged index") << QByteArray("damage") << "database disk image is malformed";
}

void makeUnsound(const QString& path, const QByteArray& change) {
    DemoData::createDemoDatabase(path, kDatabasePassword);
    const qint64 index = valueIn(path, "SELECT (rootpage - 1) * (SELECT page_size FROM pragma_page_size) "
                                       "FROM sqlite_master WHERE name = 'idxDetailsBank'")
                             .toLongLong();
    QFile file(path);
    if (change == "remove") {
        file.remove();
    } else if (change == "empty" || change == "noise") {
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QByteArray(change == "noise" ? 8192 : 0, 'z'));
    } else if (change == "damage") {
        file.open(QIODevice::ReadWrite);
        file.seek(index);
        file.write(QByteArray(64, 'Z')); // over the root page of an index
    } else {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, change.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestDbTool : public QObject {
    Q_OBJECT
private slots:
    void initCreatesAndNeverOverwrites() {
        TestEnv env;
        QCOMPARE(runTool({"init", env.databasePath()}), 0);
        QCOMPARE(env.count("tblAcc"), 0);
        QCOMPARE(env.scalar("select count(*) from pragma_table_info('tblSlip')").toInt(), 8);
        QCOMPARE(env.scalar("select name from pragma_table_info('tblSlipDetails') where cid=6").toString(),
                 QString("amount"));
        env.addAccount("1", "Kept", "Here");
        env.check().reset();
        const QByteArray before = fileHash(env.databasePath());
        QString output;
        QCOMPARE(runTool({"init", env.databasePath()}, &output), 1);
        QVERIFY2(output.contains("not overwritten"), qPrintable(output));
        QCOMPARE(runTool({"demo", env.databasePath()}), 1);
        QCOMPARE(fileHash(env.databasePath()), before);
    }

    void demoHoldsAnOffice() {
        TestEnv env;
        QCOMPARE(runTool({"demo", env.databasePath()}), 0);
        QCOMPARE(env.count("tblAcc"), 3);
        QCOMPARE(env.scalar("select count(*) from tblAcc where active='1'").toInt(), 2);
        const int slips = env.count("tblSlip");
        QVERIFY(slips >= 15 && slips <= 30);
        QCOMPARE(env.scalar("select count(*) from (select sid from tblSlipDetails group by sid "
                            "having count(*) between 1 and 5)")
                     .toInt(),
                 slips);
        QVERIFY(env.scalar("select count(distinct bank) from tblSlipDetails").toInt() >= 3);
        QCOMPARE(env.scalar("select count(*) from tblSlip where sdate = date('now','localtime')").toInt() > 0,
                 true);
    }

    void backupWhileAnotherWriterHoldsTheLock() {
        TestEnv env;
        QCOMPARE(runTool({"demo", env.databasePath()}), 0);
        const int slips = env.count("tblSlip");
        // An unfinished write of another process must not reach the copy.
        env.exec("BEGIN IMMEDIATE");
        env.exec("insert into tblSlip (sno) values (999)");
        const QString copy = env.folder() + "/copy.mdb";
        QString output;
        QCOMPARE(runTool({"backup", env.databasePath(), copy}, &output), 0);
        env.exec("ROLLBACK");
        QCOMPARE(runTool({"check", copy}, &output), 0);
        QCOMPARE(output.trimmed(), QString("ok"));
        QCOMPARE(runTool({"backup", env.databasePath(), copy}, &output), 1);
        QVERIFY(output.contains("not overwritten"));

        QCOMPARE(valueIn(copy, "select count(*) from tblSlip").toInt(), slips);
    }

    void backupEndsUnderSteadyWrites() {
        TestEnv env;
        fill(env, 30);
        QProcess writer;
        writer.start(builtProgram("lock_holder"), {env.databasePath(), "--every", "10"});
        QVERIFY(writer.waitForReadyRead(30000));
        const QString copy = env.folder() + "/copy.mdb";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(runTool({"backup", env.databasePath(), copy}), 0);
        qInfo("%lld MB copied in %lld ms while another process commits every 10 ms",
              QFileInfo(env.databasePath()).size() >> 20, timer.elapsed());
        QVERIFY(timer.elapsed() < 15000); // five seconds is the aim; this allows for a busy machine
        QCOMPARE(writer.state(), QProcess::Running);
        writer.kill();
        writer.waitForFinished();
        // As of one moment: the writer's slips are in the copy, each with its cheque line.
        QVERIFY(valueIn(copy, "SELECT count(*) FROM tblSlip WHERE accName = 'Other copy'").toInt() > 0);
        QCOMPARE(valueIn(copy, "SELECT count(*) FROM tblSlip s WHERE accName = 'Other copy' AND NOT EXISTS "
                               "(SELECT 1 FROM tblSlipDetails d WHERE d.sid = s.sid)")
                     .toInt(),
                 0);
    }

    void aBackupCutOffLeavesNoDestination() {
        TestEnv env;
        fill(env, 30);
        const QString copy = env.folder() + "/copy.mdb";
        QProcess tool;
        tool.start(builtProgram("cheqora-db"), {"backup", env.databasePath(), copy});
        // Killed once its file holds a megabyte: in the middle of the copy.
        QElapsedTimer timer;
        timer.start();
        for (QFileInfoList files; !timer.hasExpired(60000); QThread::msleep(1)) {
            files = QDir(env.folder()).entryInfoList({"copy.mdb*"}, QDir::Files);
            if (!files.isEmpty() && files[0].size() > (1 << 20))
                break;
        }
        ::kill(pid_t(tool.processId()), SIGKILL);
        tool.waitForFinished();
        QCOMPARE(tool.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(runTool({"check", copy}), 1);
    }

    // The same files fail both ways: check says why, backup says why and leaves nothing.
    void anUnsoundFileIsNeitherOkNorCopied_data() { unsoundFiles(); }
    void anUnsoundFileIsNeitherOkNorCopied() {
        QFETCH(QByteArray, change);
        QFETCH(QString, why);
        TestEnv env;
        makeUnsound(env.databasePath(), change);
        const QStringList before = entries(env.folder());
        QString output;
        QCOMPARE(runTool({"check", env.databasePath()}, &output), 1);
        QVERIFY2(output.contains(why), qPrintable(output));
        QCOMPARE(runTool({"backup", env.databasePath(), env.folder() + "/copy.mdb"}, &output), 1);
        QVERIFY2(output.contains(why), qPrintable(output));
        QCOMPARE(entries(env.folder()), before);
    }

    // The row's names: the source and the destination, in the test's folder.
    void backupRefusesTheDatabaseAndItsCompanions_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("the database itself") << QStringList{"data.mdb", "data.mdb"};
        QTest::newRow("its -wal") << QStringList{"data.mdb", "data.mdb-wal"};
        QTest::newRow("its -shm") << QStringList{"data.mdb", "data.mdb-shm"};
        QTest::newRow("its -journal") << QStringList{"data.mdb", "data.mdb-journal"};
        QTest::newRow("its -wal through a linked folder") << QStringList{"data.mdb", "linked/data.mdb-wal"};
        QTest::newRow("the -wal of the file a link names") << QStringList{"link.mdb", "data.mdb-wal"};
    }
    void backupRefusesTheDatabaseAndItsCompanions() { refusedDestination("beside it"); }

    void backupKeepsALinkAtTheDestination_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a link to a missing folder") << QStringList{"data.mdb", "to-missing-folder"};
        QTest::newRow("a link to a missing file") << QStringList{"data.mdb", "to-missing-file"};
    }
    void backupKeepsALinkAtTheDestination() { refusedDestination("exists already"); }

    void readOnlyDatabasesAreRead_data() {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("a read-only file in a writable folder") << false;
        QTest::newRow("a read-only file in a read-only folder") << true;
    }
    void readOnlyDatabasesAreRead() {
        QFETCH(bool, folderReadOnly);
        TestEnv env;
        const QString office = env.folder() + "/office", database = office + "/data.mdb";
        QVERIFY(QDir().mkdir(office));
        QCOMPARE(runTool({"demo", database}), 0);
        const auto mode = [](const QString& path, mode_t bits) {
            return ::chmod(qPrintable(path), bits) == 0;
        };
        QVERIFY(mode(env.folder(), 0777) && mode(database, 0444) &&
                mode(office, folderReadOnly ? 0555 : 0777));
        QString output;
        QCOMPARE(runTool({"check", database}, &output, true), 0);
        QCOMPARE(output, QString("ok\n"));
        QCOMPARE(runTool({"backup", database, env.folder() + "/copy.mdb"}, &output, true), 0);
        QCOMPARE(runTool({database, "0"}, &output, true, "lock_holder"), 1);
        QVERIFY2(output.contains("The database file is read-only"), qPrintable(output));
        QCOMPARE(entries(office), QStringList{"data.mdb"});
        // Made writable again, it takes a save at once.
        QVERIFY(mode(database, 0666) && mode(office, 0777));
        QCOMPARE(runTool({database, "0"}, &output, true, "lock_holder"), 0);
    }

    // Lines an earlier version stored under the key of a deleted slip: check
    // warns of them (the file is sound), repair-orphans gives each old key a
    // new slip and deletes nothing.
    void orphanedLinesAreReportedAndRepaired() {
        TestEnv env;
        env.createDatabase();
        env.exec("insert into tblSlip (sno, accno, sdate) values (41, '111', '2024-01-02')");
        env.exec(
            "insert into tblSlipDetails (sid, chqno, amount) values (1, '000001', 5), (7, '000002', 10), "
            "(7, '000003', 20), (9, '000004', 30)");
        QString output;
        QCOMPARE(runTool({"check", env.databasePath()}, &output), 0);
        QCOMPARE(output, QStringLiteral("ok\nwarning: 3 cheque lines belong to no slip (slip keys 7, 9); "
                                        "\"cheqora-db repair-orphans %1\" makes them visible\n")
                             .arg(env.databasePath()));

        QCOMPARE(runTool({"repair-orphans", env.databasePath()}, &output), 0);
        QCOMPARE(output, QStringLiteral("Slip key 7: 2 cheque lines moved to the new slip 2, Sr. No 42\n"
                                        "Slip key 9: 1 cheque line moved to the new slip 3, Sr. No 43\n"));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(
            env.scalar("select group_concat(sid || ':' || sno || ':' || sdate || ':' || remarks, '|') from "
                       "tblSlip where sid > 1")
                .toString(),
            QStringLiteral("2:42:%1:Cheque lines of slip 7, which was deleted; recovered on %1|"
                           "3:43:%1:Cheque lines of slip 9, which was deleted; recovered on %1")
                .arg(today));
        QCOMPARE(env.scalar("select group_concat(sid || ':' || chqno, '|') from tblSlipDetails").toString(),
                 QStringLiteral("1:000001|2:000002|2:000003|3:000004"));
        QCOMPARE(runTool({"check", env.databasePath()}, &output), 0);
        QCOMPARE(output, QStringLiteral("ok\n"));
        QCOMPARE(runTool({"repair-orphans", env.databasePath()}, &output), 0);
        QCOMPARE(output, QStringLiteral("No cheque lines without their slip.\n"));
    }

    void usageErrors() {
        QString output;
        QCOMPARE(runTool({}, &output), 2);
        QVERIFY(output.contains("Usage: cheqora-db"));
        QCOMPARE(runTool({"frobnicate", "x.mdb"}), 2);
        QCOMPARE(runTool({"--help"}), 0);
    }

private:
    // A backup to the row's destination is refused with `reason`, and nothing in the folder changes.
    void refusedDestination(const QString& reason) {
        QFETCH(QStringList, names);
        TestEnv env;
        QCOMPARE(runTool({"demo", env.databasePath()}), 0);
        QVERIFY(QFile::link(env.folder(), env.folder() + "/linked"));
        QVERIFY(QFile::link(env.databasePath(), env.folder() + "/link.mdb"));
        QVERIFY(QFile::link("/missing-folder/copy.mdb", env.folder() + "/to-missing-folder"));
        QVERIFY(QFile::link("missing.mdb", env.folder() + "/to-missing-file"));
        const QStringList before = entries(env.folder());
        const QByteArray stored = fileHash(env.databasePath());
        QString output;
        QCOMPARE(runTool({"backup", env.folder() + "/" + names[0], env.folder() + "/" + names[1]}, &output),
                 1);
        QVERIFY2(output.contains(reason), qPrintable(output));
        QCOMPARE(entries(env.folder()), before);
        QCOMPARE(fileHash(env.databasePath()), stored);
    }
};

QTEST_GUILESS_MAIN(TestDbTool)
#include "test_dbtool.moc"
