// A database server that goes away: its link cut in the middle of each write,
// and the whole server stopped at random moments while a program saves.
#include "Operations.h"
#include "SavedSlips.h"
#include "Schema.h"
#include "Statement.h"
#include "modData.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <chrono>
#include <libpq-fe.h>
#include <thread>

using Operations::Kind;
using Operations::Operation;

namespace {

// Ends the server's process behind g_Connection, as a server restart or a
// broken network does, the next time the write sends the n-th statement.
void loseTheServerAt(int n) {
    auto sent = std::make_shared<int>(0);
    Connection::setFaultInjector([sent, n](const QString&) {
        if (++*sent == n) {
            const int pid = PQbackendPID(static_cast<PgLink&>(g_Connection->link()).handle());
            TestEnv::server().execute(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)").arg(pid));
        }
        return false;
    });
}

// A server of the test's own, which it may stop.
class OwnServer {
public:
    OwnServer()
        : m_dir(QDir::tempPath() +
                QStringLiteral("/cheqora-own-pg-%1").arg(QCoreApplication::applicationPid())) {}
    ~OwnServer() { script(QStringLiteral("stop")); }
    bool script(const QString& action) {
        return QProcess::execute(QStringLiteral(CHEQORA_SOURCE_DIR "/scripts/pg-test-server"),
                                 {action, m_dir}) == 0;
    }
    QString address() const {
        return QStringLiteral("postgresql:///postgres?host=%1&port=5432&user=cheqora").arg(m_dir);
    }

private:
    QString m_dir;
};

} // namespace

class TestServerLoss : public QObject {
    Q_OBJECT
private slots:
    // A link the server closed before the write's transaction began is opened
    // again and the write goes through. Once the transaction runs, nothing is
    // half stored: the window keeps what was typed and says why, and the next
    // click stores it over a new link.
    void aLinkLostAtAnyStatementStoresAllOrNothing_data() { Operations::addRows(); }
    void aLinkLostAtAnyStatementStoresAllOrNothing() {
        if (!TestEnv::onServer())
            QSKIP("a server's own behaviour");
        QFETCH(Kind, kind);
        const QStringList statements = Operations::statementsOfOneRun(kind);
        const qsizetype begin = statements.indexOf(QStringLiteral("BEGIN"));
        QVERIFY2(begin >= 0, "one run without faults stores and commits");
        for (int n = 1; n <= begin + 1; ++n) {
            TestEnv env;
            Operation operation(env, kind);
            const QStringList stored = SlipTesting::dumpDatabase(env);
            loseTheServerAt(n);
            operation.run();
            Connection::setFaultInjector({});
            QVERIFY2(shownTexts() == operation.questions(),
                     qPrintable(QStringLiteral("link lost before %1: ").arg(statements[n - 1]) +
                                shownTexts().join(" / ")));
            QVERIFY(SlipTesting::dumpDatabase(env) != stored);
        }

        TestEnv env;
        Operation operation(env, kind);
        QVERIFY(operation.ready());
        const QStringList stored = SlipTesting::dumpDatabase(env);
        const QStringList shown = operation.contents();
        for (int n = int(begin) + 2; n <= statements.size(); ++n) {
            const QString context = QStringLiteral("link lost at statement %1 of %2: %3")
                                        .arg(n)
                                        .arg(statements.size())
                                        .arg(statements[n - 1]);
            // The link the last round lost is opened again first, so that the
            // statements are counted from the write's own first.
            Statement(*g_Connection, QStringLiteral("SELECT 1")).next();
            MsgBox::clearShown();
            loseTheServerAt(n);
            operation.run();
            Connection::setFaultInjector({});
            QVERIFY2(!shownTexts().isEmpty(), qPrintable(context));
            QVERIFY2(shownTexts().last().startsWith(
                         QStringLiteral("The connection to the database server was lost")),
                     qPrintable(context + QStringLiteral(" / shown: ") + shownTexts().join(" / ")));
            QVERIFY2(SlipTesting::dumpDatabase(env) == stored, qPrintable(context));
            QVERIFY2(operation.stillOpen(), qPrintable(context));
            QVERIFY2(operation.contents() == shown, qPrintable(context));
        }
        MsgBox::clearShown();
        operation.run();
        QCOMPARE(shownTexts(), operation.questions());
        QVERIFY(SlipTesting::dumpDatabase(env) != stored);
    }

