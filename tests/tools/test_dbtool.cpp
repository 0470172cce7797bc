#include "TestEnv.h"
#include "modData.h"

#include <QSqlQuery>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

int runTool(const QStringList& arguments, QString* output = nullptr) {
    QProcess tool;
    tool.start(builtProgram("cheqora-db"), arguments);
    if (!tool.waitForFinished(30000))
        return -1;
    if (output)
        *output = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
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

        auto copied = Connection::create();
        copied->open(copy, kDatabasePassword);
        QSqlQuery query(copied->database());
        QVERIFY(query.exec("select count(*) from tblSlip") && query.next());
        QCOMPARE(query.value(0).toInt(), slips);
    }

    void checkReportsDamage() {
        TestEnv env;
        QFile garbage(env.folder() + "/garbage.mdb");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, 'z'));
        garbage.close();
        QCOMPARE(runTool({"check", garbage.fileName()}), 1);
        QCOMPARE(runTool({"check", env.folder() + "/none.mdb"}), 1);
        QCOMPARE(runTool({"backup", env.folder() + "/none.mdb", env.folder() + "/x.mdb"}), 1);
        QVERIFY(!QFile::exists(env.folder() + "/x.mdb"));
    }

    void usageErrors() {
        QString output;
        QCOMPARE(runTool({}, &output), 2);
        QVERIFY(output.contains("Usage: cheqora-db"));
        QCOMPARE(runTool({"frobnicate", "x.mdb"}), 2);
        QCOMPARE(runTool({"--help"}), 0);
    }
};

QTEST_GUILESS_MAIN(TestDbTool)
#include "test_dbtool.moc"
