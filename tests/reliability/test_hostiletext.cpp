#include "../report/ReportTestSupport.h"
#include "Input.h"
#include "Operations.h"
#include "frmReport.h"

#include <QTemporaryFile>

using namespace SlipTesting;

namespace {

// Text that has broken programs before: quoting, LIKE wildcards, escapes,
// SQL, scripts beyond Latin-1, characters beyond 16 bits and sheer length.
QList<QPair<const char*, QString>> hostileTexts() {
    const QString mixed = QString::fromUtf8("O'Brien \"x\" 100%_ C:\\new\\ '; drop table tblSlip; -- "
                                            "भारतीय தமிழ் 💰🙂 ");
    return {
        {"apostrophes", QStringLiteral("D'Souza's 'quoted' ''")},
        {"double quotes", QStringLiteral("say \"hi\" \"\"")},
        {"percent and underscore", QStringLiteral("100% _a_ %_%")},
        {"backslashes", QStringLiteral("C:\\new\\table\\ \\' \\\\")},
        {"SQL fragment", QStringLiteral("'; drop table tblSlip; --")},
        {"SQL fragment with quote", QStringLiteral("x' OR '1'='1")},
        {"devanagari", QString::fromUtf8("भारतीय स्टेट बैंक")},
        {"tamil", QString::fromUtf8("இந்தியன் வங்கி சென்னை")},
        {"emoji", QString::fromUtf8("💰 cheque 🙂👍🏽")},
        {"10,000 characters", mixed.repeated(10000 / mixed.size() + 1).left(10000)},
        // Beyond the 32,767 characters at which a Qt text box stops by default.
        {"40,000 characters", QStringLiteral("0123456789").repeated(4000)},
    };
}

// Short texts are typed key by key; very long ones are set, as a paste would.
bool typed(const QString& text) {
    return text.size() <= 100;
}

// A click into another field closes the open drop-down list first.
void closeDropDowns() {
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void enter(QLineEdit* edit, const QString& text) {
    closeDropDowns();
    edit->clear();
    if (typed(text))
        typeText(edit, text);
    else
        edit->setText(text);
}

void enter(QComboBox* combo, const QString& text) {
    closeDropDowns();
    combo->setEditText(QString());
    if (typed(text))
        typeText(combo->lineEdit(), text);
    else
        combo->setEditText(text);
}

// A row of a table by its key, every column as text.
QStringList storedRow(TestEnv& env, const QString& table, const QString& key, int id) {
    QSqlQuery query(env.check()->database());
    query.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, key));
    query.addBindValue(id);
    QStringList row;
    if (query.exec() && query.next()) {
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i).toString();
    }
    return row;
}

// A template that prints every text the slip window stores.
QString writePrintEverythingTemplate(const TestEnv& env, int account) {
    using ReportTest::slipTemplate;
    QJsonArray elements;
    double y = 2;
    for (const char* field :
         {"tblAcc.accno", "tblAcc.accname", "tblAcc.branch", "tblSlip.accno", "tblSlip.accName",
          "tblSlip.branch", "tblSlip.depositedBy", "tblSlip.remarks"}) {
        elements.append(QJsonObject{{"type", "field"},
                                    {"x", 2},
                                    {"y", y},
                                    {"width", 200},
                                    {"height", 6},
                                    {"wrap", true},
                                    {"field", field}});
        y += 7;
    }
    QJsonObject layout = slipTemplate(elements);
    QJsonArray lineElements;
    double x = 2;
    for (const char* field : {"tblSlipDetails.chqno", "tblSlipDetails.bank", "tblSlipDetails.city"}) {
        lineElements.append(QJsonObject{
            {"type", "field"}, {"x", x}, {"y", 0}, {"width", 60}, {"height", 5}, {"field", field}});
        x += 65;
    }
    layout["lines"] = QJsonObject{{"y", 60}, {"pitch", 6}, {"count", 5}, {"elements", lineElements}};
    return ReportTest::writeTemplate(env, QStringLiteral("pv%1.rpt").arg(account), layout);
}

} // namespace

