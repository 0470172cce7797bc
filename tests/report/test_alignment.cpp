// Printer alignment: the fit from measured marks, its bad input, the store,
// and the alignment page.
#include "AlignmentPage.h"
#include "CViewer.h"
#include "Forms.h"
#include "GridTesting.h"
#include "PrinterAlignment.h"
#include "ReportOutput.h"
#include "ReportTestSupport.h"
#include "WindowTesting.h"
#include "frmAlignPrinter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRandomGenerator>

using PrinterAlignment::Alignment;
using PrinterAlignment::Measure;

namespace {

const QSizeF kA4(210, 297);

// Where a printer that stretches by `stretch` and shifts by `shift` puts what it is sent.
QPointF landing(QPointF sent, QPointF stretch, QPointF shift) {
    return {sent.x() * stretch.x() + shift.x(), sent.y() * stretch.y() + shift.y()};
}

QList<Measure> measured(const Alignment& printedWith, QPointF stretch, QPointF shift, double noiseMm,
                        QRandomGenerator& random) {
    QList<Measure> measures;
    for (const QPointF& mark : PrinterAlignment::marks(kA4)) {
        const QPointF noise((random.generateDouble() * 2 - 1) * noiseMm,
                            (random.generateDouble() * 2 - 1) * noiseMm);
        measures.append({mark, landing(printedWith.apply(mark), stretch, shift) + noise});
    }
    return measures;
}

} // namespace

class TestAlignment : public QObject {
    Q_OBJECT
private slots:
    // Measures made up from a known feed: the fit undoes it exactly without
    // noise, and with 0.2 mm of noise the check page still lands every mark
    // within half a millimetre.
    void theFitUndoesTheFeed_data() {
        QTest::addColumn<QPointF>("stretch");
        QTest::addColumn<QPointF>("shift");
        QTest::addColumn<double>("noise");
        QTest::addColumn<bool>("printedAligned"); // the page was printed with an earlier alignment
        QTest::newRow("shift only") << QPointF(1, 1) << QPointF(2.5, -1.75) << 0.0 << false;
        QTest::newRow("stretch and shift") << QPointF(1.012, 0.985) << QPointF(-3, 4) << 0.0 << false;
        QTest::newRow("from a check page") << QPointF(1.02, 1.01) << QPointF(1, 1) << 0.0 << true;
        QTest::newRow("0.2 mm of noise") << QPointF(1.012, 0.985) << QPointF(-3, 4) << 0.2 << false;
        QTest::newRow("noise on a check page") << QPointF(0.99, 1.015) << QPointF(2, -2) << 0.2 << true;
    }
    void theFitUndoesTheFeed() {
        QFETCH(QPointF, stretch);
        QFETCH(QPointF, shift);
        QFETCH(double, noise);
        QFETCH(bool, printedAligned);
        QRandomGenerator random(42);
        const Alignment before = printedAligned ? Alignment{1.5, -0.5, 1.01, 0.99} : Alignment{};
        const auto result =
            PrinterAlignment::fit(measured(before, stretch, shift, noise, random), kA4, before);
        if (const QString* problem = std::get_if<QString>(&result))
            QFAIL(qPrintable(*problem));
        const PrinterAlignment::Fit fit = std::get<PrinterAlignment::Fit>(result);
        double worstResidual = 0;
        for (const double residual : fit.residualsMm)
            worstResidual = std::max(worstResidual, residual);
        QVERIFY2(worstResidual <= (noise > 0 ? 2 * noise : 1e-9), qPrintable(QString::number(worstResidual)));
        // The check page: printed with the correction, each mark lands where its label says.
        double worstLanding = 0;
        for (const QPointF& mark : PrinterAlignment::marks(kA4)) {
            const QPointF landed = landing(fit.correction.apply(mark), stretch, shift);
            worstLanding = std::max(worstLanding, std::hypot(landed.x() - mark.x(), landed.y() - mark.y()));
        }
        QVERIFY2(worstLanding <= (noise > 0 ? 0.5 : 1e-9), qPrintable(QString::number(worstLanding)));
        qInfo("worst residual %.4f mm, worst check landing %.4f mm", worstResidual, worstLanding);
    }

