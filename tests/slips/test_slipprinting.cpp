// The slip list prints, exports and deletes several slips at once.
#include "../report/ReportTestSupport.h"
#include "GridTesting.h"
#include "SaveFileDialog.h"
#include "SlipListTesting.h"
#include "frmReport.h"

#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

using namespace SlipTesting;

namespace {

const QDate today = QDate::currentDate();

struct Form {
    const char* account;
    const char* marker;
    double width;
    double height;
    const char* orientation;
};

// Three accounts, each on a form of its own size; a page shows its form's
// marker and its slip's serial number.
const Form kForms[] = {{"111", "FORM-A", 210, 99, "landscape"},
                       {"222", "FORM-B", 203, 95, "portrait"},
                       {"333", "FORM-C", 100, 180, "portrait"}};

void addAccountsWithForms(TestEnv& env) {
    for (const Form& form : kForms) {
        const int key = env.addAccount(form.account, QStringLiteral("Holder %1").arg(form.account), "Fort");
        QJsonObject layout = ReportTest::slipTemplate(
            {ReportTest::text(5, 5, form.marker), QJsonObject{{"type", "field"},
                                                              {"x", 5},
                                                              {"y", 20},
                                                              {"width", 40},
                                                              {"height", 6},
                                                              {"field", "tblSlip.sno"}}});
        layout["paper"] =
            QJsonObject{{"width", form.width}, {"height", form.height}, {"orientation", form.orientation}};
        ReportTest::writeTemplate(env, QStringLiteral("pv%1.rpt").arg(key), layout);
    }
}

// Slips of today in the order of accounts given; serial numbers 1, 2, 3, ...
QList<int> addSlips(TestEnv& env, const QStringList& accounts) {
    QList<int> keys;
    for (int i = 0; i < accounts.size(); ++i)
        keys << addSlip(env, i + 1, today, QStringLiteral("Holder %1").arg(accounts[i]), {10 * (i + 1)},
                        accounts[i]);
    return keys;
}

void selectAll(FlexGrid* grid) {
    clickGridRow(grid, 1);
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
}

template <class T> T* previewChild(const QString& name) {
    return Forms::get<frmReport>().findChild<T*>(name);
}

// Prints the preview's pages through its "Print" button into a PDF file.
void printPreviewTo(const QString& pdf) {
    CViewer::setPrintDialog([pdf](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    QTest::mouseClick(previewChild<QPushButton>("btnPrint"), Qt::LeftButton);
}

void exportPreviewTo(const QString& pdf) {
    SaveFileDialog::setDialog([pdf](QWidget*, const QString&) { return pdf; });
    QTest::mouseClick(previewChild<QPushButton>("btnExportPdf"), Qt::LeftButton);
}

// Clicks "Cancel" on the progress dialog as soon as it shows.
void cancelProgressWhenShown(int attempts = 2000) {
    QTimer::singleShot(0, [attempts] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* progress = window->findChild<QProgressDialog*>("progress");
                progress && progress->isVisible()) {
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
                return;
            }
        }
        if (attempts > 0)
            cancelProgressWhenShown(attempts - 1);
    });
}

} // namespace

