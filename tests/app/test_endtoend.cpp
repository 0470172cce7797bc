// One operator's round from the main menu to paper and back, checking the
// database after every step.
#include "../slips/SlipWindowTesting.h"
#include "Amount.h"
#include "FlexGrid.h"
#include "GridTesting.h"
#include "Input.h"
#include "SlipMain.h"
#include "frmAcc.h"
#include "frmReport.h"
#include "frmSlipList.h"
#include "modReport.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QProcess>

using namespace SlipTesting;

namespace {

void choose(SlipMain& main, const char* item) {
    main.findChild<QAction*>(QLatin1String(item))->trigger();
}

void createAccount(SlipMain& main, const QString& number, const QString& name, const QString& branch,
                   bool active) {
    choose(main, "crAcc");
    frmAcc& account = Forms::get<frmAcc>();
    QVERIFY(showActive(&account));
    fill(account.Text1, number);
    fill(account.Text2, name);
    fill(account.Text3, branch);
    if (account.Check1->isChecked() != active)
        QTest::mouseClick(account.Check1, Qt::LeftButton, {}, QPoint(5, account.Check1->height() / 2));
    click(account.Command2);
    QVERIFY(!Forms::isLoaded<frmAcc>());
}

QStringList linesOf(TestEnv& env, int sid) {
    QStringList lines;
    for (const QVariantList& line :
         env.rows(QStringLiteral("select chqno, chqdate, bank, city, amount from tblSlipDetails where sid=? "
                                 "order by sdid"),
                  {sid}))
        lines << QStringList{line[0].toString(), line[1].toString(), line[2].toString(), line[3].toString(),
                             ::Amount::formatCents(::Amount::storedCents(line[4]).value_or(0))}
                     .join(QLatin1Char('|'));
    return lines;
}

QString pdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    pdftotext.waitForFinished(30000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void anOperatorsRound() {
        QElapsedTimer timer;
        timer.start();
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        // Last year's slip gives the bank and city lists something to complete from.
        env.exec("insert into tblSlip (sno, accno, accName, branch, sdate) values (40, 'x', 'Old', 'b', "
                 "'2025-01-02')");
        env.exec("insert into tblSlipDetails (sid, chqno, chqdate, bank, city, amount) values "
                 "(1, '000001', '2025-01-02', 'Standard Chartered', 'Muzaffarpur', 1),"
                 "(1, '000002', '2025-01-02', 'State Bank of India', 'Mumbai', 2),"
                 "(1, '000003', '2025-01-02', 'HDFC Bank', 'Pune', 3)");
        const QDate today = QDate::currentDate();

        SlipMain& main = Forms::get<SlipMain>();
        QVERIFY(showActive(&main));

        // 1. Two accounts, the second one inactive.
        createAccount(main, QStringLiteral("00123456789"), QStringLiteral("Sharma Traders"),
                      QStringLiteral("MG Road"), true);
        createAccount(main, QStringLiteral("31234567890"), QStringLiteral("Old Current Account"),
                      QStringLiteral("Karol Bagh"), false);
        QStringList accounts;
        for (const QVariantList& row :
             env.rows("select id || ':' || accno || ':' || active from tblAcc order by id"))
            accounts << row[0].toString();
        QCOMPARE(accounts.join(','), QStringLiteral("1:00123456789:1,2:31234567890:0"));

        // 2. The slip list from the menu, today's slips only; "Add New".
        choose(main, "print");
        frmSlipList& list = Forms::get<frmSlipList>();
        QVERIFY(showActive(&list));
        QCOMPARE(list.FG->rows(), 1);
        click(list.Command4);
        frmSlip* slip = &Forms::get<frmSlip>();
        QVERIFY(showActive(slip));
        QCOMPARE(slip->parentWidget(), &list);
        QCOMPARE(slip->txtSno->text(), QStringLiteral("41"));
        QCOMPARE(slip->cmbAcc->count(), 1); // the inactive account is not offered
        chooseFromList(slip->cmbAcc, QStringLiteral("00123456789"));
        QCOMPARE(slip->txtAccName->text(), QStringLiteral("Sharma Traders"));
        QCOMPARE(slip->txtBranch->text(), QStringLiteral("MG Road"));

        // 3. Three cheques: numbers zero-filled on leaving, banks and cities completed.
        const QStringList numbers{"123", "4567", "89"};
        const QStringList banks{"stat", "s", "hd"};
        const QStringList cities{"mu", "muz", "p"};
        const QStringList amounts{"1,250.50", "99.5", "100000"};
        for (int i = 0; i < 3; ++i) {
            fill(slip->Text1[i], numbers[i]);
            press(slip, Qt::Key_Tab);
            fill(slip->Bank[i], banks[i]);
            fill(slip->City[i], cities[i]);
            fill(slip->Amount[i], amounts[i]);
        }
        QCOMPARE(slip->Text1[0]->text(), QStringLiteral("000123"));
        QCOMPARE(slip->Bank[0]->currentText(), QStringLiteral("State Bank of India"));
        QCOMPARE(slip->Bank[1]->currentText(), QStringLiteral("Standard Chartered"));
        QCOMPARE(slip->City[1]->currentText(), QStringLiteral("Muzaffarpur"));
        // The live total reads the amounts as the save stores them.
        QCOMPARE(slip->lbTot->text(), QStringLiteral("101350.00"));
        fill(slip->Text2, QStringLiteral("Ramesh Kumar"));

        // 4. Save without printing: stored, listed, and a fresh slip window.
        saveAndAnswer(*slip, MsgBox::Button::No);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
        const int sid = env.scalar("select max(sid) from tblSlip").toInt();
        QCOMPARE(
            env.scalar(
                   QStringLiteral("select accno || '|' || accName || '|' || sno || '|' || sdate || '|' || "
                                  "depositedBy from tblSlip where sid=%1")
                       .arg(sid))
                .toString(),
            QStringLiteral("00123456789|Sharma Traders|41|%1|Ramesh Kumar").arg(today.toString(Qt::ISODate)));
        const QString day = today.toString(Qt::ISODate);
        QCOMPARE(linesOf(env, sid), (QStringList{"000123|" + day + "|State Bank of India|Mumbai|1250.50",
                                                 "004567|" + day + "|Standard Chartered|Muzaffarpur|99.50",
                                                 "000089|" + day + "|HDFC Bank|Pune|100000.00"}));
        QCOMPARE(list.FG->rows(), 2);
        QCOMPARE(list.FG->textMatrix(1, 0), QString::number(sid));
        QCOMPARE(list.FG->textMatrix(1, 5), QStringLiteral("101350.00"));
        slip = &Forms::get<frmSlip>();
        QCOMPARE(slip->lblRef->text(), QString());
        QCOMPARE(slip->txtSno->text(), QStringLiteral("42"));
        QCOMPARE(slip->Text2->text(), QStringLiteral("Ramesh Kumar"));

        // 5. Edit it from the list, change an amount, save and print.
        MsgBox::clearShown();
        clickGridRow(list.FG, 1);
        click(list.Command3);
        slip = &Forms::get<frmSlip>();
        QCOMPARE(slip->lblRef->text(), QString::number(sid));
        QCOMPARE(slip->Bank[1]->currentText(), QStringLiteral("Standard Chartered"));
        QCOMPARE(slip->lbTot->text(), QStringLiteral("101350.00"));
        QVERIFY(showActive(slip));
        fill(slip->Amount[1], QStringLiteral("100"));
        saveAndAnswer(*slip, MsgBox::Button::Yes);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
        QCOMPARE(env.count("tblSlip"), 2);
        QCOMPARE(linesOf(env, sid).at(1), "004567|" + day + "|Standard Chartered|Muzaffarpur|100.00");
        QVERIFY(Forms::get<frmReport>().isVisible());
        ::CViewer* viewer = Forms::get<frmReport>().CViewer;
        QCOMPARE(viewer->pageCount(), 1);
        const QString pdf = env.folder() + QStringLiteral("/slip.pdf");
        viewer->exportPdf(pdf);
        const QString printed = pdfText(pdf);
        for (const char* expected :
             {"000123", "004567", "000089", "Sharma Traders", "Ramesh Kumar", "Muzaffarpur"})
            QVERIFY2(printed.contains(QLatin1String(expected)), expected);
        QVERIFY2(printed.contains(QStringLiteral("1,01,350.50")) ||
                     printed.contains(QStringLiteral("101350.50")),
                 qPrintable(printed));

        // 6. Delete it from the list.
        MsgBox::clearShown();
        clickGridRow(list.FG, 1);
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        click(list.Command2);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to delete the entry")});
        QCOMPARE(env.scalar(QStringLiteral("select count(*) from tblSlip where sid=%1").arg(sid)).toInt(), 0);
        QCOMPARE(linesOf(env, sid), QStringList());
        QCOMPARE(list.FG->rows(), 1);
        QCOMPARE(env.count("tblSlipDetails"), 3);
        qInfo("end-to-end round: %lld ms", static_cast<long long>(timer.elapsed()));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
