#include "AccountTests.h"
#include "Connection.h"
#include "FlexGrid.h"
#include "GridTesting.h"
#include "Input.h"
#include "frmAcc.h"
#include "frmAccList.h"
#include "modData.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

frmAccList& openList() {
    frmAccList& list = Forms::get<frmAccList>();
    Forms::showForward(&list);
    return list;
}

const QString kHeader = "|SN|Account No|Account Name|Branch";

void click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList masterFields(frmAcc& master) {
    return {master.lblRef->text(), master.Text1->text(), master.Text2->text(), master.Text3->text()};
}

void addSlips(TestEnv& env, const QString& accountNumber, int count) {
    for (int i = 0; i < count; ++i)
        env.exec(QString("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
                         "VALUES (%1, '%2', 'n', 'b', '2024-01-02', 'd', '')")
                     .arg(i + 1)
                     .arg(accountNumber));
}

} // namespace

class TestFrmAccList : public QObject {
    Q_OBJECT
private slots:
    void emptyListHasOnlyTheHeader() {
        TestEnv env;
        env.createDatabase();
        frmAccList& list = openList();
        QCOMPARE(gridRows(list.FG), QStringList{kHeader});
        QCOMPARE(list.FG->rowSel(), 0);
        QCOMPARE(shownTexts(), QStringList());

        // Nothing to edit, open or delete.
        click(list.Command3);
        list.FG_DblClick();
        doubleClick(list.FG->viewport(), QPoint(200, 40));
        click(list.Command2);
        QVERIFY(!Forms::isLoaded<frmAcc>());
        QCOMPARE(shownTexts(), QStringList());
    }

    void everyAccountListedAsStored() {
        TestEnv env;
        env.createDatabase();
        const QString longName = QString::fromUtf8("बहुत लंबा नाम 'x' ").repeated(200);
        const int a = env.addAccount("00123", "Ramesh Traders", "Karol Bagh");
        const int gone = env.addAccount("999", "Deleted", "-");
        const int b = env.addAccount("O'Neil \"7\"", longName, QString::fromUtf8("नई दिल्ली"), "0");
        const int c = env.addAccount("00123", "Same number", "Inactive", "0");
        env.exec(
            QString("INSERT INTO tblAcc (accno, accname, branch, active) VALUES (NULL, NULL, NULL, NULL)"));
        const int d = lastAccountKey(env);
        env.exec(QString("DELETE FROM tblAcc WHERE id = %1").arg(gone));

        frmAccList& list = openList();
        QCOMPARE(gridRows(list.FG),
                 (QStringList{
                     kHeader,
                     QString("%1|1|00123|Ramesh Traders|Karol Bagh").arg(a),
                     QString("%1|2|O'Neil \"7\"|%2|%3").arg(b).arg(longName, QString::fromUtf8("नई दिल्ली")),
                     QString("%1|3|00123|Same number|Inactive").arg(c),
                     QString("%1|4|||").arg(d),
                 }));
        QCOMPARE(list.FG->model()->index(1, 3).data().toString(), longName); // shown, not only stored
        QCOMPARE(list.FG->rowSel(), 1);
        QCOMPARE(shownTexts(), QStringList());
    }

    void gridLayoutAndWindow() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B");
        frmAccList& list = Forms::get<frmAccList>();
        QVERIFY(showActive(&list));
        QCOMPARE(list.windowTitle(), QString("Account List"));
        QCOMPARE(list.minimumSize(), list.maximumSize());
        QCOMPARE(list.FG->objectName(), QString("FG"));
        QCOMPARE(list.FG->cols(), 5);
        const QList<int> widths = {13, 33, 133, 200, 266}; // 200, 500, 2000, 3000, 4000 twips
        for (int col = 0; col < 5; ++col)
            QCOMPARE(list.FG->columnWidth(col), widths[col]);
        QVERIFY(list.FG->horizontalHeader()->height() >= 26); // 400 twips
        QCOMPARE(list.FG->palette().color(QPalette::Base), QColor(Qt::white));

