#include "Forms.h"
#include "MsgBox.h"
#include "PageRenderer.h"
#include "ReportError.h"
#include "ReportTestSupport.h"
#include "frmReport.h"
#include "modReport.h"

#include <QApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>

using namespace ReportTest;

namespace {

// Three slips of one account; pv1.rpt prints the cheque number at x = 20 mm.
QString prepare(TestEnv& env, QList<int>* keys = nullptr) {
    env.createDatabase();
    QList<int> stored;
    for (const char* chqno : {"400001", "400002", "400003"})
        stored << addSlip(env, "555", {{chqno, 10}});
    if (keys)
        *keys = stored;
    QJsonObject layout = slipTemplate();
    layout["lines"] = QJsonObject{{"y", 40},
                                  {"pitch", 6},
                                  {"count", 5},
                                  {"elements", QJsonArray{QJsonObject{{"type", "field"},
                                                                      {"x", 20},
                                                                      {"y", 0},
                                                                      {"width", 30},
                                                                      {"height", 6},
                                                                      {"field", "tblSlipDetails.chqno"}}}}};
    return writeTemplate(env, "pv1.rpt", layout);
}

// The display step as the slip window performs it.
CViewer& display() {
    frmReport& window = Forms::get<frmReport>();
    window.CViewer->setReportSource(g_Report);
    window.CViewer->setDisplayStatusBar(false);
    window.CViewer->ViewReport();
    window.show();
    QApplication::setActiveWindow(&window); // offscreen windows are not activated by showing them
    return *window.CViewer;
}

template <class T> T* child(const QString& name) {
    T* widget = Forms::get<frmReport>().findChild<T*>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

QString pageLabel() {
    return child<QLabel>("lblPage")->text();
}

} // namespace

class TestFrmReport : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        CViewer::setPrintDialog({});
        CViewer::setSaveDialog({});
    }

    void theWindow() {
        TestEnv env;
        frmReport& window = Forms::get<frmReport>();
        QCOMPARE(window.windowTitle(), QString("Report"));
        QCOMPARE(window.objectName(), QString("frmReport"));
        QVERIFY(window.isWindow());
        QVERIFY(!window.parentWidget());
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        QCOMPARE(window.CViewer->objectName(), QString("CViewer"));
        QCOMPARE(window.CViewer->pos(), QPoint(0, 0));
    }

    void resizingMakesTheViewerExactlyTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("700 x 500") << QSize(700, 500);
        QTest::newRow("1000 x 320") << QSize(1000, 320);
    }
    void resizingMakesTheViewerExactlyTheWindow() {
        QFETCH(QSize, size);
        TestEnv env;
        frmReport& window = Forms::get<frmReport>();
        window.setWindowState(Qt::WindowNoState);
        window.show();
        window.resize(size);
        QCOMPARE(window.size(), size);
        QCOMPARE(window.CViewer->geometry(), QRect(QPoint(0, 0), size));
    }

    void everyControlIsNamed() {
        TestEnv env;
        for (const char* name : {"btnFirst", "btnPrevious", "btnNext", "btnLast", "btnZoomOut", "btnZoomIn",
                                 "btnPrint", "btnExportPdf"}) {
            auto* button = child<QPushButton>(name);
            QVERIFY2(!button->accessibleName().isEmpty(), name);
            QVERIFY2(button->focusPolicy() & Qt::TabFocus, name);
        }
        for (const char* name : {"lblPage", "lblZoom", "lblStatus"})
            QVERIFY(!child<QLabel>(name)->accessibleName().isEmpty());
        QVERIFY(!child<QScrollArea>("pageArea")->accessibleName().isEmpty());
    }

    void displayStepShowsTheFirstPageAtTrueSize() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[0]});
        CViewer& viewer = display();
        QVERIFY(Forms::get<frmReport>().isVisible());
        QCOMPARE(viewer.pageCount(), 1);
        QCOMPARE(pageLabel(), QString("Page 1 of 1"));
        QVERIFY(!child<QLabel>("lblStatus")->isVisible()); // the display option that was switched off
        QWidget* page = child<QWidget>("page");
        QCOMPARE(page->width(), qRound(210 * page->logicalDpiX() / PageRenderer::kMmPerInch));
        QCOMPARE(page->height(), qRound(99 * page->logicalDpiY() / PageRenderer::kMmPerInch));
        viewer.setDisplayStatusBar(true);
        QVERIFY(child<QLabel>("lblStatus")->isVisible());
        QVERIFY(child<QLabel>("lblStatus")->text().contains("pv1.rpt"));
    }

    void viewingWithoutAReportIsAnError() {
        TestEnv env;
        QVERIFY_THROWS_EXCEPTION(ReportError, Forms::get<frmReport>().CViewer->ViewReport());
    }

    void zoomByButtonsAndKeys() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[0]});
        CViewer& viewer = display();
        QWidget* page = child<QWidget>("page");
        const double trueWidth = 210 * page->logicalDpiX() / PageRenderer::kMmPerInch;
        QTest::mouseClick(child<QPushButton>("btnZoomIn"), Qt::LeftButton);
        QCOMPARE(viewer.zoom(), 1.25);
        QCOMPARE(child<QLabel>("lblZoom")->text(), QString("125%"));
        QCOMPARE(page->width(), qRound(trueWidth * 1.25));
        viewer.setFocus();
        QTest::keyClick(&viewer, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(&viewer, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(viewer.zoom(), 0.75);
        QTest::keyClick(&viewer, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(viewer.zoom(), 1.0);
        QTest::keyClick(&viewer, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(viewer.zoom(), 1.25);
        QTest::keyClick(&viewer, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(viewer.zoom(), 1.0);
        for (int i = 0; i < 20; ++i)
            viewer.zoomOut();
        QCOMPARE(viewer.zoom(), 0.25);
        QVERIFY(!child<QPushButton>("btnZoomOut")->isEnabled());
    }

    void pageNavigation() {
        TestEnv env;
        ShowReport(prepare(env), "{tblSlip.accno} = '555'", {0});
        CViewer& viewer = display();
        QCOMPARE(viewer.pageCount(), 3);
        QCOMPARE(pageLabel(), QString("Page 1 of 3"));
        QVERIFY(!child<QPushButton>("btnPrevious")->isEnabled());
        QTest::mouseClick(child<QPushButton>("btnNext"), Qt::LeftButton);
        QCOMPARE(pageLabel(), QString("Page 2 of 3"));
        QTest::mouseClick(child<QPushButton>("btnLast"), Qt::LeftButton);
        QCOMPARE(viewer.currentPage(), 3);
        QVERIFY(!child<QPushButton>("btnNext")->isEnabled());
        viewer.setFocus();
        QWidget* pages = child<QScrollArea>("pageArea");
        QCOMPARE(QApplication::focusWidget(), pages);
        QTest::keyClick(pages, Qt::Key_PageUp);
        QCOMPARE(viewer.currentPage(), 2);
        QTest::keyClick(pages, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(viewer.currentPage(), 1);
        QTest::keyClick(pages, Qt::Key_PageDown);
        QCOMPARE(viewer.currentPage(), 2);
        QTest::keyClick(child<QPushButton>("btnZoomIn"), Qt::Key_PageDown);
        QCOMPARE(viewer.currentPage(), 3);
        QTest::mouseClick(child<QPushButton>("btnFirst"), Qt::LeftButton);
        QCOMPARE(pageLabel(), QString("Page 1 of 3"));
    }

    void printButtonPrintsAtFullScaleOnTheTemplatesPaper() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[1]});
        display();
        const QString output = env.folder() + "/printed.pdf";
        bool asked = false;
        CViewer::setPrintDialog([&](QPrinter& printer, QWidget*) {
            asked = true;
            [&] {
                QVERIFY(printer.fullPage());
                QCOMPARE(printer.pageLayout().fullRect(QPageLayout::Millimeter).size(), QSizeF(210, 99));
            }();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(output);
            return true;
        });
        QTest::mouseClick(child<QPushButton>("btnPrint"), Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(MsgBox::shown().isEmpty());
        const auto pages = pdfPages(output);
        QCOMPARE(pages.size(), size_t(1));
        const PdfWord* chqno = findWord(pages[0], "400002");
        QVERIFY(chqno);
        QVERIFY2(std::abs(chqno->xMin - 20) <= 0.2, qPrintable(QString::number(chqno->xMin)));
    }

    void cancelledDialogsDoNothing() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[0]});
        display();
        CViewer::setPrintDialog([](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            return false;
        });
        CViewer::setSaveDialog([](QWidget*, const QString&) { return QString(); });
        QTest::mouseClick(child<QPushButton>("btnPrint"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("btnExportPdf"), Qt::LeftButton);
        QVERIFY(MsgBox::shown().isEmpty());
        QCOMPARE(QDir(env.folder()).entryList({"*.pdf"}), QStringList());
    }

    void exportPdfButton() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[2]});
        display();
        QString proposed;
        const QString target = env.folder() + "/exported.pdf";
        CViewer::setSaveDialog([&](QWidget*, const QString& name) {
            proposed = name;
            return target;
        });
        QTest::keyClick(child<QPushButton>("btnExportPdf"), Qt::Key_Space);
        QCOMPARE(proposed, QString("pv1.pdf"));
        QVERIFY(findWord(pdfPages(target).at(0), "400003"));
    }

    void exportFailureIsShown() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[0]});
        display();
        CViewer::setSaveDialog([](QWidget*, const QString&) { return QString("/no/such/folder/x.pdf"); });
        QTest::mouseClick(child<QPushButton>("btnExportPdf"), Qt::LeftButton);
        QCOMPARE(MsgBox::shown().size(), 1);
        QCOMPARE(
            MsgBox::shown()[0].text,
            QString("The PDF file '/no/such/folder/x.pdf' cannot be written: No such file or directory."));
        QVERIFY(Forms::get<frmReport>().isVisible());
    }

    void viewFailureReachesTheCaller() {
        TestEnv env;
        prepare(env);
        ShowReport(env.folder() + "/Reports/pv1.rpt", "", {999});
        frmReport& window = Forms::get<frmReport>();
        window.CViewer->setReportSource(g_Report);
        try {
            window.CViewer->ViewReport();
            QFAIL("a slip that does not exist was shown");
        } catch (const ReportError& e) {
            QVERIFY(e.description().endsWith("no slip matches the record selection"));
        }
        QCOMPARE(window.CViewer->pageCount(), 0);
        QVERIFY(!child<QPushButton>("btnPrint")->isEnabled());
    }

    void closingDiscardsTheWindow() {
        TestEnv env;
        QList<int> keys;
        const QString path = prepare(env, &keys);
        ShowReport(path, "", {keys[0]});
        display();
        QVERIFY(Forms::get<frmReport>().close());
        QVERIFY(!Forms::isLoaded<frmReport>());
        ShowReport(env.folder() + "/Reports/pv1.rpt", "", {keys[1]});
        QVERIFY(Forms::isLoaded<frmReport>());
        QVERIFY(!Forms::get<frmReport>().isVisible());
    }
};

QTEST_MAIN(TestFrmReport)
#include "test_frmreport.moc"
