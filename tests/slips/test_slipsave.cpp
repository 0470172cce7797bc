#include "SlipWindowTesting.h"
#include "frmReport.h"
#include "modData.h"
#include "modReport.h"

#include <QFile>

#include <QDate>
#include <QPointer>

using namespace SlipTesting;

namespace {

// The window on a fresh database, account 111 chosen and one cheque line filled.
frmSlip* openFilledSlip(TestEnv& env) {
    env.createDatabase();
    env.copyReports();
    env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
    frmSlip* form = openSlip();
    if (!form)
        return nullptr;
    chooseFromList(form->cmbAcc, QStringLiteral("111"));
    fillLine(*form, 0, QStringLiteral("123"), QStringLiteral("HDFC Bank"), QStringLiteral("Mumbai"),
             QStringLiteral("500"));
    return form;
}

QStringList storedLineKeys(TestEnv& env) {
    QSqlQuery query(env.check()->database());
    query.exec(QStringLiteral("SELECT sdid FROM tblSlipDetails ORDER BY sdid"));
    QStringList keys;
    while (query.next())
        keys << query.value(0).toString();
    return keys;
}

// Fails the n-th line insert of a save, as a full disk or a lock would.
void failLineInsert(int n) {
    auto inserts = std::make_shared<int>(0);
    Connection::setFaultInjector([inserts, n](const QString& sql) {
        return sql.startsWith(QStringLiteral("INSERT INTO tblSlipDetails"), Qt::CaseInsensitive) &&
               ++*inserts == n;
    });
}

} // namespace