    void badMeasuresSaveNothing_data() {
        QTest::addColumn<QList<Measure>>("measures");
        QTest::addColumn<QString>("says");
        QTest::newRow("one mark") << QList<Measure>{{{15, 15}, {16, 16}}} << "Measure at least two marks.";
        QTest::newRow("off the paper")
            << QList<Measure>{{{15, 15}, {16, 16}}, {{195, 282}, {196, 300}}}
            << "Mark 2: 196 mm from the left and 300 mm from the top is off the paper "
               "(210 x 297 mm).";
        QTest::newRow("marks in one column")
            << QList<Measure>{{{15, 15}, {16, 16}}, {{15, 282}, {16, 283}}}
            << "Measure marks that lie apart both across and down the sheet.";
        QTest::newRow("a stretch beyond 110 %")
            << QList<Measure>{{{15, 15}, {15, 15}}, {{195, 282}, {160, 282}}}
            << "The measures ask for a stretch of 124.1 %, outside 90 to 110 %: check them.";
    }
    void badMeasuresSaveNothing() {
        QFETCH(QList<Measure>, measures);
        QFETCH(QString, says);
        const auto result = PrinterAlignment::fit(measures, kA4, {});
        QVERIFY(std::holds_alternative<QString>(result));
        QCOMPARE(std::get<QString>(result), says);
    }

    // Each printer has its own alignment in the settings store, by its name as
    // the system knows it; a reset removes it.
    void alignmentsAreKeptPerPrinter() {
        TestEnv env;
        const Alignment office{-1.5, 2.25, 1.005, 0.995};
        PrinterAlignment::save(QStringLiteral("Office Laser"), office);
        PrinterAlignment::save(QStringLiteral("//server/queue 2"),
                               PrinterAlignment::shifted({}, 1, 2)); // 1 mm right, 2 mm low
        QCOMPARE(PrinterAlignment::load(QStringLiteral("Office Laser")), office);
        QCOMPARE(PrinterAlignment::load(QStringLiteral("//server/queue 2")), (Alignment{-1, -2, 1, 1}));
        QCOMPARE(PrinterAlignment::load(QStringLiteral("Unknown")), Alignment{});
        QStringList printers = PrinterAlignment::alignedPrinters();
        printers.sort();
        QCOMPARE(printers, (QStringList{"//server/queue 2", "Office Laser"}));
        PrinterAlignment::reset(QStringLiteral("Office Laser"));
        QCOMPARE(PrinterAlignment::alignedPrinters(), QStringList{"//server/queue 2"});
        QVERIFY(PrinterAlignment::load(QStringLiteral("Office Laser")).isIdentity());
    }

    // The alignment page labels each crosshair beside it; printed through an
    // alignment, everything moves by it.
    void theAlignmentPageCarriesLabelledMarks() {
        TestEnv env;
        const QString path = env.folder() + QStringLiteral("/align.pdf");
        const Alignment alignment{3, -2, 1, 1};
        {
            QPdfWriter writer(path);
            writer.setResolution(1200);
            writer.setPageSize(QPageSize(kA4, QPageSize::Millimeter));
            writer.setPageMargins({});
            QPainter painter(&writer);
            AlignmentPage::render(painter, kA4, PageRenderer::deviceScale(painter));
            writer.newPage();
            AlignmentPage::render(painter, kA4, PageRenderer::deviceScale(painter), alignment);
        }
        const std::vector<ReportTest::PdfPage> pages = ReportTest::pdfPages(path);
        QCOMPARE(pages.size(), size_t(2));
        auto labels = [](const ReportTest::PdfPage& page) {
            QList<QPointF> found;
            for (const ReportTest::PdfWord& word : page.words)
                if (word.text == QLatin1String("left"))
                    found << QPointF(word.xMin, word.yMin);
            std::sort(found.begin(), found.end(), [](QPointF a, QPointF b) {
                return std::tie(a.ry(), a.rx()) < std::tie(b.ry(), b.rx());
            });
            return found;
        };
        const QList<QPointF> plain = labels(pages[0]);
        const QList<QPointF> moved = labels(pages[1]);
        QCOMPARE(plain.size(), PrinterAlignment::marks(kA4).size());
        QCOMPARE(moved.size(), plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            QVERIFY(std::abs(moved[i].x() - plain[i].x() - alignment.offsetXMm) < 0.2);
            QVERIFY(std::abs(moved[i].y() - plain[i].y() - alignment.offsetYMm) < 0.2);
        }
        // Each label stands just below its crosshair.
        for (const QPointF& mark : PrinterAlignment::marks(kA4)) {
            const bool beside = std::any_of(plain.begin(), plain.end(), [&](QPointF label) {
                return label.y() > mark.y() && label.y() < mark.y() + 4 &&
                       std::abs(label.x() - mark.x()) < 45;
            });
            QVERIFY2(beside, qPrintable(QStringLiteral("%1,%2").arg(mark.x()).arg(mark.y())));
        }
    }

