#include "Amount.h"
#include "AmountInWords.h"
#include "FlexGrid.h"
#include "GridTesting.h"
#include "Input.h"
#include "PageRenderer.h"
#include "SlipListTesting.h"
#include "frmReport.h"
#include "frmSlipList.h"
#include "modData.h"
#include "modReport.h"

#include <QDate>
#include <QFile>
#include <QHeaderView>

using namespace SlipTesting;

namespace {

const QDate today = QDate::currentDate();

// Steps a picker's day with the arrow keys, as a person does.
void stepDay(QDateEdit* picker, Qt::Key key) {
    picker->setFocus();
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(picker, key);
}

} // namespace

class TestSlipList : public QObject {
    Q_OBJECT
private slots:
    void opensOnTodaysSlipsWithTotals() {
        TestEnv env;
        env.createDatabase();
        const int first = addSlip(env, 42, today, "Asha Traders", {100, 200.5, 0});
        addSlip(env, 7, today.addDays(-1), "Yesterday Ltd", {10});
        addSlip(env, 8, today.addDays(1), "Tomorrow Ltd", {10});
        addSlip(env, 9, today, "No Lines Ltd", {});
        const int second = addSlip(env, 3, today, "O'Brien & \"Sons\"", {0.1, 0.2});
        frmSlipList* list = openList();
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("SlipList"));
        QCOMPARE(list->dtFrom->date(), today);
        QCOMPARE(list->dtTo->date(), today);
        QCOMPARE(list->dtFrom->displayFormat(), QStringLiteral("dd-MM-yyyy"));
        const QString shownToday = today.toString(QStringLiteral("dd-MM-yyyy"));
        QStringList rows = gridRows(list->FG);
        QCOMPARE(rows.takeFirst(), QStringLiteral("|SN|Sr.No|Date|Account|Amount|"));
        rows.sort();
        QStringList expected{
            QStringLiteral("%1|1|42|%2|Asha Traders|300.50|").arg(first).arg(shownToday),
            QStringLiteral("%1|2|3|%2|O'Brien & \"Sons\"|0.30|").arg(second).arg(shownToday)};
        // SN counts the rows in the order they come, whatever Sr.No says.
        QStringList unnumbered;
        for (QString row : gridRows(list->FG).mid(1)) {
            QStringList cells = row.split(QLatin1Char('|'));
            QVERIFY(cells[1] == QLatin1String("1") || cells[1] == QLatin1String("2"));
            cells[1].clear();
            unnumbered << cells.join(QLatin1Char('|'));
        }
        for (QString& row : expected) {
            QStringList cells = row.split(QLatin1Char('|'));
            cells[1].clear();
            row = cells.join(QLatin1Char('|'));
        }
        unnumbered.sort();
        expected.sort();
        QCOMPARE(unnumbered, expected);
        QCOMPARE(list->FG->textMatrix(1, 1), QStringLiteral("1"));
        QCOMPARE(list->FG->textMatrix(2, 1), QStringLiteral("2"));
    }

    void changingADateReloadsAtOnce() {
        TestEnv env;
        env.createDatabase();
        addSlip(env, 1, today, "Today", {1});
        addSlip(env, 2, today.addDays(-1), "Yesterday", {2});
        addSlip(env, 3, today.addDays(1), "Tomorrow", {3});
        frmSlipList* list = openList();
        QVERIFY(list);
        QCOMPARE(list->FG->rows(), 2);
        stepDay(list->dtFrom, Qt::Key_Down);
        QCOMPARE(list->dtFrom->date(), today.addDays(-1));
        QCOMPARE(list->FG->rows(), 3);
        // The "To" day is included, the day after it is not.
        stepDay(list->dtTo, Qt::Key_Up);
        QCOMPARE(list->FG->rows(), 4);
        list->dtFrom->setDate(today.addDays(1));
        QCOMPARE(list->FG->rows(), 2);
        QCOMPARE(list->FG->textMatrix(1, 4), QStringLiteral("Tomorrow"));
        // Refresh picks up what another window stored meanwhile.
        addSlip(env, 4, today.addDays(1), "Late", {4});
        QCOMPARE(list->FG->rows(), 2);
        QTest::mouseClick(list->Command5, Qt::LeftButton);
        QCOMPARE(list->FG->rows(), 3);
    }

    void nothingSelectedDoesNothing() {
        TestEnv env;
        env.createDatabase();
        frmSlipList* list = openList();
        QVERIFY(list);
        QCOMPARE(list->FG->rows(), 1);
        for (QPushButton* button : {list->Command3, list->Command6, list->Command2})
            QTest::mouseClick(button, Qt::LeftButton);
        doubleClick(list->FG->viewport(), QPoint(5, 5));
        list->FG_DblClick();
        QVERIFY(MsgBox::shown().isEmpty());
        QVERIFY(!Forms::isLoaded<frmSlip>());
        QVERIFY(!Forms::isLoaded<frmReport>());
    }

    void deleteAsksAndRemovesLinesAndSlipTogether() {
        TestEnv env;
        env.createDatabase();
        const int keep = addSlip(env, 1, today, "Keep", {5});
        const int gone = addSlip(env, 2, today, "Gone", {6, 7});
        frmSlipList* list = openList();
        QVERIFY(list);
        const int row = list->FG->textMatrix(1, 0).toInt() == gone ? 1 : 2;

        clickGridRow(list->FG, row);
        MsgBox::setNextAnswer(MsgBox::Button::No);
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to delete the entry")});
        QCOMPARE(MsgBox::shown()[0].buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(env.count("tblSlipDetails"), 3);
        QCOMPARE(list->FG->rows(), 3);

        // The second deletion fails: the lines must stay too.
        MsgBox::clearShown();
        Connection::setFaultInjector(
            [](const QString& sql) { return sql.startsWith(QStringLiteral("delete from tblslip where")); });
        clickGridRow(list->FG, row);
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        Connection::setFaultInjector({});
        QCOMPARE(shownTexts().size(), 2);
        QVERIFY(shownTexts()[1].contains(QStringLiteral("Injected fault")));
        QCOMPARE(env.count("tblSlipDetails"), 3);
        QCOMPARE(env.count("tblSlip"), 2);

        MsgBox::clearShown();
        clickGridRow(list->FG, row);
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to delete the entry")});
        QCOMPARE(
            env.scalar(QStringLiteral("select count(*) from tblSlipDetails where sid=%1").arg(gone)).toInt(),
            0);
        QCOMPARE(env.scalar(QStringLiteral("select count(*) from tblSlip where sid=%1").arg(gone)).toInt(),
                 0);
        QCOMPARE(env.count("tblSlipDetails"), 1);
        QCOMPARE(list->FG->rows(), 2);
        QCOMPARE(list->FG->textMatrix(1, 0).toInt(), keep);
    }

    void editOpensTheSlipOwnedByTheList() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        addSlip(env, 1, today, "First", {1});
        const int sid = addSlip(env, 2, today, "Second", {250, 50});
        frmSlipList* list = openList();
        QVERIFY(list);
        const int row = list->FG->textMatrix(1, 0).toInt() == sid ? 1 : 2;
        doubleClick(list->FG->viewport(), list->FG->cellRect(row, 3).center());
        QVERIFY(Forms::isLoaded<frmSlip>());
        frmSlip& slip = Forms::get<frmSlip>();
        QVERIFY(slip.isVisible());
        QCOMPARE(slip.parentWidget(), list);
        QCOMPARE(slip.lblRef->text(), QString::number(sid));
        QCOMPARE(slip.txtAccName->text(), QStringLiteral("Second"));
        QCOMPARE(slip.lbTot->text(), QStringLiteral("300.00"));

        // "Add New" brings the open slip forward unchanged.
        fill(slip.Text2, QStringLiteral("Meena"));
        QTest::mouseClick(list->Command4, Qt::LeftButton);
        QCOMPARE(&Forms::get<frmSlip>(), &slip);
        QCOMPARE(slip.lblRef->text(), QString::number(sid));
        QCOMPARE(slip.Text2->text(), QStringLiteral("Meena"));

        // Saving it updates that slip; No refreshes the list and opens an empty slip.
        MsgBox::setNextAnswer(MsgBox::Button::No);
        click(slip.Command2);
        QCOMPARE(env.count("tblSlip"), 2);
        QCOMPARE(
            env.scalar(QStringLiteral("select depositedBy from tblSlip where sid=%1").arg(sid)).toString(),
            QStringLiteral("Meena"));
        frmSlip& fresh = Forms::get<frmSlip>();
        QCOMPARE(fresh.lblRef->text(), QString());
        QCOMPARE(fresh.parentWidget(), list);
    }

    void printShowsThePreviewOfTheSlipsAccount() {
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        const int account =
            env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        const int sid = addSlip(env, 5, today, "Asha Traders", {1234.5});
        frmSlipList* list = openList();
        QVERIFY(list);
        clickGridRow(list->FG, 1);
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join(QLatin1Char('\n'))));
        QVERIFY(Forms::get<frmSlip>().isVisible());
        QVERIFY(Forms::isLoaded<frmReport>());
        QVERIFY(Forms::get<frmReport>().isVisible());
        QCOMPARE(g_Report->filePath(), env.folder() + QStringLiteral("/Reports/pv%1.rpt").arg(account));
        QCOMPARE(g_Report->parameterFields().item(1).currentValues(), QVariantList{sid});
        QVERIFY(Forms::get<frmReport>().CViewer->pageCount() >= 1);
    }

    void printFailureIsShownAndTheListStays() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        addSlip(env, 5, today, "Asha Traders", {10});
        // An account number that no longer exists: the fresh slip window has no key.
        addSlip(env, 6, today, "Closed", {20}, QStringLiteral("999"));
        frmSlipList* list = openList();
        QVERIFY(list);
        const int closedRow = list->FG->textMatrix(1, 4) == QLatin1String("Closed") ? 1 : 2;
        // A fresh slip window has no account key for an account that is gone.
        clickGridRow(list->FG, closedRow);
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Cannot find the rpt file")});
        // An account without a template: the message names the missing file.
        MsgBox::clearShown();
        clickGridRow(list->FG, 3 - closedRow);
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QCOMPARE(shownTexts().size(), 1);
        QVERIFY2(shownTexts()[0].contains(QStringLiteral("pv1.rpt")), qPrintable(shownTexts()[0]));
        QVERIFY(list->isVisible());
        QVERIFY(Forms::isLoaded<frmSlipList>());
    }

    // Printing a slip of four cheques keeps the slip window open; editing a slip
    // of two then shows those two and nothing of the first slip.
    void editAfterPrintShowsOnlyTheEditedSlip() {
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        const int four = addSlip(env, 1, today, "Four", {1, 2, 3, 4});
        const int two = addSlip(env, 2, today, "Two", {10, 20});
        frmSlipList* list = openList();
        QVERIFY(list);
        auto rowOf = [&](int sid) { return list->FG->textMatrix(1, 0).toInt() == sid ? 1 : 2; };
        clickGridRow(list->FG, rowOf(four));
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        frmSlip& slip = Forms::get<frmSlip>();
        QCOMPARE(slip.lbTot->text(), QStringLiteral("10.00"));

        clickGridRow(list->FG, rowOf(two));
        QTest::mouseClick(list->Command3, Qt::LeftButton);
        QCOMPARE(slip.lblRef->text(), QString::number(two));
        QCOMPARE(slip.Text1[2]->text(), QString());
        QCOMPARE(slip.Amount[3]->text(), QStringLiteral("0.00"));
        QCOMPARE(slip.lbTot->text(), QStringLiteral("30.00"));
        saveAndAnswer(slip, MsgBox::Button::Yes);
        QCOMPARE(
            env.scalar(QStringLiteral(
                           "select count(*) || '|' || sum(cents(amount)) from tblSlipDetails where sid=%1")
                           .arg(two))
                .toString(),
            QStringLiteral("2|3000"));
    }

    // A slip that cannot be loaded is named in a message, and no window is left
    // that could store it half loaded; "Print" then prints nothing.
    void aFailedLoadLeavesNoWindowThatCouldSaveIt_data() {
        QTest::addColumn<bool>("windowOpenBefore");
        QTest::addColumn<bool>("print");
        QTest::newRow("edit, no window before") << false << false;
        QTest::newRow("edit over an open slip") << true << false;
        QTest::newRow("print, no window before") << false << true;
        QTest::newRow("print over an open slip") << true << true;
    }
    void aFailedLoadLeavesNoWindowThatCouldSaveIt() {
        QFETCH(bool, windowOpenBefore);
        QFETCH(bool, print);
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        const int good = addSlip(env, 1, today, "Good", {5});
        const int bad = addSlip(env, 2, today, "Bad", {7});
        // Another program left a line date that is no date.
        env.exec(QStringLiteral("update tblSlipDetails set chqdate='someday' where sid=%1").arg(bad));
        frmSlipList* list = openList();
        QVERIFY(list);
        auto rowOf = [&](int sid) { return list->FG->textMatrix(1, 0).toInt() == sid ? 1 : 2; };
        QStringList before;
        if (windowOpenBefore) {
            clickGridRow(list->FG, rowOf(good));
            QTest::mouseClick(list->Command3, Qt::LeftButton);
            before = snapshot(Forms::get<frmSlip>());
        }
        clickGridRow(list->FG, rowOf(bad));
        QTest::mouseClick(print ? list->Command6 : list->Command3, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("\"someday\" is not a stored date.")});
        QVERIFY(!Forms::isLoaded<frmReport>());
        QCOMPARE(Forms::isLoaded<frmSlip>(), windowOpenBefore);
        if (windowOpenBefore)
            QCOMPARE(snapshot(Forms::get<frmSlip>()), before);
    }

    // Closing the list closes the slip window it owns; unsaved input there is
    // discarded only when the operator says so.
    void closingTheListAsksForUnsavedInput_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("answer");
        QTest::newRow("nothing typed") << false << false << int(MsgBox::Button::Ok);
        QTest::newRow("Close, keep") << true << false << int(MsgBox::Button::No);
        QTest::newRow("Escape, keep") << true << true << int(MsgBox::Button::No);
        QTest::newRow("Escape, discard") << true << true << int(MsgBox::Button::Yes);
    }
    void closingTheListAsksForUnsavedInput() {
        QFETCH(bool, typed);
        QFETCH(bool, escape);
        QFETCH(int, answer);
        TestEnv env;
        env.createDatabase();
        frmSlipList* list = openList();
        QVERIFY(list);
        QTest::mouseClick(list->Command4, Qt::LeftButton);
        frmSlip& slip = Forms::get<frmSlip>();
        if (typed)
            fill(slip.Text1[0], QStringLiteral("123"));
        QVERIFY(showActive(list));
        MsgBox::setNextAnswer(MsgBox::Button(answer));
        if (escape)
            QTest::keyClick(list, Qt::Key_Escape);
        else
            QTest::mouseClick(list->Command1, Qt::LeftButton);
        QCOMPARE(shownTexts().size(), typed ? 1 : 0);
        const bool kept = answer == int(MsgBox::Button::No);
        QCOMPARE(Forms::isLoaded<frmSlipList>(), kept);
        QCOMPARE(Forms::isLoaded<frmSlip>(), kept);
        if (kept)
            QCOMPARE(slip.Text1[0]->text(), QStringLiteral("123"));
    }

    // The window, the list and the print read a stored amount the same way,
    // whatever another program left in the file, to the paisa up to the largest amount.
    void windowListAndPrintAgreeOnAmounts_data() {
        QTest::addColumn<QVariantList>("stored");
        QTest::addColumn<QString>("total");
        QTest::newRow("REALs with a third decimal") << QVariantList{1.005, 2.675} << "3.69";
        QTest::newRow("text with separators") << QVariantList{"1,500.00", 0.5} << "1500.50";
        QTest::newRow("the largest amount") << QVariantList{9999999999999.99} << "9999999999999.99";
        QTest::newRow("lines beyond it together")
            << QVariantList{9999999999999.99, 9999999999999.99, 0.02} << "20000000000000.00";
    }
    void windowListAndPrintAgreeOnAmounts() {
        QFETCH(QVariantList, stored);
        QFETCH(QString, total);
        if (TestEnv::onServer() && stored.contains(QVariant("1,500.00")))
            QSKIP("a server's numeric(15,2) column holds no text");
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        addSlip(env, 1, today, "Asha Traders", stored);
        frmSlipList* list = openList();
        QVERIFY(list);
        QCOMPARE(list->FG->textMatrix(1, 5), total);
        clickGridRow(list->FG, 1);
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join('\n')));
        QCOMPARE(Forms::get<frmSlip>().lbTot->text(), total);
        const SlipRecord& printed = g_Report->slips().front();
        QCOMPARE(::Amount::formatCents(PageRenderer::totalCents(printed)), total);
        if (stored.size() == 1 && stored[0].toDouble() > 1e12)
            QCOMPARE(
                AmountInWords::amount(PageRenderer::totalCents(printed), AmountInWords::Numbering::Indian),
                QStringLiteral("Rupees Nine Lakh Ninety Nine Thousand Nine Hundred Ninety Nine Crore Ninety "
                               "Nine Lakh Ninety Nine Thousand Nine Hundred Ninety Nine and Ninety Nine "
                               "Paise Only"));
    }

    void aSaveWithoutPrintingLoadsTheListHidden() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        frmSlip* slip = openSlip();
        QVERIFY(slip);
        chooseFromList(slip->cmbAcc, QStringLiteral("111"));
        fillLine(*slip, 0, QStringLiteral("1"), QStringLiteral("Canara"), QStringLiteral("Thane"),
                 QStringLiteral("99.95"));
        saveAndAnswer(*slip, MsgBox::Button::No);
        QVERIFY(Forms::isLoaded<frmSlipList>());
        frmSlipList& list = Forms::get<frmSlipList>();
        QVERIFY(!list.isVisible());
        QCOMPARE(list.FG->rows(), 2);
        QCOMPARE(list.FG->textMatrix(1, 5), QStringLiteral("99.95"));
    }
};

QTEST_MAIN(TestSlipList)
#include "test_sliplist.moc"
