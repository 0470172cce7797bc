#include "AccountTests.h"
#include "FlexGrid.h"
#include "SlipMain.h"
#include "frmAcc.h"
#include "frmAccList.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

SlipMain& startMainWindow() {
    SlipMain& main = Forms::get<SlipMain>();
    main.show();
    return main;
}

void choose(SlipMain& main, const char* item) {
    QAction* action = main.findChild<QAction*>(QLatin1String(item));
    QVERIFY(action);
    action->trigger();
}

} // namespace

class TestAccountMenu : public QObject {
    Q_OBJECT
private slots:
    void createAccountMaster() {
        TestEnv env;
        env.createDatabase();
        const int key = env.addAccount("1", "One", "B1");
        SlipMain& main = startMainWindow();
        choose(main, "crAcc");
        QVERIFY(Forms::isLoaded<frmAcc>());
        frmAcc& master = Forms::get<frmAcc>();
        QVERIFY(master.isVisible());
        QVERIFY(master.isWindow());
        QCOMPARE(master.parentWidget(), &main); // stays in front of the main window
        QCOMPARE(master.lblRef->text(), QString());

        // Chosen again while open on an edited account: brought forward unchanged.
        master.lblRef->setText(QString::number(key));
        master.getData();
        QTest::keyClicks(master.Text2, " typed");
        choose(main, "crAcc");
        QCOMPARE(&Forms::get<frmAcc>(), &master);
        QCOMPARE(master.lblRef->text(), QString::number(key));
        QCOMPARE(master.Text2->text(), QString("One typed"));

        // Closed, it opens afresh.
        QTest::mouseClick(master.Command1, Qt::LeftButton);
        choose(main, "crAcc");
        QCOMPARE(Forms::get<frmAcc>().Text2->text(), QString());
        QCOMPARE(Forms::get<frmAcc>().lblRef->text(), QString());
    }

    void accountListAndItsMaster() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("1", "One", "B1");
        SlipMain& main = startMainWindow();
        choose(main, "accList");
        QVERIFY(Forms::isLoaded<frmAccList>());
        frmAccList& list = Forms::get<frmAccList>();
        QVERIFY(list.isVisible());
        QCOMPARE(list.parentWidget(), &main);
        QCOMPARE(list.FG->rows(), 2);

        env.addAccount("2", "Two", "B2");
        choose(main, "accList"); // open already: brought forward, not reloaded
        QCOMPARE(&Forms::get<frmAccList>(), &list);
        QCOMPARE(list.FG->rows(), 2);

        // The master opened from the list belongs to the main window, not to the
        // list: closing the list leaves it open.
        QTest::mouseClick(list.Command3, Qt::LeftButton);
        QPointer<frmAcc> master(&Forms::get<frmAcc>());
        QCOMPARE(master->parentWidget(), &main);
        QTest::mouseClick(list.Command1, Qt::LeftButton);
        QVERIFY(!Forms::isLoaded<frmAccList>());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(master);
        QVERIFY(master->isVisible());
        QCOMPARE(master->Text2->text(), QString("One"));

        choose(main, "accList");
        QCOMPARE(Forms::get<frmAccList>().FG->rows(), 3);
    }
};

QTEST_MAIN(TestAccountMenu)
#include "test_accountmenu.moc"