    // A printer's alignment moves and stretches what is printed on that
    // printer, on top of the template's offset; a PDF file (no printer) and
    // the export never get it.
    void onlyPrintingOnTheAlignedPrinterMoves_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("moved");
        QTest::newRow("printed on the aligned printer") << "Office Laser" << true;
        QTest::newRow("printed on another printer") << "Front Desk" << false;
        QTest::newRow("printed to a PDF file") << "" << false;
        QTest::newRow("exported to PDF") << "export" << false;
    }
    void onlyPrintingOnTheAlignedPrinterMoves() {
        QFETCH(QString, output);
        QFETCH(bool, moved);
        TestEnv env;
        env.createDatabase();
        const int sid = ReportTest::addSlip(env, "111", {{"400002", 10}});
        QJsonObject layout = ReportTest::slipTemplate({ReportTest::text(100, 50, "MARK")});
        layout["offset"] = QJsonObject{{"x", 1}, {"y", 0.5}};
        auto report = ReportTest::openLoggedOn(ReportTest::writeTemplate(env, "pv1.rpt", layout));
        report->parameterFields().item(1).addCurrentValue(sid);
        const Alignment alignment{2, 3, 1.02, 0.98};
        PrinterAlignment::save(QStringLiteral("Office Laser"), alignment);
        CViewer viewer;
        viewer.setReportSource(report);
        viewer.ViewReport();
        const QString pdf = env.folder() + QStringLiteral("/out.pdf");
        if (output == QLatin1String("export")) {
            viewer.exportPdf(pdf);
        } else {
            QPdfWriter writer(pdf);
            writer.setResolution(1200);
            viewer.printTo(writer, output);
        }
        const auto pages = ReportTest::pdfPages(pdf);
        QCOMPARE(pages.size(), size_t(1));
        const ReportTest::PdfWord* mark = ReportTest::findWord(pages[0], "MARK");
        QVERIFY(mark);
        const QPointF withOffset(100 + 1, 50 + 0.5);
        const QPointF expected = moved ? alignment.apply(withOffset) : withOffset;
        QVERIFY2(std::abs(mark->xMin - expected.x()) < 0.2, qPrintable(QString::number(mark->xMin)));
        QVERIFY2(mark->yMin > expected.y() - 0.2 && mark->yMin < expected.y() + 3,
                 qPrintable(QString::number(mark->yMin)));
    }

    // The window, as an operator uses it: the alignment page printed, the
    // measures typed, fitted and saved; bad input saves nothing; the quick
    // correction; the list of aligned printers and a reset.
    void theAlignPrinterWindow() {
        TestEnv env;
        QStringList printed; // printer|page size, per page
        QPageLayout lastLayout;
        frmAlignPrinter::setPageDevice([&](const QString& printer, const QPageLayout& layout) {
            printed << printer + QLatin1Char('|') +
                           QString::number(layout.pageSize().size(QPageSize::Millimeter).width());
            lastLayout = layout;
            auto writer = std::make_unique<QPdfWriter>(env.folder() +
                                                       QStringLiteral("/page%1.pdf").arg(printed.size()));
            writer->setPageLayout(layout);
            return std::unique_ptr<QPagedPaintDevice>(std::move(writer));
        });
        ReportTemplate slip;
        slip.name = QStringLiteral("Slip");
        slip.paper = QSizeF(210, 99);
        frmAlignPrinter::showFor(&slip, nullptr);
        frmAlignPrinter& window = Forms::get<frmAlignPrinter>();
        QCOMPARE(window.paper(), slip.paper);
        QVERIFY(showActive(&window));
        window.cmbPrinter->setCurrentText(QStringLiteral("Office Laser"));
        QTest::mouseClick(window.cmdPrintPage, Qt::LeftButton);
        QCOMPARE(printed, QStringList{"Office Laser|210"});
        // Laid out as the slips print: from the sheet's corner, not the printable area's.
        QCOMPARE(lastLayout.mode(), QPageLayout::FullPageMode);
        QVERIFY(lastLayout.pageSize().isEquivalentTo(ReportOutput::pageLayout(slip).pageSize()));

        // A feed 1.5 mm to the right, 2 mm low, stretched 1 % down the sheet.
        const QList<QPointF> marks = PrinterAlignment::marks(window.paper());
        auto typeMeasures = [&](int count) {
            for (int i = 0; i < frmAlignPrinter::kMarks; ++i) {
                window.txtLeft[i]->clear();
                window.txtTop[i]->clear();
                if (i >= count)
                    continue;
                QTest::keyClicks(window.txtLeft[i], QString::number(marks[i].x() + 1.5));
                QTest::keyClicks(window.txtTop[i], QString::number(marks[i].y() * 1.01 + 2));
            }
        };
        typeMeasures(1);
        QTest::mouseClick(window.cmdFit, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{"Measure at least two marks."});
        QVERIFY(PrinterAlignment::alignedPrinters().isEmpty());
        typeMeasures(frmAlignPrinter::kMarks);
        window.txtTop[2]->setText(QStringLiteral("1o"));
        QTest::mouseClick(window.cmdFit, Qt::LeftButton);
        QCOMPARE(shownTexts().last(),
                 QStringLiteral("Mark 3 from the top: \"1o\" is not a number of millimetres."));
        QVERIFY(PrinterAlignment::alignedPrinters().isEmpty());

        typeMeasures(frmAlignPrinter::kMarks);
        QTest::mouseClick(window.cmdFit, Qt::LeftButton);
        QCOMPARE(shownTexts().size(), 2);
        const Alignment fitted = PrinterAlignment::load(QStringLiteral("Office Laser"));
        QVERIFY(std::abs(fitted.offsetXMm + 1.5) < 1e-6 && std::abs(fitted.scaleY - 1 / 1.01) < 1e-6);
        QCOMPARE(window.lblError[4]->text(), QStringLiteral("left off by 0.00 mm"));
        QCOMPARE(window.FG->rows(), 2);
        QCOMPARE(window.FG->textMatrix(1, 1), QStringLiteral("Office Laser"));
        QTest::mouseClick(window.cmdCheckPage, Qt::LeftButton);
        QCOMPARE(printed.size(), 2);

        // "Everything came out 2 mm low and 1 mm to the right."
        QTest::keyClicks(window.txtRight, QStringLiteral("1"));
        QTest::keyClicks(window.txtLow, QStringLiteral("2"));
        QTest::mouseClick(window.cmdShift, Qt::LeftButton);
        QCOMPARE(PrinterAlignment::load(QStringLiteral("Office Laser")),
                 PrinterAlignment::shifted(fitted, 1, 2));

        clickGridRow(window.FG, 1);
        MsgBox::setNextAnswer(MsgBox::Button::Yes);
        QTest::mouseClick(window.cmdReset, Qt::LeftButton);
        QVERIFY(PrinterAlignment::alignedPrinters().isEmpty());
        QCOMPARE(window.FG->rows(), 1);
        frmAlignPrinter::setPageDevice({});
    }
};

QTEST_MAIN(TestAlignment)
#include "test_alignment.moc"