class TestSlipPrinting : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        CViewer::setPrintDialog({});
        SaveFileDialog::setDialog({});
    }

    // Ctrl- and Shift-clicks, Ctrl+A and Shift with the arrows select rows;
    // "Edit" then opens the first of them.
    void severalRowsAreSelectedAsOnAnyList_data() {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("one click") << "click 2" << QList<int>{2};
        QTest::newRow("Ctrl-click") << "click 4, ctrl 2" << QList<int>{2, 4};
        QTest::newRow("Ctrl-click again leaves a row") << "click 1, ctrl 3, ctrl 1" << QList<int>{3};
        QTest::newRow("Shift-click") << "click 2, shift 4" << QList<int>{2, 3, 4};
        QTest::newRow("Shift+Down") << "click 3, down, down" << QList<int>{3, 4, 5};
        QTest::newRow("Shift+Up") << "click 3, up" << QList<int>{2, 3};
        QTest::newRow("Ctrl+A") << "click 2, all" << QList<int>{1, 2, 3, 4, 5};
    }
    void severalRowsAreSelectedAsOnAnyList() {
        QFETCH(QString, gesture);
        QFETCH(QList<int>, rows);
        TestEnv env;
        env.createDatabase();
        env.addAccount("111", "Holder 111", "Fort");
        const QList<int> keys = addSlips(env, {"111", "111", "111", "111", "111"});
        frmSlipList* list = openList();
        QVERIFY(list);
        for (const QString& step : gesture.split(", ")) {
            const QStringList words = step.split(' ');
            const int row = words.value(1).toInt();
            if (words[0] == "click")
                clickGridRow(list->FG, row);
            else if (words[0] == "ctrl" || words[0] == "shift")
                QTest::mouseClick(list->FG->viewport(), Qt::LeftButton,
                                  words[0] == "ctrl" ? Qt::ControlModifier : Qt::ShiftModifier,
                                  list->FG->cellRect(row, 2).center());
            else if (words[0] == "all")
                QTest::keyClick(list->FG, Qt::Key_A, Qt::ControlModifier);
            else
                QTest::keyClick(list->FG, words[0] == "down" ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
        }
        QCOMPARE(list->FG->selectedRows(), rows);
        QTest::mouseClick(list->Command3, Qt::LeftButton);
        QCOMPARE(Forms::get<frmSlip>().lblRef->text(), QString::number(keys[rows.first() - 1]));
    }

    // One preview holds every chosen slip in list order, each page on its own
    // account's form; "Print" makes one job and "Export PDF" one file of them,
    // each page on its form's paper.
    void mixedAccountsPrintInOneJob_data() {
        QTest::addColumn<bool>("print");
        QTest::newRow("Print") << true;
        QTest::newRow("Export PDF") << false;
    }
    void mixedAccountsPrintInOneJob() {
        QFETCH(bool, print);
        TestEnv env;
        env.createDatabase();
        addAccountsWithForms(env);
        const QStringList accounts{"222", "111", "333", "111", "222"};
        addSlips(env, accounts);
        frmSlipList* list = openList();
        QVERIFY(list);
        selectAll(list->FG);
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join('\n')));
        QVERIFY(Forms::get<frmReport>().isVisible());
        CViewer& viewer = *Forms::get<frmReport>().CViewer;
        QCOMPARE(viewer.pageCount(), accounts.size());
        QCOMPARE(previewChild<QLabel>("lblPage")->text(), QString("Page 1 of 5"));

        const QString pdf = env.folder() + "/slips.pdf";
        print ? printPreviewTo(pdf) : exportPreviewTo(pdf);
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join('\n')));
        const auto pages = ReportTest::pdfPages(pdf);
        QCOMPARE(pages.size(), size_t(accounts.size()));
        for (int i = 0; i < accounts.size(); ++i) {
            const Form& form = *std::find_if(std::begin(kForms), std::end(kForms),
                                             [&](const Form& f) { return accounts[i] == f.account; });
            const QString text = ReportTest::pageText(pages[i]);
            QVERIFY2(ReportTest::findWord(pages[i], form.marker), qPrintable(text));
            QVERIFY2(ReportTest::findWord(pages[i], QString::number(i + 1)), qPrintable(text));
            QVERIFY2(
                std::abs(pages[i].width - form.width) < 0.5 && std::abs(pages[i].height - form.height) < 0.5,
                qPrintable(QString("page %1: %2 x %3").arg(i + 1).arg(pages[i].width).arg(pages[i].height)));
        }
    }

    // Accounts without a template are named; the others print once the
    // operator agrees, and nothing prints when none has one.
    void accountsWithoutATemplateAreNamed_data() {
        QTest::addColumn<QStringList>("accounts");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<int>("pages");
        QTest::newRow("one missing, print the others")
            << QStringList{"111", "444", "222", "444"} << int(MsgBox::Button::Yes)
            << QStringList{"444 Holder 444 (2 slips): ", "pv4.rpt is missing", "Print the other 2 slips?"}
            << 2;
        QTest::newRow("one missing, print nothing") << QStringList{"111", "444"} << int(MsgBox::Button::No)
                                                    << QStringList{"Print the other slip?"} << 0;
        QTest::newRow("no such account")
            << QStringList{"999", "111"} << int(MsgBox::Button::Yes)
            << QStringList{"999 Holder 999 (1 slip): no account has this number"} << 1;
        QTest::newRow("none has one")
            << QStringList{"444", "999"} << int(MsgBox::Button::Ok)
            << QStringList{"pv4.rpt is missing", "no account has", "Nothing is printed."} << 0;
    }
    void accountsWithoutATemplateAreNamed() {
        QFETCH(QStringList, accounts);
        QFETCH(int, answer);
        QFETCH(QStringList, named);
        QFETCH(int, pages);
        TestEnv env;
        env.createDatabase();
        addAccountsWithForms(env);
        env.addAccount("444", "Holder 444", "Fort"); // key 4, no template
        addSlips(env, accounts);
        frmSlipList* list = openList();
        QVERIFY(list);
        selectAll(list->FG);
        MsgBox::setNextAnswer(MsgBox::Button(answer));
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        QCOMPARE(shownTexts().size(), 1);
        for (const QString& part : named)
            QVERIFY2(shownTexts()[0].contains(part), qPrintable(shownTexts()[0]));
        QCOMPARE(Forms::isLoaded<frmReport>() && Forms::get<frmReport>().isVisible(), pages > 0);
        if (pages > 0)
            QCOMPARE(Forms::get<frmReport>().CViewer->pageCount(), pages);
    }

    // A slip deleted by another user is left out and named; a template that
    // fails names the slip and the template, and nothing is printed.
    void goneSlipsAndFailingTemplates_data() {
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("printedPages");
        QTest::newRow("deleted before Print") << "before"
                                              << "are left out:\nSr. No 2 of " << 2;
        QTest::newRow("deleted while previewed") << "after"
                                                 << "were left out:\nSr. No 2 of " << 2;
        QTest::newRow("a broken template") << "broken"
                                           << "Sr. No 3 of " << 0;
    }
    void goneSlipsAndFailingTemplates() {
        QFETCH(QString, when);
        QFETCH(QString, expected);
        QFETCH(int, printedPages);
        TestEnv env;
        env.createDatabase();
        addAccountsWithForms(env);
        const QList<int> keys = addSlips(env, {"111", "222", "333"});
        const auto deleteSecond = [&] {
            env.exec(QString("delete from tblSlipDetails where sid=%1").arg(keys[1]));
            env.exec(QString("delete from tblSlip where sid=%1").arg(keys[1]));
        };
        frmSlipList* list = openList();
        QVERIFY(list);
        selectAll(list->FG);
        if (when == "before")
            deleteSecond();
        if (when == "broken")
            ReportTest::writeFile(env, "pv3.rpt", "{ not a template");
        QTest::mouseClick(list->Command6, Qt::LeftButton);
        if (when == "after")
            deleteSecond();
        const QString pdf = env.folder() + "/out.pdf";
        printPreviewTo(pdf);
        QVERIFY(!shownTexts().isEmpty());
        const QString note = shownTexts().last();
        QVERIFY2(note.contains(expected + today.toString("dd-MM-yyyy")), qPrintable(note));
        if (when == "broken")
            QVERIFY2(note.contains("pv3.rpt"), qPrintable(note));
        QCOMPARE(QFile::exists(pdf) ? int(ReportTest::pdfPages(pdf).size()) : 0, printedPages);
    }

    // Many slips show a progress dialog; its "Cancel" leaves no file behind,
    // and an earlier file of that name stays as it was.
    void cancellingLeavesNoFile_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("earlierFile");
        QTest::newRow("Export PDF") << "pdf" << false;
        QTest::newRow("Export PDF over a file") << "pdf" << true;
        QTest::newRow("Print") << "print" << false;
        QTest::newRow("Export CSV") << "csv" << false;
        QTest::newRow("Export CSV over a file") << "csv" << true;
    }
    void cancellingLeavesNoFile() {
        QFETCH(QString, output);
        QFETCH(bool, earlierFile);
        TestEnv env;
        env.createDatabase();
        addAccountsWithForms(env);
        QStringList accounts;
        for (int i = 0; i < 25; ++i)
            accounts << kForms[i % 3].account;
        addSlips(env, accounts);
        frmSlipList* list = openList();
        QVERIFY(list);
        const QString target = env.folder() + "/out/slips." + (output == "csv" ? "csv" : "pdf");
        QDir().mkpath(env.folder() + "/out");
        if (earlierFile) {
            QFile earlier(target);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        cancelProgressWhenShown();
        if (output == "csv") {
            SaveFileDialog::setDialog([target](QWidget*, const QString&) { return target; });
            QTest::mouseClick(list->cmdExport, Qt::LeftButton);
        } else {
            selectAll(list->FG);
            QTest::mouseClick(list->Command6, Qt::LeftButton);
            output == "print" ? printPreviewTo(target) : exportPreviewTo(target);
        }
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join('\n')));
        QCOMPARE(QDir(env.folder() + "/out").entryList(QDir::Files),
                 earlierFile ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        if (earlierFile) {
            QFile earlier(target);
            QVERIFY(earlier.open(QIODevice::ReadOnly));
            QCOMPARE(earlier.readAll(), QByteArray("earlier"));
        }
    }

    // Several slips go in one transaction after one question; one slip keeps
    // its question.
    void deletingSeveralSlips_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("left");
        QTest::newRow("one") << 1 << false << "Do you want to delete the entry" << 3;
        QTest::newRow("three") << 3 << false << "Do you want to delete the 3 entries" << 1;
        QTest::newRow("three, the last deletion fails")
            << 3 << true << "Do you want to delete the 3 entries" << 4;
    }
    void deletingSeveralSlips() {
        QFETCH(int, selected);
        QFETCH(bool, fault);
        QFETCH(QString, question);
        QFETCH(int, left);
        TestEnv env;
        env.createDatabase();
        env.addAccount("111", "Holder 111", "Fort");
        addSlips(env, {"111", "111", "111", "111"});
        frmSlipList* list = openList();
        QVERIFY(list);
        clickGridRow(list->FG, 1);
        if (selected > 1)
            QTest::mouseClick(list->FG->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                              list->FG->cellRect(selected, 2).center());
        int slipDeletions = 0;
        if (fault)
            Connection::setFaultInjector([&](const QString& sql) {
                return sql.startsWith("delete from tblslip where") && ++slipDeletions == selected;
            });
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        QTest::mouseClick(list->Command2, Qt::LeftButton);
        Connection::setFaultInjector({});
        QCOMPARE(shownTexts().value(0), question);
        QCOMPARE(env.count("tblSlip"), left);
        QCOMPARE(env.count("tblSlipDetails"), left);
        QCOMPARE(list->FG->rows(), left + 1);
    }
};

QTEST_MAIN(TestSlipPrinting)
#include "test_slipprinting.moc"
