#include "AccountTests.h"
#include "Connection.h"
#include "Input.h"
#include "Statement.h"
#include "frmAcc.h"
#include "modData.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QString kDevanagariName = QString::fromUtf8("भारतीय स्टेट बैंक खाता");
const QString kDevanagariBranch = QString::fromUtf8("नई दिल्ली मुख्य शाखा");

// Types the three texts the way a person does: into each box in turn.
void typeAccount(frmAcc& form, const QString& number, const QString& name, const QString& branch) {
    typeText(form.Text1, number);
    typeText(form.Text2, name);
    typeText(form.Text3, branch);
}

void clickSave(frmAcc& form) {
    QTest::mouseClick(form.Command2, Qt::LeftButton);
}

// The master as the menu shows it.
frmAcc& openMaster() {
    frmAcc& form = Forms::get<frmAcc>();
    Forms::showForward(&form);
    return form;
}

// The master opened on a stored account, as "Edit" in the list opens it.
frmAcc& openMasterOn(int key) {
    frmAcc& form = Forms::get<frmAcc>();
    form.lblRef->setText(QString::number(key));
    form.getData();
    Forms::showForward(&form);
    return form;
}

bool fitsItsText(QWidget* widget) {
    return widget->width() >= widget->sizeHint().width() &&
           widget->height() >= widget->minimumSizeHint().height();
}

} // namespace