    // A save that opens a lost link again on a server that no longer writes
    // each commit through to the disk stores nothing and says why.
    void aLinkOpenedAgainWithoutDurabilityStoresNothing() {
        if (!TestEnv::onServer())
            QSKIP("a server's own behaviour");
        TestEnv env;
        Operation operation(env, Kind::NewSlip);
        QVERIFY(operation.ready());
        const QStringList stored = SlipTesting::dumpDatabase(env);
        // The link is lost just before the save's BEGIN, so the save itself opens it again.
        auto begins = std::make_shared<int>(0);
        Connection::setFaultInjector([begins](const QString& sql) {
            if (sql == QLatin1String("BEGIN") && ++*begins == 1) {
                const int pid = PQbackendPID(static_cast<PgLink&>(g_Connection->link()).handle());
                TestEnv::server().execute(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)").arg(pid));
            }
            return sql == QLatin1String("SET synchronous_commit = on");
        });
        operation.run();
        Connection::setFaultInjector({});
        QVERIFY(!shownTexts().isEmpty());
        QVERIFY2(shownTexts().last().startsWith(QStringLiteral("Nothing can be stored: the database cannot "
                                                               "be made to write each save through")),
                 qPrintable(shownTexts().join(" / ")));
        QCOMPARE(SlipTesting::dumpDatabase(env), stored);
        QVERIFY(operation.stillOpen());
    }

    // The whole server stopped at a random moment, most often during a save,
    // as a power cut would stop it: once it runs again, every slip reported
    // saved is stored whole.
    void stoppingTheServerLosesNothingReportedSaved() {
        if (!TestEnv::onServer())
            QSKIP("a server's own behaviour");
        OwnServer server;
        QVERIFY(server.script(QStringLiteral("start")));
        TestEnv env;
        Schema::createDatabase(server.address(), kDatabasePassword);
        env.writePathFile(server.address().toUtf8());
        {
            auto connection = Connection::create();
            connection->open(server.address(), kDatabasePassword);
            connection->execute(QStringLiteral("INSERT INTO tblAcc (accno, accname, branch, active) VALUES "
                                               "('111', 'Asha Traders', 'Fort', '1')"));
        }
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("stop moments from seed %u", seed);
        QRandomGenerator random(seed);
        QSet<QString> reportedSaved;
        int stoppedWhileSaving = 0;
        const int stops = 5;
        for (int round = 0; round < stops; ++round) {
            QProcess saver;
            saver.start(builtProgram(QStringLiteral("slip_saver")),
                        {env.folder(), QString::number(random.generate())});
            QByteArray output;
            while (output.count("saved ") < 1 + int(random.bounded(3))) {
                QVERIFY2(saver.waitForReadyRead(30000), saver.readAllStandardError().constData());
                output += saver.readAllStandardOutput();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(40000)));
            QVERIFY(server.script(QStringLiteral("halt")));
            // The save under way fails and the saver ends, saying so.
            QVERIFY(saver.waitForFinished(30000));
            output += saver.readAllStandardOutput();
            const QList<QByteArray> lines = output.trimmed().split('\n');
            for (const QByteArray& line : lines) {
                if (line.startsWith("saved "))
                    reportedSaved << QString::fromUtf8(line.mid(6));
            }
            if (lines.last() == "saving")
                ++stoppedWhileSaving;
            QVERIFY(server.script(QStringLiteral("resume")));
            const QStringList problems = problemsIn(server.address(), reportedSaved);
            QVERIFY2(problems.isEmpty(),
                     qPrintable(QStringLiteral("after stop %1: ").arg(round + 1) + problems.join("; ")));
        }
        qInfo("%d stops, %d of them during a save; %lld slips reported saved", stops, stoppedWhileSaving,
              static_cast<long long>(reportedSaved.size()));
        QVERIFY(stoppedWhileSaving >= 1);
    }
};

QTEST_MAIN(TestServerLoss)
#include "test_serverloss.moc"
