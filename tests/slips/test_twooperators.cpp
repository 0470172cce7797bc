// Two operators on one database: a save never lands on a slip the other
// deleted meanwhile, and a proposed serial number taken meanwhile is noticed.
#include "GridTesting.h"
#include "SlipWindowTesting.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QDate>
#include <QProcess>

using namespace SlipTesting;

namespace {

const QString kDeletedQuestion =
    QStringLiteral("Another user deleted this slip meanwhile; nothing was stored. Store it as a new slip?");

QString takenQuestion(int proposed, int next) {
    return QStringLiteral("Sr. No %1 was given to another slip after this window proposed it. Take %2, the "
                          "next free number? (No keeps %1.)")
        .arg(proposed)
        .arg(next);
}

// Lines whose slip does not exist.
int orphanLines(TestEnv& env) {
    return env
        .scalar(QStringLiteral("select count(*) from tblSlipDetails where sid not in (select sid from "
                               "tblSlip)"))
        .toInt();
}

} // namespace

class TestTwoOperators : public QObject {
    Q_OBJECT
private slots:
    // The slip window has a slip open; the slip list deletes it; the window's
    // save then stores nothing under the gone key and asks.
    void aSaveNeverLandsOnASlipDeletedMeanwhile_data() {
        QTest::addColumn<bool>("storeAsNew");
        QTest::newRow("Yes stores it as a new slip") << true;
        QTest::newRow("No leaves the window as it was") << false;
    }
    void aSaveNeverLandsOnASlipDeletedMeanwhile() {
        QFETCH(bool, storeAsNew);
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        frmSlip* slip = openSlip();
        QVERIFY(slip);
        chooseFromList(slip->cmbAcc, QStringLiteral("111"));
        fillLine(*slip, 0, QStringLiteral("1"), QStringLiteral("Canara"), QStringLiteral("Thane"),
                 QStringLiteral("10"));
        saveAndAnswer(*slip, MsgBox::Button::Yes);
        const QString gone = slip->lblRef->text();
        fill(slip->Text2, QStringLiteral("Changed after the delete"));
        const QStringList window = snapshot(*slip);

        // The other operator deletes it from the list.
        frmSlipList& list = Forms::get<frmSlipList>();
        QVERIFY(showActive(&list));
        clickGridRow(list.FG, 1);
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        QTest::mouseClick(list.Command2, Qt::LeftButton);
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 0);

        MsgBox::clearShown();
        QVERIFY(showActive(slip));
        MsgBox::setNextAnswer(storeAsNew ? MsgBox::Button::Yes : MsgBox::Button::No);
        saveAndAnswer(*slip, MsgBox::Button::Yes); // the print question, when it comes
        QCOMPARE(shownTexts().first(), kDeletedQuestion);
        QCOMPARE(orphanLines(env), 0);
        if (!storeAsNew) {
            QCOMPARE(shownTexts().size(), 1);
            QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 0);
            QCOMPARE(snapshot(*slip), window);
            return;
        }
        QCOMPARE(shownTexts().mid(1), QStringList{QStringLiteral("Do you want to print")});
        QVERIFY(slip->lblRef->text() != gone);
        QCOMPARE(
            env.scalar(
                   QStringLiteral("select depositedBy from tblSlip where sid=%1").arg(slip->lblRef->text()))
                .toString(),
            QStringLiteral("Changed after the delete"));
        QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 1);
    }

    // Both windows propose the same next number; the other operator saves first.
    void aProposedSerialTakenMeanwhileIsNoticed_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("answer"); // to the question, when it comes
        QTest::addColumn<int>("stored");
        QTest::newRow("take the next free number") << false << int(MsgBox::Button::Yes) << 43;
        QTest::newRow("keep the proposed number") << false << int(MsgBox::Button::No) << 42;
        QTest::newRow("a typed number is left alone") << true << int(MsgBox::Button::Yes) << 42;
    }
    void aProposedSerialTakenMeanwhileIsNoticed() {
        QFETCH(bool, typed);
        QFETCH(int, answer);
        QFETCH(int, stored);
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        env.exec(QStringLiteral("insert into tblSlip (sno, accno, sdate) values (41, '111', '2024-01-02')"));
        frmSlip* slip = openSlip();
        QVERIFY(slip);
        QCOMPARE(slip->txtSno->text(), QStringLiteral("42"));
        if (typed)
            fill(slip->txtSno, QStringLiteral("42"));
        chooseFromList(slip->cmbAcc, QStringLiteral("111"));
        fillLine(*slip, 0, QStringLiteral("1"), QString(), QString(), QStringLiteral("10"));

        QProcess other;
        other.start(builtProgram(QStringLiteral("other_operator")), {env.folder()});
        QVERIFY(other.waitForFinished(60000));
        QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("saved 42"));

        MsgBox::setNextAnswer(MsgBox::Button(answer));
        saveAndAnswer(*slip, MsgBox::Button::Yes);
        const QStringList expected =
            typed ? QStringList{QStringLiteral("Do you want to print")}
                  : QStringList{takenQuestion(42, 43), QStringLiteral("Do you want to print")};
        QCOMPARE(shownTexts(), expected);
        QCOMPARE(env.scalar(QStringLiteral("select sno from tblSlip where sid=%1").arg(slip->lblRef->text()))
                     .toInt(),
                 stored);
        QCOMPARE(slip->txtSno->text(), QString::number(stored));
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 3);
    }
};

QTEST_MAIN(TestTwoOperators)
#include "test_twooperators.moc"
