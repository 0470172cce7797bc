#include "Forms.h"
#include "MsgBox.h"
#include "SlipMain.h"
#include "TestEnv.h"
#include "frmReport.h"
#include "frmSlip.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

// A window whose load step counts how often it ran.
class CountingForm : public QWidget {
public:
    static inline int loads = 0;
    CountingForm() { ++loads; }
};

QMenu* fileMenu(SlipMain& window) {
    return window.findChild<QMenu*>("File");
}

} // namespace

class TestSlipMain : public QObject {
    Q_OBJECT
private slots:
    void menuItemsInOrder() {
        TestEnv env;
        env.createDatabase();
        SlipMain& window = Forms::get<SlipMain>();
        QCOMPARE(window.windowTitle(), QString("Cheqora"));
        QMenu* file = fileMenu(window);
        QVERIFY(file);
        QCOMPARE(file->title().remove('&'), QString("File"));
        QStringList names, captions;
        QList<bool> enabled;
        for (QAction* action : file->actions()) {
            names << action->objectName();
            captions << (action->isSeparator() ? QString("-") : action->text());
            enabled << action->isEnabled();
        }
        QCOMPARE(names, QStringList({"crAcc", "accList", "line", "print", "report", "about"}));
        QCOMPARE(captions, QStringList({"Create Account Master", "Account List", "-", "Print Slip", "Report",
                                        "About"}));
        QCOMPARE(enabled[4], false);
        QCOMPARE(enabled[0] && enabled[1] && enabled[3] && enabled[5], true);
        // The load step opened the shared connection.
        QCOMPARE(g_Connection->State(), 1);
    }

    void aboutShowsTwoLines() {
        TestEnv env;
        env.createDatabase();
        SlipMain& window = Forms::get<SlipMain>();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAction* about = window.findChild<QAction*>("about");
        about->trigger();
        QCOMPARE(MsgBox::shown().size(), 1);
        const QStringList lines = MsgBox::shown().first().text.split("\r\n");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("Devloped by Quorvane"));
        QVERIFY(lines[1].startsWith("Call +"));
        QCOMPARE(MsgBox::shown().first().buttons, MsgBox::Buttons::Ok);
    }

    void startupWithoutDatabaseEndsAfterTheMessage() {
        TestEnv env;
        env.writePathFile((env.folder() + "/missing.mdb").toUtf8());
        bool ended = false;
        try {
            Forms::get<SlipMain>();
        } catch (const ProgramEnded& end) {
            ended = end.exitCode != 0;
        }
        QVERIFY(ended);
        QCOMPARE(MsgBox::shown().size(), 1);
        QVERIFY(MsgBox::shown().first().text.startsWith("Database Connection Error"));
        QVERIFY(!Forms::isLoaded<SlipMain>());
    }

    void sharedInstancesLoadOnceUntilClosed() {
        TestEnv env;
        CountingForm::loads = 0;
        CountingForm& first = Forms::get<CountingForm>();
        QCOMPARE(&Forms::get<CountingForm>(), &first);
        QCOMPARE(CountingForm::loads, 1);
        QVERIFY(Forms::isLoaded<CountingForm>());
        QSignalSpy destroyed(&first, &QObject::destroyed);
        first.close();
        QVERIFY(!Forms::isLoaded<CountingForm>());
        QVERIFY(destroyed.wait(1000));
        Forms::get<CountingForm>();
        QCOMPARE(CountingForm::loads, 2);
    }

    void messageBoxAnswersInTestMode() {
        TestEnv env;
        MsgBox::setNextAnswer(MsgBox::Button::No);
        QVERIFY(!MsgBox::askYesNo("Do you want to print"));
        // Without a queued answer the default button answers.
        QVERIFY(MsgBox::askYesNo("Do you want to print"));
        QCOMPARE(MsgBox::shown().size(), 2);
        QCOMPARE(MsgBox::shown()[0].buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(MsgBox::shown()[0].defaultButton, MsgBox::Button::Yes);
    }

    // Closing the main window closes every window, the preview among them, so
    // the program ends; a slip window with unsaved input asks first.
    void closingTheMainWindowClosesEveryWindow_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("answer");
        QTest::newRow("preview open") << false << int(MsgBox::Button::Ok);
        QTest::newRow("unsaved slip, keep") << true << int(MsgBox::Button::No);
        QTest::newRow("unsaved slip, discard") << true << int(MsgBox::Button::Yes);
    }
    void closingTheMainWindowClosesEveryWindow() {
        QFETCH(bool, typed);
        QFETCH(int, answer);
        TestEnv env;
        env.createDatabase();
        QPointer<SlipMain> window = &Forms::get<SlipMain>();
        window->show();
        window->print_Click();
        Forms::get<frmSlipList>().Command4_Click();
        frmSlip& slip = Forms::get<frmSlip>();
        if (typed)
            QTest::keyClicks(slip.Text2, QStringLiteral("Ravi"));
        Forms::get<frmReport>().show();
        MsgBox::setNextAnswer(MsgBox::Button(answer));
        window->close();
        QTest::qWait(0); // windows closed by the close are deleted by the event loop
        QCOMPARE(MsgBox::shown().size(), typed ? 1 : 0);
        const bool kept = answer == int(MsgBox::Button::No);
        QCOMPARE(window && window->isVisible(), kept);
        QCOMPARE(Forms::isLoaded<frmSlip>(), kept);
        QCOMPARE(Forms::isLoaded<frmSlipList>(), kept);
        QStringList stillShown;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible())
                stillShown << widget->objectName();
        if (!kept)
            QCOMPARE(stillShown, QStringList()); // the program ends with its last window
    }

    // The program itself, started beside its database: it reaches its main
    // window and, when it ends, closes the database without a crash.
    void theProgramStartsAndEndsCleanly() {
        TestEnv env;
        env.createDatabase();
        const QString program = env.folder() + QStringLiteral("/cheqora");
        QVERIFY(QFile::copy(builtProgram(QStringLiteral("cheqora")), program));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CHEQORA_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        process.start(program);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.readAllStandardOutput(), QByteArray("Cheqora shown\n"));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_MAIN(TestSlipMain)
#include "test_slipmain.moc"
