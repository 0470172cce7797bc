#include "Controls.h"
#include "DesignLayout.h"
#include "Settings.h"
#include "SlipWindowTesting.h"
#include "modData.h"

#include <QDate>
#include <QFrame>
#include <QSettings>

using namespace SlipTesting;

namespace {

void storeSlipWithLine(TestEnv& env, int sno, const QString& bank, const QString& city) {
    env.exec(
        QStringLiteral("INSERT INTO tblSlip (sno, accno, sdate) VALUES (%1, '1', '2024-01-02')").arg(sno));
    const int sid = env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toInt();
    env.rows(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                            "VALUES (?, '000001', '2024-01-02', ?, ?, 10)"),
             {sid, bank.isNull() ? QVariant() : QVariant(bank), city.isNull() ? QVariant() : QVariant(city)});
}

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace

class TestSlipLoad : public QObject {
    Q_OBJECT
private slots:
    void loadFillsDefaultsAndLists() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        env.addAccount(QStringLiteral("222"), QStringLiteral("Closed"), QStringLiteral("Fort"),
                       QStringLiteral("0"));
        env.addAccount(QStringLiteral("333"), QStringLiteral("Greyed"), QStringLiteral("Fort"),
                       QStringLiteral("2"));
        env.addAccount(QStringLiteral("444"), QStringLiteral("Bharat Stores"), QStringLiteral("Andheri"));
        storeSlipWithLine(env, 41, QStringLiteral("HDFC"), QStringLiteral("Mumbai"));
        storeSlipWithLine(env, 7, QStringLiteral("SBI"), QStringLiteral("Pune"));
        storeSlipWithLine(env, 12, QStringLiteral("HDFC"), QString());
        storeSlipWithLine(env, 13, QString(), QStringLiteral(""));
        Settings::SaveSetting(QStringLiteral("slip"), QStringLiteral("printed"), QStringLiteral("name"),
                              QStringLiteral("Ravi Kumar"));

        frmSlip* form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Print Slip"));
        QCOMPARE(form->txtSno->text(), QStringLiteral("42"));
        QCOMPARE(items(form->cmbAcc), (QStringList{"111", "444"}));
        QCOMPARE(form->cmbAcc->currentText(), QString());
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(items(form->Bank[i]), (QStringList{"HDFC", "SBI"}));
            QCOMPARE(items(form->City[i]), (QStringList{"Mumbai", "Pune"}));
            QCOMPARE(form->Bank[i]->currentText(), QString());
            QCOMPARE(form->Text1[i]->text(), QString());
            QCOMPARE(form->Amount[i]->text(), QStringLiteral("0.00"));
            QCOMPARE(form->chqDate[i]->date(), QDate::currentDate());
            QCOMPARE(form->chqDate[i]->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        }
        QCOMPARE(form->dt->date(), QDate::currentDate());
        QCOMPARE(form->dt->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        QCOMPARE(form->Text2->text(), QStringLiteral("Ravi Kumar"));
        QCOMPARE(form->lbTot->text(), QString());
        QCOMPARE(form->lblRef->text(), QString());
        QCOMPARE(form->cmbAccTag(), QString());
        QCOMPARE(QApplication::focusWidget(), form->cmbAcc);
        QVERIFY(!form->txtSno->isReadOnly() && !form->txtAccName->isReadOnly() &&
                !form->txtBranch->isReadOnly());
    }

