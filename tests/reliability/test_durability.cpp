#include "Backup.h"
#include "DbError.h"
#include "TestEnv.h"
#include "modData.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTest>
#include <chrono>
#include <thread>

namespace {

// How many times the saving program is killed; CHEQORA_KILLS overrides it.
int killCount() {
    bool ok = false;
    const int kills = qEnvironmentVariableIntValue("CHEQORA_KILLS", &ok);
    return ok && kills > 0 ? kills : 200;
}

// The complete lines a program has written so far (a line cut off by the kill does not count).
class OutputLines {
public:
    explicit OutputLines(QProcess& process) : m_process(process) {}

    QStringList take() {
        m_pending += m_process.readAllStandardOutput();
        QStringList lines;
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
        }
        return lines;
    }

    // Collects lines into seen until one starts with prefix (true), or the
    // program goes quiet or ends (false).
    bool waitFor(const QString& prefix, QStringList& seen) {
        for (;;) {
            bool found = false;
            for (const QString& line : take()) {
                seen << line;
                found = found || line.startsWith(prefix);
            }
            if (found)
                return true;
            if (!m_process.waitForReadyRead(30000))
                return false;
        }
    }

private:
    QProcess& m_process;
    QByteArray m_pending;
};

// What is wrong with the file the killed program left; empty when nothing is.
QStringList problemsIn(const QString& path, const QSet<QString>& reportedSaved) {
    QStringList problems;
    try {
        Backup::checkDatabase(path, kDatabasePassword);
    } catch (const DbError& error) {
        problems << error.description();
    }
    auto connection = Connection::create();
    connection->open(path, kDatabasePassword);
    QSqlQuery query(connection->database());
    // Every slip has exactly the lines its remark announces.
    query.exec(QStringLiteral("SELECT s.sid, s.remarks, (SELECT count(*) FROM tblSlipDetails d "
                              "WHERE d.sid = s.sid) FROM tblSlip s"));
    QSet<QString> stored;
    while (query.next()) {
        const QString sid = query.value(0).toString();
        stored << sid;
        const QString lines = QStringLiteral("lines=") + query.value(2).toString();
        if (query.value(1).toString() != lines)
            problems << QStringLiteral("slip %1 announces %2 but has %3")
                            .arg(sid, query.value(1).toString(), lines);
    }
    query.exec(
        QStringLiteral("SELECT count(*) FROM tblSlipDetails WHERE sid NOT IN (SELECT sid FROM tblSlip)"));
    if (query.next() && query.value(0).toInt() != 0)
        problems << QStringLiteral("%1 cheque lines without their slip").arg(query.value(0).toInt());
    for (const QString& sid : reportedSaved) {
        if (!stored.contains(sid))
            problems << QStringLiteral("slip %1 was reported saved but is not stored").arg(sid);
    }
    return problems;
}

} // namespace

class TestDurability : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSavingLeavesOnlyWholeSlips() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("kill moments from seed %u", seed);
        QRandomGenerator random(seed);

        QSet<QString> reportedSaved;
        int killedWhileSaving = 0;
        const int kills = killCount();
        for (int round = 0; round < kills; ++round) {
            QProcess saver;
            saver.start(builtProgram(QStringLiteral("slip_saver")),
                        {env.folder(), QString::number(random.generate())});
            OutputLines output(saver);
            QStringList seen;
            QVERIFY2(output.waitFor(QStringLiteral("ready"), seen), qPrintable(saver.readAllStandardError()));
            // Let a few saves pass, then kill at a moment chosen at random, most often
            // in the middle of a save (one takes some tens of milliseconds). The wait
            // only picks that moment: what is checked holds whenever the kill lands.
            for (int saves = static_cast<int>(random.bounded(3)); saves > 0; --saves)
                QVERIFY2(output.waitFor(QStringLiteral("saved "), seen),
                         qPrintable(saver.readAllStandardError()));
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(40000)));
            saver.kill();
            QVERIFY(saver.waitForFinished(30000));
            QVERIFY2(
                saver.exitStatus() == QProcess::CrashExit,
                qPrintable(QStringLiteral("the saver ended by itself: ") + saver.readAllStandardError()));
            seen << output.take();
            for (const QString& line : seen) {
                if (line.startsWith(QLatin1String("saved ")))
                    reportedSaved << line.mid(6);
            }
            if (seen.last() == QLatin1String("saving"))
                ++killedWhileSaving;

            const QStringList problems = problemsIn(env.databasePath(), reportedSaved);
            QVERIFY2(problems.isEmpty(),
                     qPrintable(QStringLiteral("after kill %1: ").arg(round + 1) + problems.join("; ")));
        }
        qInfo("%d kills survived, %d of them during a save; %lld slips reported saved, %d stored", kills,
              killedWhileSaving, static_cast<long long>(reportedSaved.size()), env.count("tblSlip"));
        // The kills must have hit saves in progress, or the test proves nothing.
        QVERIFY(killedWhileSaving >= kills / 4);
        QVERIFY(!reportedSaved.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDurability)
#include "test_durability.moc"