        // The grid above; "Add New", "Edit", "Delete", "Close" left to right at the bottom right.
        const QList<QPushButton*> buttons = {list.Command4, list.Command3, list.Command2, list.Command1};
        QCOMPARE(buttons[0]->text(), QString("Add New"));
        QCOMPARE(buttons[1]->text(), QString("Edit"));
        QCOMPARE(buttons[2]->text(), QString("Delete"));
        QCOMPARE(buttons[3]->text(), QString("Close"));
        for (int i = 0; i < buttons.size(); ++i) {
            QVERIFY(buttons[i]->y() > list.FG->geometry().bottom());
            QVERIFY(buttons[i]->width() >= buttons[i]->sizeHint().width());
            QVERIFY(list.rect().contains(buttons[i]->geometry()));
            if (i > 0)
                QVERIFY(buttons[i]->x() > buttons[i - 1]->geometry().right());
        }
        QVERIFY(list.width() - list.Command1->geometry().right() < 20);
        const int columnsWidth = widths[0] + widths[1] + widths[2] + widths[3] + widths[4];
        QVERIFY(list.FG->viewport()->width() >= columnsWidth); // every column in view

        // Keyboard: arrows move the selection, Escape closes.
        list.FG->setFocus();
        QTest::keyClick(list.FG, Qt::Key_Down);
        QCOMPARE(list.FG->rowSel(), 1);
        QTest::keyClick(list.FG, Qt::Key_Escape);
        QVERIFY(!Forms::isLoaded<frmAccList>());
    }

    void editOpensTheSelectedAccount() {
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2", "0");
        const int third = env.addAccount("3", "Three", "B3");
        frmAccList& list = openList();

        // Without any click "Edit" opens the first row.
        click(list.Command3);
        QVERIFY(Forms::isLoaded<frmAcc>());
        frmAcc& master = Forms::get<frmAcc>();
        QVERIFY(master.isVisible());
        QCOMPARE(masterFields(master), (QStringList{QString::number(first), "1", "One", "B1"}));
        QVERIFY(master.Check1->isChecked());

        // Open already with typed input: "Edit" on another row asks, and No keeps
        // the input; Yes reloads the same window.
        QTest::keyClicks(master.Text2, " typed");
        clickGridRow(list.FG, 2);
        MsgBox::setNextAnswer(MsgBox::Button::No);
        click(list.Command3);
        QCOMPARE(masterFields(master), (QStringList{QString::number(first), "1", "One typed", "B1"}));
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        click(list.Command3);
        QCOMPARE(shownTexts(),
                 QStringList(2, "\"Account Master\" holds changes that are not saved. Discard them?"));
        MsgBox::clearShown();
        QCOMPARE(&Forms::get<frmAcc>(), &master);
        QCOMPARE(masterFields(master), (QStringList{QString::number(second), "2", "Two", "B2"}));
        QVERIFY(!master.Check1->isChecked());

        // Double-click and the keyboard choose rows as well.
        doubleClick(list.FG->viewport(), list.FG->cellRect(3, 2).center());
        QCOMPARE(masterFields(master), (QStringList{QString::number(third), "3", "Three", "B3"}));
        list.FG->setFocus();
        QTest::keyClick(list.FG, Qt::Key_Up);
        QTest::keyClick(list.FG, Qt::Key_Up);
        click(list.Command3);
        QCOMPARE(master.lblRef->text(), QString::number(first));
        QCOMPARE(shownTexts(), QStringList());
    }

    void savedEditShowsOnlyAfterReopening() {
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        frmAccList& list = openList();
        clickGridRow(list.FG, 2);
        click(list.Command3);
        frmAcc& master = Forms::get<frmAcc>();
        master.Text2->clear();
        typeText(master.Text2, QString::fromUtf8("Two 'नया'"));
        click(master.Command2);

        QVERIFY(!Forms::isLoaded<frmAcc>());
        QCOMPARE(env.count("tblAcc"), 2);
        QCOMPARE(storedAccount(env, second), (QStringList{"2", QString::fromUtf8("Two 'नया'"), "B2", "1"}));
        QCOMPARE(storedAccount(env, first), (QStringList{"1", "One", "B1", "1"}));
        QCOMPARE(list.FG->textMatrix(2, 3), QString("Two")); // the open list is not refreshed

        // Shown again while open: still the old rows. Closed and opened: the change.
        Forms::showForward(&Forms::get<frmAccList>());
        QCOMPARE(list.FG->textMatrix(2, 3), QString("Two"));
        click(list.Command1);
        QVERIFY(!Forms::isLoaded<frmAccList>());
        frmAccList& reopened = openList();
        QCOMPARE(reopened.FG->textMatrix(2, 3), QString::fromUtf8("Two 'नया'"));
    }

    void addNewLeavesAnOpenMasterAlone() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        frmAccList& list = openList();
        clickGridRow(list.FG, 2);
        click(list.Command3);
        frmAcc& master = Forms::get<frmAcc>();
        QTest::keyClicks(master.Text3, " edited");

        click(list.Command4);
        QCOMPARE(&Forms::get<frmAcc>(), &master);
        QVERIFY(master.isVisible());
        QCOMPARE(masterFields(master), (QStringList{QString::number(second), "2", "Two", "B2 edited"}));

        click(master.Command2); // still updates the edited account
        QCOMPARE(env.count("tblAcc"), 2);
        QCOMPARE(storedAccount(env, second), (QStringList{"2", "Two", "B2 edited", "1"}));
    }

    void addNewOpensAnEmptyMaster() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        frmAccList& list = openList();
        click(list.Command4);
        frmAcc& master = Forms::get<frmAcc>();
        QVERIFY(master.isVisible());
        QCOMPARE(masterFields(master), (QStringList{"", "", "", ""}));
        QVERIFY(master.Check1->isChecked());
        QTest::keyClicks(master.Text1, "2");
        QTest::keyClicks(master.Text2, "Two");
        click(master.Command2);
        QCOMPARE(env.count("tblAcc"), 2);
        QCOMPARE(list.FG->rows(), 2); // the list still shows the old rows
    }

    void deleteAccount_data() {
        QTest::addColumn<int>("slips");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("deleted");
        const QString question = "Do you want to delete the account";
        QTest::newRow("no") << 0 << false << QStringList{question} << false;
        QTest::newRow("yes") << 0 << true << QStringList{question} << true;
        QTest::newRow("one slip")
            << 1 << true
            << QStringList{"The account 2 cannot be deleted: 1 stored slip carries its account number.\r\n"
                           "To stop using the account, open it with \"Edit\" and untick \"Active\" instead."}
            << false;
        QTest::newRow("three slips")
            << 3 << true
            << QStringList{"The account 2 cannot be deleted: 3 stored slips carry its account number.\r\n"
                           "To stop using the account, open it with \"Edit\" and untick \"Active\" instead."}
            << false;
    }
    void deleteAccount() {
        QFETCH(int, slips);
        QFETCH(bool, answerYes);
        QFETCH(QStringList, messages);
        QFETCH(bool, deleted);
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        const int third = env.addAccount("3", "Three", "B3");
        addSlips(env, "2", slips);
        addSlips(env, "3", 2); // another account's slips do not count
        frmAccList& list = openList();
        clickGridRow(list.FG, 2);
        MsgBox::setNextAnswer(answerYes ? MsgBox::Button::Yes : MsgBox::Button::No);
        click(list.Command2);

        QCOMPARE(shownTexts(), messages);
        if (slips == 0) {
            QCOMPARE(MsgBox::shown().first().buttons, MsgBox::Buttons::YesNo);
            QCOMPARE(MsgBox::shown().first().defaultButton, MsgBox::Button::No);
        }
        QCOMPARE(storedAccount(env, second).isEmpty(), deleted);
        QCOMPARE(env.count("tblAcc"), deleted ? 2 : 3);
        QCOMPARE(env.count("tblSlip"), slips + 2);
        if (deleted) {
            QCOMPARE(gridRows(list.FG), (QStringList{kHeader, QString("%1|1|1|One|B1").arg(first),
                                                     QString("%1|2|3|Three|B3").arg(third)}));
            QCOMPARE(list.FG->rowSel(), 1);
        } else {
            QCOMPARE(list.FG->rows(), 4);
            QCOMPARE(list.FG->rowSel(), 2);
        }
    }

    void deleteGoesByWhatIsStored() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        frmAccList& list = openList();
        // Since the list was read, the second account took a number that slips carry.
        env.exec(QString("UPDATE tblAcc SET accno = '77' WHERE id = %1").arg(second));
        addSlips(env, "77", 1);
        clickGridRow(list.FG, 2);
        click(list.Command2);
        QCOMPARE(shownTexts().size(), 1);
        QVERIFY(shownTexts().first().startsWith("The account 77 cannot be deleted: 1 stored slip"));
        QCOMPARE(env.count("tblAcc"), 2);

        // An account deleted meanwhile just leaves the list.
        MsgBox::clearShown();
        env.exec(QString("DELETE FROM tblSlip"));
        env.exec(QString("DELETE FROM tblAcc WHERE id = %1").arg(second));
        clickGridRow(list.FG, 2);
        click(list.Command2);
        QCOMPARE(shownTexts(), QStringList());
        QCOMPARE(list.FG->rows(), 2);
    }

    void aSlipStoredWhileTheQuestionIsOpenKeepsTheAccount() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        frmAccList& list = openList();
        clickGridRow(list.FG, 2);
        // Another copy of the program stores a slip for the account while the
        // question is open: here just as the deletion begins, on a connection of its own.
        Connection::setFaultInjector([&env](const QString& sql) {
            if (sql == TestEnv::writeBegin())
                addSlips(env, "2", 1);
            return false;
        });
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        click(list.Command2);
        Connection::setFaultInjector({});
        QCOMPARE(shownTexts().size(), 2);
        QCOMPARE(shownTexts()[0], QString("Do you want to delete the account"));
        QVERIFY(shownTexts()[1].startsWith("The account 2 cannot be deleted: 1 stored slip carries"));
        QCOMPARE(storedAccount(env, second), (QStringList{"2", "Two", "B2", "1"}));
        QCOMPARE(list.FG->rows(), 3);
    }

    void failingListQueryLeavesAnEmptyGrid() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        Connection::setFaultInjector([](const QString& sql) { return sql == "SElect * from tblAcc"; });
        frmAccList& list = openList();
        QVERIFY(Forms::isLoaded<frmAccList>());
        QCOMPARE(shownTexts(), QStringList{"Injected fault: SElect * from tblAcc"});
        QCOMPARE(gridRows(list.FG), QStringList{kHeader});
        click(list.Command3);
        QVERIFY(!Forms::isLoaded<frmAcc>());
    }

    void failingEditLeavesTheMasterConsistent() {
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("1", "One", "B1");
        env.addAccount("2", "Two", "B2");
        frmAccList& list = openList();
        const auto failReads = [](const QString& sql) {
            return sql.startsWith("Select * from tblAcc where id");
        };

        // Not open yet: a failed load shows the description and opens nothing.
        Connection::setFaultInjector(failReads);
        click(list.Command3);
        QCOMPARE(shownTexts(), QStringList{"Injected fault: Select * from tblAcc where id=?"});
        QVERIFY(!Forms::isLoaded<frmAcc>());

        // Open on another account: it keeps that account, key and fields alike.
        Connection::setFaultInjector({});
        click(list.Command3);
        frmAcc& master = Forms::get<frmAcc>();
        Connection::setFaultInjector(failReads);
        clickGridRow(list.FG, 2);
        click(list.Command3);
        QCOMPARE(shownTexts().size(), 2);
        QVERIFY(master.isVisible());
        QCOMPARE(masterFields(master), (QStringList{QString::number(first), "1", "One", "B1"}));
    }

    void eachLoadReconnects() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        frmAccList& list = openList();
        const std::shared_ptr<Connection> firstConnection = g_Connection;
        env.addAccount("2", "Two", "B2");
        Forms::showForward(&Forms::get<frmAccList>()); // shown again: no reload
        QCOMPARE(g_Connection, firstConnection);
        QCOMPARE(list.FG->rows(), 2);
        click(list.Command1);

        frmAccList& reopened = openList();
        QVERIFY(g_Connection != firstConnection);
        QCOMPARE(reopened.FG->rows(), 3);
    }
};

QTEST_MAIN(TestFrmAccList)
#include "test_frmacclist.moc"
