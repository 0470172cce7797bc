#include "Operations.h"

#include <QProcess>

using Operations::Kind;
using Operations::Operation;

namespace {

// Another copy of the program, in the middle of a save of its own on the same
// file: it holds the write lock until it commits (see lock_holder.cpp).
class OtherCopy {
public:
    // Holds the lock for holdMs milliseconds, or until told (-1).
    OtherCopy(const QString& database, int holdMs) {
        m_process.start(builtProgram(QStringLiteral("lock_holder")), {database, QString::number(holdMs)});
    }
    ~OtherCopy() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool holdsTheLock() { return waitForLine("locked"); }

    // Tells a copy that waits to commit or roll back, and waits until it has.
    bool release(const char* order) {
        m_process.write(QByteArray(order) + '\n');
        m_process.closeWriteChannel();
        return waitForFinished();
    }

    bool waitForFinished() {
        return waitForLine("released") && m_process.waitForFinished(30000) && m_process.exitCode() == 0;
    }

    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }

private:
    bool waitForLine(const QByteArray& line) {
        while (!m_output.contains(line + '\n')) {
            if (!m_process.waitForReadyRead(30000))
                return false;
            m_output += m_process.readAllStandardOutput();
        }
        return true;
    }

    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestTwoProcesses : public QObject {
    Q_OBJECT
private slots:
    void aShortLockMakesTheSaveWaitThenSucceed() {
        TestEnv env;
        Operation operation(env, Kind::NewSlip);
        QVERIFY(operation.ready());
        // Well within the busy timeout of five seconds.
        OtherCopy other(env.databasePath(), 1500);
        QVERIFY2(other.holdsTheLock(), qPrintable(other.errors()));
        operation.run();
        QCOMPARE(shownTexts(), operation.questions());
        QVERIFY2(other.waitForFinished(), qPrintable(other.errors()));
        // Both saves are stored: the other copy's slip and ours with its three lines.
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 3);
        QCOMPARE(env.scalar(QStringLiteral("SELECT count(*) FROM tblSlip WHERE sno = 900")).toInt(), 1);
        QCOMPARE(env.scalar(QStringLiteral("SELECT count(*) FROM tblSlipDetails d JOIN tblSlip s ON s.sid = "
                                           "d.sid WHERE s.depositedBy = 'Meena'"))
                     .toInt(),
                 3);
    }

    void aLongLockShowsTheBusyDescriptionAndLosesNothing_data() {
        Operations::addRows({Kind::NewSlip, Kind::UpdatedSlip, Kind::DeletedSlip, Kind::NewAccount});
    }
    void aLongLockShowsTheBusyDescriptionAndLosesNothing() {
        QFETCH(Kind, kind);
        TestEnv env;
        Operation operation(env, kind);
        QVERIFY(operation.ready());
        const QStringList stored = SlipTesting::dumpDatabase(env);
        const QStringList shown = operation.contents();
        OtherCopy other(env.databasePath(), -1);
        QVERIFY2(other.holdsTheLock(), qPrintable(other.errors()));

        operation.run(); // waits the busy timeout out
        QVERIFY(!shownTexts().isEmpty());
        QVERIFY2(shownTexts().last().startsWith(
                     QStringLiteral("The database is busy: another user is saving at this moment. Nothing "
                                    "was stored; please try again.")),
                 qPrintable(shownTexts().last()));
        QCOMPARE(SlipTesting::dumpDatabase(env), stored);
        QVERIFY(operation.stillOpen());
        QCOMPARE(operation.contents(), shown);

        // The other copy gives up its save; trying again now stores ours.
        QVERIFY2(other.release("rollback"), qPrintable(other.errors()));
        MsgBox::clearShown();
        operation.run();
        QCOMPARE(shownTexts(), operation.questions());
        QVERIFY(SlipTesting::dumpDatabase(env) != stored);
        QCOMPARE(env.scalar(QStringLiteral("SELECT count(*) FROM tblSlip WHERE sno = 900")).toInt(), 0);
    }
};

QTEST_MAIN(TestTwoProcesses)
#include "test_twoprocesses.moc"