    void serialNumber_data() {
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QString>("offered");
        QTest::newRow("no slip stored") << QList<int>{} << "0";
        QTest::newRow("largest plus one") << QList<int>{3, 41, 40} << "42";
        QTest::newRow("zero stored") << QList<int>{0} << "1";
    }
    void serialNumber() {
        QFETCH(QList<int>, stored);
        QFETCH(QString, offered);
        TestEnv env;
        env.createDatabase();
        for (const int sno : stored)
            env.exec(QStringLiteral("INSERT INTO tblSlip (sno) VALUES (%1)").arg(sno));
        frmSlip* form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->txtSno->text(), offered);
    }

    void everyLoadOpensAFreshConnection() {
        TestEnv env;
        env.createDatabase();
        Reconnect();
        const std::shared_ptr<Connection> before = g_Connection;
        QVERIFY(openSlip());
        QVERIFY(g_Connection && g_Connection != before);
        QCOMPARE(g_Connection->State(), 1);
    }

    void layoutFollowsTheDesign() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        const DesignLayout layout(form->font());
        QCOMPARE(form->size(), QSize(layout.scaled(659), layout.scaled(384)));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        struct Expected {
            const char* name;
            const char* caption;
            QRect design;
        };
        const Expected labels[] = {
            {"Label1_0", "Select Account", {16, 24, 105, 21}}, {"Label1_1", "Account Name", {16, 48, 97, 21}},
            {"Label3", "Sr. No", {448, 0, 105, 17}},           {"Label1_3", "Branch", {448, 24, 105, 21}},
            {"Label1_2", "Date", {448, 48, 105, 21}},          {"Label2_0", "Cheque No", {8, 16, 81, 17}},
            {"Label2_1", "Cheque Date", {96, 16, 81, 17}},     {"Label2_2", "Drawn Bank", {184, 16, 217, 17}},
            {"Label2_3", "City", {408, 16, 129, 17}},          {"Label2_4", "Amount ", {544, 16, 89, 17}},
            {"Label4", "Deposited By", {8, 256, 97, 17}},
        };
        for (const Expected& expected : labels) {
            auto* label = form->findChild<QLabel*>(QLatin1String(expected.name));
            QVERIFY2(label, expected.name);
            QCOMPARE(label->text(), QString::fromLatin1(expected.caption));
            const QRect& d = expected.design;
            QCOMPARE(label->pos(), QPoint(layout.scaled(d.x()), layout.scaled(d.y())));
        }
        QCOMPARE(form->Command2->text(), QStringLiteral("Save && Print"));
        QCOMPARE(form->Command1->text(), QStringLiteral("Close"));
        QCOMPARE(form->cmbAcc->geometry().topLeft(), QPoint(layout.scaled(112), layout.scaled(24)));
        QCOMPARE(form->Text1[4]->pos(), QPoint(layout.scaled(8), layout.scaled(40 + 24 * 4)));
        QCOMPARE(form->Amount[2]->pos(), QPoint(layout.scaled(544), layout.scaled(40 + 24 * 2)));
        QCOMPARE(form->Command1->parentWidget()->objectName(), QStringLiteral("Picture1"));
        QCOMPARE(form->Text1[0]->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QVERIFY(form->Amount[0]->alignment() & Qt::AlignRight);
        QVERIFY(form->findChild<QLabel*>(QStringLiteral("Label2_4"))->alignment() & Qt::AlignRight);
        QVERIFY(form->lbTot->font().bold());
        QVERIFY(form->lbTot->alignment() & Qt::AlignRight);
        QVERIFY(!form->lblRef->isVisible());
        QCOMPARE(form->chqDate[0]->displayFormat(), QStringLiteral("dd-MM-yyyy"));
        QVERIFY(form->dt->calendarPopup());
    }

    // Liberation Sans stands in for Arial: every caption and value must fit its control.
    void nothingIsClipped() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (label == form->lblRef)
                continue;
            const QFontMetrics metrics(label->font());
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->objectName()));
            QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
        }
        for (QWidget* input : form->findChildren<QWidget*>()) {
            if (input->objectName().isEmpty() || input->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<QLabel*>(input))
                continue;
            if (input != form->Text3)
                QVERIFY2(input->minimumSizeHint().height() <= input->height(),
                         qPrintable(input->objectName()));
            QVERIFY2(input->parentWidget()->rect().contains(input->geometry()),
                     qPrintable(input->objectName()));
        }
        // Inputs never cover one another.
        QList<QWidget*> inputs;
        for (QWidget* input : form->findChildren<QWidget*>()) {
            if (!input->objectName().isEmpty() && !input->objectName().startsWith(QLatin1String("qt_")) &&
                !qobject_cast<QLabel*>(input) && input->isVisible())
                inputs << input;
        }
        for (QWidget* a : inputs) {
            for (QWidget* b : inputs) {
                if (a != b && a->parentWidget() == b->parentWidget())
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
            }
        }
        for (QDateEdit* date : form->findChildren<QDateEdit*>())
            QVERIFY2(date->minimumSizeHint().width() <= date->width(), qPrintable(date->objectName()));
        for (QPushButton* button : form->findChildren<QPushButton*>())
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        // Two text lines fit the remark box.
        const QFontMetrics metrics(form->Text3->font());
        QVERIFY(2 * metrics.lineSpacing() + 2 * form->Text3->frameWidth() + 4 <= form->Text3->height());
        // The total label holds a large total in bold.
        form->Amount[0]->setText(QStringLiteral("9999999999.99"));
        QVERIFY(QFontMetrics(form->lbTot->font()).horizontalAdvance(form->lbTot->text()) <=
                form->lbTot->contentsRect().width());
    }

    void aLargerFontScalesTheDesign() {
        QFont large = DesignLayout::designFont();
        QCOMPARE(DesignLayout(large).scale(), 1.0);
        large.setPointSizeF(12);
        const DesignLayout layout(large);
        QVERIFY(layout.scale() > 1.3);
        QWidget box;
        box.setFont(large);
        layout.place(&box, 100, 10, 50, 20);
        QCOMPARE(box.geometry(),
                 QRect(layout.scaled(100), layout.scaled(10), layout.scaled(50), layout.scaled(20)));
    }

    void controlsAreNamedForAccessibility() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->cmbAcc->accessibleName(), QStringLiteral("Select Account"));
        QCOMPARE(form->txtSno->accessibleName(), QStringLiteral("Sr. No"));
        QCOMPARE(form->Text2->accessibleName(), QStringLiteral("Deposited By"));
        QCOMPARE(form->Text1[0]->objectName(), QStringLiteral("Text1_0"));
        QCOMPARE(form->Amount[4]->objectName(), QStringLiteral("Amount_4"));
        QCOMPARE(form->Amount[4]->accessibleName(), QStringLiteral("Amount, line 5"));
        QCOMPARE(form->Bank[2]->lineEdit()->accessibleName(), QStringLiteral("Drawn Bank, line 3"));
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("Label1_0"))->buddy(), form->cmbAcc);
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<QLabel*>(widget) || qobject_cast<QFrame*>(widget))
                continue;
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        }
    }

    void tabWalksTheFocusOrder() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        QStringList expected{"txtAccName", "txtBranch", "dt"};
        for (int i = 0; i < 5; ++i) {
            for (const char* column : {"Text1", "chqDate", "Bank", "City", "Amount"})
                expected << Controls::arrayName(QLatin1String(column), i);
        }
        expected << "Command2"
                 << "Command1"
                 << "txtSno"
                 << "Text2"
                 << "Text3"
                 << "cmbAcc";
        QStringList walked;
        for (qsizetype step = 0; step < expected.size(); ++step) {
            press(form, Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
        press(form, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), form->Text3);
    }

    void enterMovesTheFocusNowhere() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        const QList<QWidget*> fields{form->cmbAcc,    form->txtAccName, form->txtBranch, form->dt,
                                     form->Text1[1],  form->chqDate[1], form->Bank[1],   form->City[1],
                                     form->Amount[1], form->txtSno,     form->Text2,     form->Text3};
        for (QWidget* field : fields) {
            field->setFocus(Qt::TabFocusReason);
            press(form, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), field);
        }
        QVERIFY(Forms::isLoaded<frmSlip>());
    }

    void choosingAnAccountFillsKeyNameAndBranch() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("12"), QStringLiteral("Twelve"), QStringLiteral("Dadar"));
        const int quoted =
            env.addAccount(QStringLiteral("12'34"), QStringLiteral("O'Brien & Co"), QStringLiteral("Fort"));
        env.addAccount(QStringLiteral("1234"), QStringLiteral("Plain"), QStringLiteral("Thane"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        chooseFromList(form->cmbAcc, QStringLiteral("12'34"));
        QCOMPARE(form->cmbAcc->currentText(), QStringLiteral("12'34"));
        QCOMPARE(form->cmbAccTag(), QString::number(quoted));
        QCOMPARE(form->txtAccName->text(), QStringLiteral("O'Brien & Co"));
        QCOMPARE(form->txtBranch->text(), QStringLiteral("Fort"));

        // A number that matches no account: the key, name and branch of the earlier choice stay.
        fill(form->cmbAcc, QStringLiteral("99"));
        form->getAccTag();
        QCOMPARE(form->cmbAccTag(), QString::number(quoted));
        QCOMPARE(form->txtAccName->text(), QStringLiteral("O'Brien & Co"));
    }

    void aListChoiceWithoutAccountSetsKeyZero() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("500"), QStringLiteral("Gone"), QStringLiteral("Vashi"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        form->txtAccName->setText(QStringLiteral("typed name"));
        env.exec(QStringLiteral("DELETE FROM tblAcc"));
        chooseFromList(form->cmbAcc, QStringLiteral("500"));
        QCOMPARE(form->cmbAccTag(), QStringLiteral("0"));
        QCOMPARE(form->txtAccName->text(), QStringLiteral("typed name"));
    }

    void keyLookupFindsExactlyTheNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expectedNumber");
        QTest::newRow("apostrophe inside") << "12'34"
                                           << "12'34";
        QTest::newRow("apostrophe alone") << "'"
                                          << "'";
        QTest::newRow("injection text") << "x' OR '1'='1"
                                        << "x' OR '1'='1";
        QTest::newRow("leading zeros differ") << "0012"
                                              << "";
        QTest::newRow("inactive account resolves") << "777"
                                                   << "777";
    }
    void keyLookupFindsExactlyTheNumber() {
        QFETCH(QString, typed);
        QFETCH(QString, expectedNumber);
        TestEnv env;
        env.createDatabase();
        for (const char* number : {"12", "12'34", "'", "x' OR '1'='1"})
            env.addAccount(QLatin1String(number), QStringLiteral("name"), QStringLiteral("branch"));
        env.addAccount(QStringLiteral("777"), QStringLiteral("Dormant"), QStringLiteral("Worli"),
                       QStringLiteral("0"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        form->cmbAcc->setEditText(typed);
        form->getAccTag();
        const auto found =
            env.rows(QStringLiteral("SELECT id FROM tblAcc WHERE accno = ?"), {expectedNumber});
        const QString expectedKey = found.isEmpty() ? QString() : found[0][0].toString();
        QCOMPARE(form->cmbAccTag(), expectedKey);
        QCOMPARE(form->txtAccName->text(), QString()); // the key-only lookup leaves name and branch
    }

    void depositorIsRememberedAcrossLoads() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->Text2->text(), QString());
        fill(form->Text2, QStringLiteral("Suresh"));
        press(form, Qt::Key_Tab);
        QSettings stored(env.folder() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("slip/printed/name")).toString(), QStringLiteral("Suresh"));
        click(form->Command1);
        QVERIFY(!Forms::isLoaded<frmSlip>());

        form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->Text2->text(), QStringLiteral("Suresh"));
        // Leaving it empty remembers the empty name.
        fill(form->Text2, QString());
        press(form, Qt::Key_Tab);
        click(form->Command1);
        form = openSlip();
        QVERIFY(form);
        QCOMPARE(form->Text2->text(), QString());
    }

    void showingAgainKeepsWhatWasTyped() {
        TestEnv env;
        env.createDatabase();
        frmSlip* form = openSlip();
        QVERIFY(form);
        fill(form->Text1[0], QStringLiteral("55"));
        env.exec(QStringLiteral("INSERT INTO tblSlip (sno) VALUES (90)"));
        frmSlip* again = openSlip();
        QCOMPARE(again, form);
        QCOMPARE(again->Text1[0]->text(), QStringLiteral("55"));
        QCOMPARE(again->txtSno->text(), QStringLiteral("0")); // no second load
    }

    void closeDiscardsTheWindowWithoutSaving() {
        TestEnv env;
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("A"), QStringLiteral("B"));
        frmSlip* form = openSlip();
        QVERIFY(form);
        fill(form->cmbAcc, QStringLiteral("111"));
        fill(form->Text1[0], QStringLiteral("1"));
        click(form->Command1);
        QVERIFY(!Forms::isLoaded<frmSlip>());
        QCOMPARE(env.count(QStringLiteral("tblSlip")), 0);
        QVERIFY(MsgBox::shown().isEmpty());
    }
};

QTEST_MAIN(TestSlipLoad)
#include "test_slipload.moc"