class TestFrmAcc : public QObject {
    Q_OBJECT
private slots:
    void newAccountStoredAsTyped_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("branch");
        QTest::newRow("plain") << "00123"
                               << "Ramesh Traders"
                               << "Karol Bagh";
        QTest::newRow("apostrophes") << "12'34"
                                     << "D'Souza & Sons' Co"
                                     << "St. Mary's Road";
        QTest::newRow("quotes and SQL") << "\"7\""
                                        << "x'); DROP TABLE tblAcc; --"
                                        << "say \"hi\"";
        QTest::newRow("devanagari") << QString::fromUtf8("१२३४५") << kDevanagariName << kDevanagariBranch;
        QTest::newRow("blanks kept") << "  12  "
                                     << " A "
                                     << "";
        QTest::newRow("all empty") << ""
                                   << ""
                                   << "";
    }
    void newAccountStoredAsTyped() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, branch);
        TestEnv env;
        env.createDatabase();
        frmAcc& form = openMaster();
        QPointer<frmAcc> window(&form);
        QCOMPARE(form.lblRef->text(), QString());
        QVERIFY(form.Check1->isChecked()); // a new account starts active

        typeAccount(form, number, name, branch);
        clickSave(form);

        QCOMPARE(shownTexts(), QStringList());
        QVERIFY(!Forms::isLoaded<frmAcc>()); // a successful save closes the window
        QVERIFY(!window || !window->isVisible());
        QCOMPARE(env.count("tblAcc"), 1);
        QCOMPARE(storedAccount(env, lastAccountKey(env)), (QStringList{number, name, branch, "1"}));
    }

    void veryLongTextsPasted() {
        TestEnv env;
        env.createDatabase();
        frmAcc& form = openMaster();
        // Longer than a line edit takes by default.
        const QString longName = QString::fromUtf8("शाखा O'Neil \"x\" ").repeated(3000);
        QVERIFY(longName.size() > 40000);
        QApplication::clipboard()->setText(longName);
        QTest::keyClick(form.Text2, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.Text2->text(), longName);
        QTest::keyClicks(form.Text1, QString("9").repeated(300));
        clickSave(form);
        QCOMPARE(storedAccount(env, lastAccountKey(env)),
                 (QStringList{QString("9").repeated(300), longName, "", "1"}));
    }

    void activeFlagStored() {
        TestEnv env;
        env.createDatabase();
        frmAcc& form = openMaster();
        typeAccount(form, "1", "Inactive one", "B");
        QTest::keyClick(form.Check1, Qt::Key_Space);
        QVERIFY(!form.Check1->isChecked());
        clickSave(form);
        QCOMPARE(storedAccount(env, lastAccountKey(env)), (QStringList{"1", "Inactive one", "B", "0"}));
        QCOMPARE(env.scalar("SELECT active FROM tblAcc").typeId(), QMetaType::QString); // stored as text

        frmAcc& second = openMaster();
        typeAccount(second, "2", "Active one", "B");
        QTest::mouseClick(second.Check1, Qt::LeftButton); // off
        QTest::mouseClick(second.Check1, Qt::LeftButton); // on again
        clickSave(second);
        QCOMPARE(storedAccount(env, lastAccountKey(env)).at(3), QString("1"));
    }

    void duplicateNumbersBothStored() {
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("555", "First", "North");
        frmAcc& form = openMaster();
        typeAccount(form, "555", "Second", "South");
        clickSave(form);
        QCOMPARE(env.count("tblAcc"), 2);
        QCOMPARE(storedAccount(env, first), (QStringList{"555", "First", "North", "1"}));
        QCOMPARE(storedAccount(env, lastAccountKey(env)), (QStringList{"555", "Second", "South", "1"}));
        QVERIFY(lastAccountKey(env) != first);
    }

    void layoutAndKeyboard() {
        TestEnv env;
        env.createDatabase();
        frmAcc& form = Forms::get<frmAcc>();
        QVERIFY(showActive(&form));
        QCOMPARE(form.windowTitle(), QString("Account Master"));
        QCOMPARE(form.minimumSize(), form.maximumSize()); // fixed size
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(form.lblRef->isHidden());
        QCOMPARE(form.Text1->objectName(), QString("Text1"));
        QCOMPARE(form.Label1[2]->objectName(), QString("Label1_2"));
        QCOMPARE(form.Text2->accessibleName(), QString("Account Name"));
        QCOMPARE(form.Command2->text(), QString("Save"));
        QCOMPARE(form.Command1->text(), QString("Close"));
        QCOMPARE(form.Check1->text(), QString("Active"));

        // Labels in a column on the left, each beside its box; the box below;
        // "Save" left of "Close" at the bottom right.
        const std::array<QLineEdit*, 3> texts = {form.Text1, form.Text2, form.Text3};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(form.Label1[i]->text(), (QStringList{"Account Number", "Account Name", "Branch"}).at(i));
            QVERIFY(form.Label1[i]->geometry().right() < texts[i]->x());
            QVERIFY(qAbs(form.Label1[i]->geometry().center().y() - texts[i]->geometry().center().y()) <= 2);
            QVERIFY(fitsItsText(form.Label1[i]));
            if (i > 0)
                QVERIFY(texts[i]->y() > texts[i - 1]->geometry().bottom());
        }
        QVERIFY(form.Check1->y() > form.Text3->geometry().bottom());
        QVERIFY(form.Command2->y() > form.Check1->geometry().bottom());
        QVERIFY(form.Command2->geometry().right() < form.Command1->x());
        QCOMPARE(form.Command2->y(), form.Command1->y());
        QVERIFY(form.width() - form.Command1->geometry().right() < 20);
        for (QWidget* control : std::initializer_list<QWidget*>{form.Check1, form.Command1, form.Command2})
            QVERIFY2(fitsItsText(control), qPrintable(control->objectName()));
        for (QWidget* control : form.findChildren<QWidget*>())
            QVERIFY(form.rect().contains(control->geometry()) || control->isHidden());

        // Tab order: Text1, Text2, Text3, "Save", "Close", "Active".
        QCOMPARE(QApplication::focusWidget(), form.Text1);
        const QList<QWidget*> order = {form.Text2,    form.Text3,  form.Command2,
                                       form.Command1, form.Check1, form.Text1};
        for (QWidget* expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected);
        }

        // A whole account by keyboard alone.
        QTest::keyClicks(QApplication::focusWidget(), "K-1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "Keyboard");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "Tab");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!Forms::isLoaded<frmAcc>());
        QCOMPARE(storedAccount(env, lastAccountKey(env)), (QStringList{"K-1", "Keyboard", "Tab", "1"}));
    }

    // "Close" discards typed input at once; Escape and the window's close box
    // ask first, and No keeps the window with the input.
    void closingAsksBeforeDiscardingInput_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer"); // -1: nothing is asked
        QTest::newRow("Close") << "Close" << -1;
        QTest::newRow("Escape, keep") << "Escape" << int(MsgBox::Button::No);
        QTest::newRow("Escape, discard") << "Escape" << int(MsgBox::Button::Yes);
        QTest::newRow("close box, keep") << "close box" << int(MsgBox::Button::No);
    }
    void closingAsksBeforeDiscardingInput() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        TestEnv env;
        env.createDatabase();
        const int key = env.addAccount("1", "Kept", "B");
        frmAcc& form = openMasterOn(key);
        QVERIFY(showActive(&form));
        QTest::keyClicks(form.Text2, " changed");
        QTest::keyClick(form.Check1, Qt::Key_Space);
        if (answer >= 0)
            MsgBox::setNextAnswer(MsgBox::Button(answer));
        if (how == "Escape")
            QTest::keyClick(form.Text2, Qt::Key_Escape);
        else if (how == "close box")
            form.close();
        else
            QTest::mouseClick(form.Command1, Qt::LeftButton);
        const bool kept = answer == int(MsgBox::Button::No);
        QCOMPARE(shownTexts(), answer < 0
                                   ? QStringList()
                                   : QStringList{"\"Account Master\" holds changes that are not saved. "
                                                 "Discard them?"});
        QCOMPARE(Forms::isLoaded<frmAcc>(), kept);
        QCOMPARE(storedAccount(env, key), (QStringList{"1", "Kept", "B", "1"}));
        if (kept) {
            QCOMPARE(form.Text2->text(), QStringLiteral("Kept changed"));
            return;
        }
        QCOMPARE(env.count("tblAcc"), 1);

        // Opened again, it is a new account: nothing of the earlier window remains.
        frmAcc& again = openMaster();
        QCOMPARE(again.lblRef->text(), QString());
        QCOMPARE(again.Text1->text(), QString());
        QCOMPARE(again.Text2->text(), QString());
        QCOMPARE(again.Text3->text(), QString());
        QVERIFY(again.Check1->isChecked());
    }

    void getDataShowsStoredAccount_data() {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("storedAgain");
        QTest::newRow("active") << "'A-1', 'Name ''quoted''', 'Branch', '1'"
                                << QStringList{"A-1", "Name 'quoted'", "Branch"} << int(Qt::Checked) << "1";
        QTest::newRow("inactive") << "'A-2', 'N', 'B', '0'" << QStringList{"A-2", "N", "B"}
                                  << int(Qt::Unchecked) << "0";
        QTest::newRow("greyed") << "'A-3', 'N', 'B', '2'" << QStringList{"A-3", "N", "B"}
                                << int(Qt::PartiallyChecked) << "2";
        QTest::newRow("leading zero")
            << "'A-5', 'N', 'B', ' 01'" << QStringList{"A-5", "N", "B"} << int(Qt::Checked) << "1";
        QTest::newRow("nulls") << "'A-4', NULL, NULL, NULL" << QStringList{"A-4", "", ""}
                               << int(Qt::Unchecked) << "0";
        QTest::newRow("devanagari") << QString::fromUtf8("'१२', 'खाता', 'शाखा', '1'")
                                    << QStringList{QString::fromUtf8("१२"), QString::fromUtf8("खाता"),
                                                   QString::fromUtf8("शाखा")}
                                    << int(Qt::Checked) << "1";
    }
    void getDataShowsStoredAccount() {
        QFETCH(QString, insert);
        QFETCH(QStringList, shown);
        QFETCH(int, active);
        QFETCH(QString, storedAgain);
        TestEnv env;
        env.createDatabase();
        env.addAccount("other", "Other", "Other");
        env.exec("INSERT INTO tblAcc (accno, accname, branch, active) VALUES (" + insert + ")");
        const int key = lastAccountKey(env);
        frmAcc& form = openMasterOn(key);
        QCOMPARE(shownTexts(), QStringList());
        QCOMPARE((QStringList{form.Text1->text(), form.Text2->text(), form.Text3->text()}), shown);
        QCOMPARE(int(form.Check1->checkState()), active);
        QCOMPARE(form.lblRef->text(), QString::number(key));

        // Saved unchanged, the row keeps what was shown (an empty flag is stored as not ticked).
        clickSave(form);
        QCOMPARE(storedAccount(env, key), shown + QStringList{storedAgain});
        QCOMPARE(env.count("tblAcc"), 2);
    }

    void getDataFailuresAreShown_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "abc"
                                 << "The account key \"abc\" is not a whole number.";
        QTest::newRow("empty") << ""
                               << "The account key \"\" is not a whole number.";
        QTest::newRow("too large") << "99999999999"
                                   << "The account key \"99999999999\" is not a whole number.";
        QTest::newRow("unreadable flag") << "flag"
                                         << "The stored active flag \"yes\" is not 0, 1 or 2.";
    }
    void getDataFailuresAreShown() {
        QFETCH(QString, key);
        QFETCH(QString, message);
        TestEnv env;
        env.createDatabase();
        const int badFlag = env.addAccount("X", "Bad flag", "B", "yes");
        frmAcc& form = openMaster();
        typeAccount(form, "typed", "by", "hand");
        form.lblRef->setText(key == "flag" ? QString::number(badFlag) : key);
        QVERIFY(!form.getData());
        QCOMPARE(shownTexts(), QStringList{message});
        // Nothing of the failed load reaches the fields.
        QCOMPARE(form.Text1->text(), QString("typed"));
        QCOMPARE(form.Text3->text(), QString("hand"));
        QVERIFY(form.isVisible());
    }

    void getDataOnMissingAccountChangesNothing() {
        TestEnv env;
        env.createDatabase();
        frmAcc& form = openMaster();
        typeAccount(form, "typed", "", "");
        form.lblRef->setText("0");
        QVERIFY(form.getData());
        QCOMPARE(form.Text1->text(), QString("typed"));
        QCOMPARE(shownTexts(), QStringList());

        // "0" is a key, not a new account: "Save" updates nothing and adds nothing.
        clickSave(form);
        QVERIFY(Forms::isLoaded<frmAcc>());
        QVERIFY(form.isVisible());
        QCOMPARE(env.count("tblAcc"), 0);
        QCOMPARE(shownTexts(), QStringList());
    }

    void editSavesInPlace() {
        TestEnv env;
        env.createDatabase();
        const int first = env.addAccount("1", "One", "B1");
        const int second = env.addAccount("2", "Two", "B2");
        frmAcc& form = openMasterOn(second);
        form.Text2->clear();
        QTest::keyClicks(form.Text2, "Two 'renamed'");
        QTest::keyClick(form.Check1, Qt::Key_Space);
        clickSave(form);
        QVERIFY(!Forms::isLoaded<frmAcc>());
        QCOMPARE(env.count("tblAcc"), 2);
        QCOMPARE(storedAccount(env, second), (QStringList{"2", "Two 'renamed'", "B2", "0"}));
        QCOMPARE(storedAccount(env, first), (QStringList{"1", "One", "B1", "1"}));
    }

    void editOfDeletedAccountIsSilent() {
        TestEnv env;
        env.createDatabase();
        const int key = env.addAccount("1", "Gone soon", "B");
        frmAcc& form = openMasterOn(key);
        env.exec(QString("DELETE FROM tblAcc WHERE id = %1").arg(key));
        QTest::keyClicks(form.Text2, " edited");
        clickSave(form);
        QVERIFY(form.isVisible());
        QCOMPARE(form.Text2->text(), QString("Gone soon edited"));
        QCOMPARE(env.count("tblAcc"), 0);
        QCOMPARE(shownTexts(), QStringList());
    }

    void saveFailureKeepsInput_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("failingStatement");
        QTest::newRow("new account, insert fails") << false << "INSERT INTO tblAcc";
        QTest::newRow("new account, transaction refused") << false << TestEnv::writeBegin();
        QTest::newRow("edited account, update fails") << true << "UPDATE tblAcc";
        QTest::newRow("edited account, commit fails") << true << "COMMIT";
    }
    void saveFailureKeepsInput() {
        QFETCH(bool, editing);
        QFETCH(QString, failingStatement);
        TestEnv env;
        env.createDatabase();
        const int key = env.addAccount("1", "Stored", "B");
        frmAcc& form = editing ? openMasterOn(key) : openMaster();
        for (QLineEdit* text : {form.Text1, form.Text2, form.Text3})
            text->clear();
        typeAccount(form, "N-1", " 'typed'", "Branch");
        Connection::setFaultInjector([&](const QString& sql) { return sql.startsWith(failingStatement); });
        clickSave(form);

        QCOMPARE(MsgBox::shown().size(), 1);
        QVERIFY2(MsgBox::shown().first().text.startsWith("Injected fault: " + failingStatement),
                 qPrintable(MsgBox::shown().first().text));
        QCOMPARE(MsgBox::shown().first().buttons, MsgBox::Buttons::Ok);
        QVERIFY(Forms::isLoaded<frmAcc>());
        QVERIFY(form.isVisible());
        const QString name = " 'typed'";
        QCOMPARE((QStringList{form.Text1->text(), form.Text2->text(), form.Text3->text()}),
                 (QStringList{"N-1", name, "Branch"}));
        QCOMPARE(env.count("tblAcc"), 1);
        QCOMPARE(storedAccount(env, key), (QStringList{"1", "Stored", "B", "1"}));

        // Corrected (here: the fault gone), "Save" again stores the row once.
        Connection::setFaultInjector({});
        clickSave(form);
        QVERIFY(!Forms::isLoaded<frmAcc>());
        QCOMPARE(env.count("tblAcc"), editing ? 1 : 2);
        QCOMPARE(storedAccount(env, editing ? key : lastAccountKey(env)),
                 (QStringList{"N-1", name, "Branch", "1"}));
    }

    void databaseRefusalIsShown() {
        TestEnv env;
        env.createDatabase();
        if (TestEnv::onServer()) {
            env.exec("CREATE FUNCTION refuseEmptyNumber() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN RAISE "
                     "EXCEPTION ''The account number may not be empty''; END'");
            env.exec(
                "CREATE TRIGGER refuseEmptyNumber BEFORE INSERT ON tblAcc FOR EACH ROW WHEN (NEW.accno = '') "
                "EXECUTE FUNCTION refuseEmptyNumber()");
        } else {
            env.exec("CREATE TRIGGER refuseEmptyNumber BEFORE INSERT ON tblAcc WHEN NEW.accno = '' "
                     "BEGIN SELECT RAISE(ABORT, 'The account number may not be empty'); END");
        }
        frmAcc& form = openMaster();
        QTest::keyClicks(form.Text2, "No number");
        clickSave(form);
        QCOMPARE(shownTexts().size(), 1);
        QVERIFY2(shownTexts().first().contains("The account number may not be empty"),
                 qPrintable(shownTexts().first()));
        QVERIFY(form.isVisible());
        QCOMPARE(form.Text2->text(), QString("No number"));
        QCOMPARE(env.count("tblAcc"), 0);
    }

    void eachLoadReconnects() {
        TestEnv env;
        env.createDatabase();
        const QString otherPath = env.folder() + "/other folder/other.mdb";
        QVERIFY(QDir().mkpath(env.folder() + "/other folder"));
        env.createDatabase(otherPath);

        frmAcc& form = openMaster();
        const std::shared_ptr<Connection> firstConnection = g_Connection;
        QCOMPARE(firstConnection->path(), env.databasePath());
        env.writePathFile(otherPath.toUtf8() + "\r\n");
        // Shown again while open: no reload, no reconnect.
        Forms::showForward(&Forms::get<frmAcc>());
        QCOMPARE(g_Connection, firstConnection);
        QTest::mouseClick(form.Command1, Qt::LeftButton);

        frmAcc& reopened = openMaster();
        QVERIFY(g_Connection != firstConnection);
        QCOMPARE(g_Connection->path(), otherPath);
        typeAccount(reopened, "in other", "x", "y");
        clickSave(reopened);
        QCOMPARE(env.count("tblAcc"), 0);
        std::shared_ptr<Connection> other = Connection::create();
        other->open(otherPath, kDatabasePassword);
        Statement query(*other, "SELECT accno FROM tblAcc");
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QString("in other"));
    }

    void loadWithoutDatabaseEndsProgram() {
        TestEnv env;
        env.writePathFile("/no/such/folder/data.mdb");
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, Forms::get<frmAcc>());
        QCOMPARE(shownTexts(), QStringList{kConnectionErrorMessage});
        QVERIFY(!Forms::isLoaded<frmAcc>());
    }
};

QTEST_MAIN(TestFrmAcc)
#include "test_frmacc.moc"