class TestHostileText : public QObject {
    Q_OBJECT
private slots:
    void accountTextsAreStoredAndShownUnchanged_data() {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : hostileTexts())
            QTest::newRow(name) << text;
    }
    void accountTextsAreStoredAndShownUnchanged() {
        QFETCH(QString, text);
        TestEnv env;
        env.createDatabase();
        const int other =
            env.addAccount(QStringLiteral("999"), QStringLiteral("Other"), QStringLiteral("There"));
        const QStringList otherBefore = storedRow(env, QStringLiteral("tblAcc"), QStringLiteral("id"), other);

        frmAcc& master = Forms::get<frmAcc>();
        QVERIFY(showActive(&master));
        enter(master.Text1, text);
        enter(master.Text2, text + QLatin1Char('2'));
        enter(master.Text3, text + QLatin1Char('3'));
        click(master.Command2);
        QCOMPARE(shownTexts(), QStringList());
        const int key = env.scalar(QStringLiteral("SELECT max(id) FROM tblAcc")).toInt();
        QCOMPARE(storedRow(env, QStringLiteral("tblAcc"), QStringLiteral("id"), key),
                 (QStringList{QString::number(key), text, text + '2', text + '3', "1"}));
        QCOMPARE(storedRow(env, QStringLiteral("tblAcc"), QStringLiteral("id"), other), otherBefore);

        // The list shows it as stored, and "Edit" brings it back unchanged.
        frmAccList& list = Forms::get<frmAccList>();
        QVERIFY(showActive(&list));
        QCOMPARE(list.FG->rows(), 3);
        QCOMPARE(gridRows(list.FG)[2],
                 QStringList({QString::number(key), "2", text, text + '2', text + '3'}).join('|'));
        QTest::mouseClick(list.FG->viewport(), Qt::LeftButton, {}, list.FG->cellRect(2, 3).center());
        click(list.Command3);
        frmAcc& reopened = Forms::get<frmAcc>();
        QCOMPARE((QStringList{reopened.Text1->text(), reopened.Text2->text(), reopened.Text3->text()}),
                 (QStringList{text, text + '2', text + '3'}));
        QCOMPARE(shownTexts(), QStringList());
    }

    void slipTextsAreStoredShownAndPrintedUnchanged_data() { accountTextsAreStoredAndShownUnchanged_data(); }
    void slipTextsAreStoredShownAndPrintedUnchanged() {
        QFETCH(QString, text);
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        const int account = env.addAccount(text, text + 'n', text + 'b');
        const int otherAccount =
            env.addAccount(QStringLiteral("999"), QStringLiteral("Other"), QStringLiteral("X"));
        const int otherSlip = Operations::storeTodaysSlip(env);
        const QStringList otherRows{
            storedRow(env, QStringLiteral("tblAcc"), QStringLiteral("id"), otherAccount).join('|'),
            storedRow(env, QStringLiteral("tblSlip"), QStringLiteral("sid"), otherSlip).join('|')};
        writePrintEverythingTemplate(env, account);

        frmSlip* form = openSlip();
        QVERIFY(form);
        enter(form->cmbAcc, text);
        enter(form->txtAccName, text + 'N');
        enter(form->txtBranch, text + 'B');
        for (int i = 0; i < 2; ++i) {
            enter(form->Text1[i], text + QString::number(i));
            enter(form->Bank[i], text + QStringLiteral("bank"));
            enter(form->City[i], text + QStringLiteral("city"));
            fill(form->Amount[i], QStringLiteral("12.50"));
        }
        enter(form->Text2, text + 'D');
        form->Text3->setPlainText(text + QStringLiteral("\nsecond line"));
        saveAndAnswer(*form, MsgBox::Button::Yes);

        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
        const int sid = form->lblRef->text().toInt();
        const QStringList header = storedRow(env, QStringLiteral("tblSlip"), QStringLiteral("sid"), sid);
        QCOMPARE(header.mid(2),
                 (QStringList{text, text + 'N', text + 'B', QDate::currentDate().toString(Qt::ISODate),
                              text + 'D', text + QStringLiteral("\nsecond line")}));
        QSqlQuery lines(env.check()->database());
        QVERIFY(lines.exec(
            QStringLiteral("SELECT chqno, bank, city FROM tblSlipDetails WHERE sid = %1 ORDER BY sdid")
                .arg(sid)));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(lines.next());
            QCOMPARE((QStringList{lines.value(0).toString(), lines.value(1).toString(),
                                  lines.value(2).toString()}),
                     (QStringList{text + QString::number(i), text + "bank", text + "city"}));
        }
        QVERIFY(!lines.next());
        QCOMPARE((QStringList{
                     storedRow(env, QStringLiteral("tblAcc"), QStringLiteral("id"), otherAccount).join('|'),
                     storedRow(env, QStringLiteral("tblSlip"), QStringLiteral("sid"), otherSlip).join('|')}),
                 otherRows);
        QCOMPARE(env.count(QStringLiteral("tblSlipDetails")), 4);

        // Printed with the account's template: the preview shows the page and exports it.
        QVERIFY(Forms::isLoaded<frmReport>());
        frmReport& preview = Forms::get<frmReport>();
        QVERIFY(preview.isVisible());
        QCOMPARE(preview.CViewer->pageCount(), 1);
        QVERIFY(!preview.grab().isNull());
        QTemporaryFile pdf(env.folder() + QStringLiteral("/XXXXXX.pdf"));
        QVERIFY(pdf.open());
        preview.CViewer->exportPdf(pdf.fileName());
        const std::vector<ReportTest::PdfPage> pages = ReportTest::pdfPages(pdf.fileName());
        QCOMPARE(pages.size(), size_t(1));
        // Plain ASCII comes back from the page's text exactly (other scripts are shaped into glyphs).
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x7f; });
        if (ascii && typed(text))
            QVERIFY2(ReportTest::pageText(pages[0]).contains(text + 'D'),
                     qPrintable(ReportTest::pageText(pages[0])));
        preview.close();

        // Reopened from the slip list: listed and shown exactly as typed.
        click(form->Command1);
        frmSlipList& list = Forms::get<frmSlipList>();
        QVERIFY(showActive(&list));
        QCOMPARE(list.FG->rows(), 3);
        const int row = list.FG->textMatrix(1, 0).toInt() == sid ? 1 : 2;
        QCOMPARE(list.FG->textMatrix(row, 4), text + 'N');
        QTest::mouseClick(list.FG->viewport(), Qt::LeftButton, {}, list.FG->cellRect(row, 3).center());
        click(list.Command3);
        frmSlip& reopened = Forms::get<frmSlip>();
        QCOMPARE(reopened.lblRef->text(), QString::number(sid));
        QCOMPARE(
            (QStringList{reopened.cmbAcc->currentText(), reopened.txtAccName->text(),
                         reopened.txtBranch->text(), reopened.Text2->text(), reopened.Text3->toPlainText()}),
            (QStringList{text, text + 'N', text + 'B', text + 'D', text + "\nsecond line"}));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE((QStringList{reopened.Text1[i]->text(), reopened.Bank[i]->currentText(),
                                  reopened.City[i]->currentText()}),
                     (QStringList{text + QString::number(i), text + "bank", text + "city"}));
        }
        // The lists of the reopened window offer the stored texts.
        QVERIFY(reopened.cmbAcc->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
        QVERIFY(reopened.Bank[4]->findText(text + "bank", Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("Do you want to print")});
    }

    void numberBoxesRefuseHostileTextClearly_data() {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : hostileTexts()) {
            QTest::addRow("Sr. No, %s", name) << true << text;
            QTest::addRow("amount, %s", name) << false << text;
        }
    }
    void numberBoxesRefuseHostileTextClearly() {
        QFETCH(bool, serial);
        QFETCH(QString, text);
        TestEnv env;
        Operations::Operation operation(env, Operations::Kind::NewSlip);
        QVERIFY(operation.ready());
        frmSlip& form = Forms::get<frmSlip>();
        enter(serial ? form.txtSno : form.Amount[1], text);
        const QStringList stored = dumpDatabase(env);
        const QStringList shown = operation.contents();
        operation.run();
        const QString expected = serial ? QStringLiteral("Sr. No: \"%1\" is not a whole number.").arg(text)
                                        : QStringLiteral("Line 2: \"%1\" is not a valid amount.").arg(text);
        QCOMPARE(shownTexts(), QStringList{expected});
        QCOMPARE(dumpDatabase(env), stored);
        QCOMPARE(operation.contents(), shown);
    }
};

QTEST_MAIN(TestHostileText)
#include "test_hostiletext.moc"