class TestSlipSave : public QObject {
    Q_OBJECT
private slots:
    void saveNeedsAnAccountAndAFirstCheque_data() {
        QTest::addColumn<bool>("account");
        QTest::addColumn<QString>("firstCheque");
        QTest::addColumn<QString>("secondCheque");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing given") << false << ""
                                       << ""
                                       << "Select an Account first";
        QTest::newRow("cheque without account") << false << "12"
                                                << ""
                                                << "Select an Account first";
        QTest::newRow("only the second cheque") << true << ""
                                                << "34"
                                                << "Enter cheque details first";
    }
    void saveNeedsAnAccountAndAFirstCheque() {
        QFETCH(bool, account);
        QFETCH(QString, firstCheque);
        QFETCH(QString, secondCheque);
        QFETCH(QString, message);
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        if (account)
            chooseFromList(form->cmbAcc, QStringLiteral("111"));
        if (!firstCheque.isEmpty())
            fill(form->Text1[0], firstCheque);
        if (!secondCheque.isEmpty())
            fill(form->Text1[1], secondCheque);
        click(form->Command2);
        QCOMPARE(shownTexts(), QStringList{message});
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 0);
        QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 0);
        QCOMPARE(form->lblRef->text(), QString());
    }

    void aNewSlipIsStoredThenThePrintQuestion() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        fill(form->txtSno, QStringLiteral("17"));
        fill(form->Text2, QStringLiteral("Ravi"));
        fill(form->Text3, QStringLiteral("urgent"));
        form->dt->setDate(QDate(2024, 5, 6));
        saveAndAnswer(*form, MsgBox::Button::Yes);

        QCOMPARE(MsgBox::shown().size(), 1);
        QCOMPARE(MsgBox::shown()[0].text, QStringLiteral("Do you want to print"));
        QCOMPARE(MsgBox::shown()[0].buttons, MsgBox::Buttons::YesNo);
        QCOMPARE(MsgBox::shown()[0].defaultButton, MsgBox::Button::Yes);
        const QString sid = env.scalar(QStringLiteral("SELECT sid FROM tblSlip")).toString();
        QCOMPARE(form->lblRef->text(), sid);
        QSqlQuery header(env.check()->database());
        QVERIFY(
            header.exec(QStringLiteral("SELECT sno, typeof(sno), accno, accName, branch, sdate, depositedBy, "
                                       "remarks FROM tblSlip")));
        QVERIFY(header.next());
        QStringList values;
        for (int i = 0; i < 8; ++i)
            values << header.value(i).toString();
        QCOMPARE(values, (QStringList{"17", "integer", "111", "Asha Traders", "Fort", "2024-05-06", "Ravi",
                                      "urgent"}));
        QCOMPARE(env.scalar(QStringLiteral("SELECT sid FROM tblSlipDetails")).toString(), sid);
        // Yes keeps the slip on screen and shows its preview.
        QCOMPARE(&Forms::get<frmSlip>(), form);
        QVERIFY(form->isVisible());
        QVERIFY(Forms::isLoaded<frmReport>());
        QVERIFY(Forms::get<frmReport>().isVisible());
        QCOMPARE(g_Report->parameterFields().item(1).currentValues(), QVariantList{sid.toInt()});
    }

    void thePrintQuestionComesOnlyAfterTheCommit() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        Connection::setFaultInjector([](const QString& sql) { return sql == QLatin1String("COMMIT"); });
        click(form->Command2);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Injected fault: COMMIT")});
        Connection::setFaultInjector({});
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 0);
        QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 0);
        QCOMPARE(form->lblRef->text(), QString());
    }

    void savingTwiceUpdatesTheSameSlip() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        fillLine(*form, 1, QStringLiteral("124"), QString(), QString(), QStringLiteral("20"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        const QString sid = form->lblRef->text();
        const QStringList firstKeys = storedLineKeys(env);
        QCOMPARE(firstKeys.size(), 2);

        fill(form->Text2, QStringLiteral("Meena"));
        fill(form->Text1[1], QString());
        fill(form->Amount[0], QStringLiteral("750.25"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        QCOMPARE(shownTexts(), (QStringList{"Do you want to print", "Do you want to print"}));
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 1);
        QCOMPARE(env.scalar(QStringLiteral("SELECT sid FROM tblSlip")).toString(), sid);
        QCOMPARE(env.scalar(QStringLiteral("SELECT depositedBy FROM tblSlip")).toString(),
                 QStringLiteral("Meena"));
        const QStringList secondKeys = storedLineKeys(env);
        QCOMPARE(secondKeys.size(), 1);
        QVERIFY2(secondKeys[0].toInt() > firstKeys[1].toInt(), "the lines are stored afresh");
        QCOMPARE(env.scalar(QStringLiteral("SELECT printf('%.2f', amount) FROM tblSlipDetails")).toString(),
                 QStringLiteral("750.25"));
        QCOMPARE(form->lblRef->text(), sid);
    }

    void answeringNoOpensTheNextEmptySlip() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        QWidget owner;
        form->setParent(&owner, form->windowFlags()); // opened from the slip list, say
        QVERIFY(showActive(form));
        fill(form->txtSno, QStringLiteral("41"));
        fill(form->Text2, QStringLiteral("Ravi"));
        form->chqDate[0]->setDate(QDate(2023, 1, 1));
        saveAndAnswer(*form, MsgBox::Button::No);

        QPointer<frmSlip> old(form);
        QVERIFY(!old->isVisible());
        QVERIFY(Forms::isLoaded<frmSlip>());
        frmSlip& next = Forms::get<frmSlip>();
        QVERIFY(&next != old.data());
        QVERIFY(next.isVisible());
        QCOMPARE(next.parentWidget(), &owner);
        QCOMPARE(next.txtSno->text(), QStringLiteral("42"));
        QCOMPARE(next.lblRef->text(), QString());
        QCOMPARE(next.cmbAcc->currentText(), QString());
        QCOMPARE(next.Text1[0]->text(), QString());
        QCOMPARE(next.Amount[0]->text(), QStringLiteral("0.00"));
        QCOMPARE(next.chqDate[0]->date(), QDate::currentDate());
        QCOMPARE(next.Text2->text(), QStringLiteral("Ravi"));
        QCOMPARE(next.Bank[3]->findText(QStringLiteral("HDFC Bank")), 0); // the lists are read afresh
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
    }

    void aFailedSaveStoresNothingAndChangesNothing_data() {
        QTest::addColumn<bool>("update");
        QTest::addColumn<bool>("badAmount");
        QTest::newRow("new slip, third line refused") << false << false;
        QTest::newRow("new slip, third amount no number") << false << true;
        QTest::newRow("stored slip, third line refused") << true << false;
        QTest::newRow("stored slip, third amount no number") << true << true;
    }
    void aFailedSaveStoresNothingAndChangesNothing() {
        QFETCH(bool, update);
        QFETCH(bool, badAmount);
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        const int other =
            env.addAccount(QStringLiteral("222"), QStringLiteral("Other"), QStringLiteral("Vashi"));
        Q_UNUSED(other);
        fillLine(*form, 1, QStringLiteral("124"), QString(), QString(), QStringLiteral("20"));
        fillLine(*form, 2, QStringLiteral("125"), QString(), QString(), QStringLiteral("30"));
        if (update) {
            saveAndAnswer(*form, MsgBox::Button::Yes);
            QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 3);
            fill(form->Text2, QStringLiteral("Changed"));
            fill(form->Amount[0], QStringLiteral("1"));
        }
        // The key the save would look up differs from the one the window holds.
        const QString tagBefore = form->cmbAccTag();
        form->cmbAcc->setEditText(QStringLiteral("222"));
        if (badAmount)
            fill(form->Amount[2], QStringLiteral("3O"));
        else
            failLineInsert(3);
        form->Command2->setFocus();
        MsgBox::clearShown();
        const QStringList storedBefore = dumpDatabase(env);
        const QStringList shownBefore = snapshot(*form);

        click(form->Command2);
        Connection::setFaultInjector({});

        QCOMPARE(MsgBox::shown().size(), 1);
        QVERIFY2(MsgBox::shown()[0].text.contains(badAmount ? QStringLiteral("Line 3: \"3O\"")
                                                            : QStringLiteral("Injected fault")),
                 qPrintable(MsgBox::shown()[0].text));
        QCOMPARE(dumpDatabase(env), storedBefore);
        QCOMPARE(snapshot(*form), shownBefore);
        QCOMPARE(form->cmbAccTag(), tagBefore);
        QCOMPARE(form->lblRef->text().isEmpty(), !update);
    }

    void printingWithoutAnAccountKey_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("no number") << "abc" << true;
        QTest::newRow("an account key without template") << "7" << false;
    }
    void printingWithoutAnAccountKey() {
        QFETCH(QString, tag);
        QFETCH(bool, refused);
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        form->lblRef->setText(QStringLiteral("1"));
        form->cmbAcc->setProperty("Tag", tag);
        form->printPV();
        QCOMPARE(shownTexts().size(), 1);
        if (refused)
            QCOMPARE(shownTexts()[0], QStringLiteral("Cannot find the rpt file"));
        else
            QVERIFY2(shownTexts()[0].contains(QStringLiteral("pv7.rpt")), qPrintable(shownTexts()[0]));
        QVERIFY(!Forms::isLoaded<frmReport>() || !Forms::get<frmReport>().isVisible());
    }

    void anAccountNumberWithoutAccountSavesButCannotPrint() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        click(form->Command1);
        form = openSlip();
        QVERIFY(form);
        fill(form->cmbAcc, QStringLiteral("999"));
        fill(form->Text1[0], QStringLiteral("1"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        QCOMPARE(shownTexts(), (QStringList{"Do you want to print", "Cannot find the rpt file"}));
        QCOMPARE(env.scalar(QStringLiteral("SELECT accno FROM tblSlip")).toString(), QStringLiteral("999"));
        QVERIFY(!form->lblRef->text().isEmpty());
    }

    void theReportFileFollowsTheAccountKey() {
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        QVERIFY(QFile::copy(env.folder() + QStringLiteral("/Reports/pv1.rpt"),
                            env.folder() + QStringLiteral("/Reports/pv12.rpt")));
        env.exec(QStringLiteral("INSERT INTO tblAcc (id, accno, accname, branch, active) "
                                "VALUES (12, '1212', 'Twelve', 'Dadar', '1')"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        chooseFromList(form->cmbAcc, QStringLiteral("1212"));
        fill(form->Text1[0], QStringLiteral("9"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
        QCOMPARE(form->reportPath(), applicationFolder() + QStringLiteral("/Reports/pv12.rpt"));
        QCOMPARE(form->reportPath(), env.folder() + QStringLiteral("/Reports/pv12.rpt"));
        QCOMPARE(g_Report->filePath(), form->reportPath());
    }

    void slipKeysBeyondSixteenBits() {
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        env.exec(QStringLiteral("INSERT INTO tblSlip (sid, sno) VALUES (40000, 1)"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        QCOMPARE(form->lblRef->text(), QStringLiteral("40001"));
        fill(form->Amount[0], QStringLiteral("5"));
        saveAndAnswer(*form, MsgBox::Button::Yes);
        QCOMPARE(shownTexts(), (QStringList{"Do you want to print", "Do you want to print"}));
        QCOMPARE(env.scalar(QStringLiteral("SELECT sid FROM tblSlipDetails")).toInt(), 40001);
    }

    void getDataShowsTheSlipAsStored() {
        TestEnv env;
        env.createDatabase();
        const int chosen =
            env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        env.addAccount(QStringLiteral("222"), QStringLiteral("Renamed Since"), QStringLiteral("Moved"));
        env.exec(QStringLiteral(
            "INSERT INTO tblSlip (sid, sno, accno, accName, branch, sdate, depositedBy, remarks) "
            "VALUES (8, 3, '222', 'Old Name', 'Old Branch', '2024-02-29', 'Ravi', 'two\nlines')"));
        env.exec(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                "VALUES (8, '000777', '2024-02-28', 'Canara', 'Thane', 1250)"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        chooseFromList(form->cmbAcc, QStringLiteral("111"));
        form->lblRef->setText(QStringLiteral("8"));
        form->getData();
        QCOMPARE(form->txtSno->text(), QStringLiteral("3"));
        QCOMPARE(form->cmbAcc->currentText(), QStringLiteral("222"));
        QCOMPARE(form->txtAccName->text(), QStringLiteral("Old Name"));
        QCOMPARE(form->txtBranch->text(), QStringLiteral("Old Branch"));
        QCOMPARE(form->dt->date(), QDate(2024, 2, 29));
        QCOMPARE(form->Text2->text(), QStringLiteral("Ravi"));
        QCOMPARE(form->Text3->toPlainText(), QStringLiteral("two\nlines"));
        QCOMPARE(form->cmbAccTag(), QString::number(chosen)); // no lookup
        QCOMPARE(form->lbTot->text(), QStringLiteral("1250.00"));
        QVERIFY(MsgBox::shown().isEmpty());
    }

    void getDataWithoutAValidKeyShowsTheError_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "abc";
        QTest::newRow("beyond 32 bits") << "4294967296";
    }
    void getDataWithoutAValidKeyShowsTheError() {
        QFETCH(QString, key);
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        form->lblRef->setText(key);
        form->getData();
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("\"%1\" is not a slip key.").arg(key)});
        QVERIFY(Forms::isLoaded<frmSlip>());
    }

    void theSerialNumberMustBeAWholeNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "12a";
        QTest::newRow("empty") << "";
        QTest::newRow("decimal") << "4.5";
    }
    void theSerialNumberMustBeAWholeNumber() {
        QFETCH(QString, typed);
        TestEnv env;
        frmSlip* form = openFilledSlip(env);
        QVERIFY(form);
        fill(form->txtSno, typed);
        form->Command2->setFocus();
        const QStringList before = snapshot(*form);
        click(form->Command2);
        QCOMPARE(shownTexts(),
                 QStringList{QStringLiteral("Sr. No: \"%1\" is not a whole number.").arg(typed)});
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 0);
        QCOMPARE(snapshot(*form), before);
    }
};

QTEST_MAIN(TestSlipSave)
#include "test_slipsave.moc"
