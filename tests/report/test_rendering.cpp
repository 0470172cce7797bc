#include "PageRenderer.h"
#include "ReportOutput.h"
#include "ReportTestSupport.h"
#include "modData.h"

#include <QImage>
#include <QPainter>

using namespace ReportTest;

namespace {

constexpr double kTolerance = 0.2; // millimetres

struct Exported {
    std::vector<PdfPage> pages;
    std::shared_ptr<Report> report;
};

// Stores one slip, writes the template, exports the slip's PDF and reads it back.
Exported exportSlip(TestEnv& env, const QJsonObject& layout, const QString& formula = {}) {
    env.createDatabase();
    env.addAccount("00123456789", "Sharma Traders", "MG Road");
    const int sid = addSlip(env, "00123456789", {{"100200", 1500.5}, {"100201", 250}});
    auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", layout));
    report->parameterFields().item(1).addCurrentValue(sid);
    if (!formula.isEmpty())
        report->setRecordSelectionFormula(formula);
    const QString pdf = env.folder() + "/slip.pdf";
    ReportOutput::exportPdf(*report, pdf);
    return {pdfPages(pdf), report};
}

QJsonObject element(const QString& type, double x, double y, double width, double height,
                    const QJsonObject& more = {}) {
    QJsonObject e{{"type", type}, {"x", x}, {"y", y}, {"width", width}, {"height", height}};
    for (auto it = more.begin(); it != more.end(); ++it)
        e[it.key()] = it.value();
    return e;
}

} // namespace

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    void textLandsAtItsPlaceOnTheExportedPage_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("20 mm") << 20.0 << 30.0;
        QTest::newRow("left edge") << 0.0 << 0.0;
        QTest::newRow("fraction") << 105.5 << 72.25;
    }
    void textLandsAtItsPlaceOnTheExportedPage() {
        QFETCH(double, x);
        QFETCH(double, y);
        TestEnv env;
        const auto result = exportSlip(env, slipTemplate({text(x, y, "Marker", 60, 6)}));
        QCOMPARE(result.pages.size(), size_t(1));
        const PdfWord* word = findWord(result.pages[0], "Marker");
        QVERIFY(word);
        QVERIFY2(std::abs(word->xMin - x) <= kTolerance, qPrintable(QString::number(word->xMin)));
        // Centred in its 6 mm high box.
        const double middle = (word->yMin + word->yMax) / 2;
        QVERIFY2(std::abs(middle - (y + 3)) <= 1.0, qPrintable(QString::number(middle)));
    }

    void alignmentInTheBox() {
        TestEnv env;
        const auto result = exportSlip(
            env, slipTemplate({element("text", 100, 10, 50, 6, {{"text", "Right"}, {"align", "right"}}),
                               element("text", 100, 20, 50, 6, {{"text", "Centre"}, {"align", "center"}})}));
        const PdfWord* right = findWord(result.pages[0], "Right");
        const PdfWord* centre = findWord(result.pages[0], "Centre");
        QVERIFY(right && centre);
        QVERIFY2(std::abs(right->xMax - 150) <= kTolerance, qPrintable(QString::number(right->xMax)));
        QVERIFY(std::abs((centre->xMin + centre->xMax) / 2 - 125) <= kTolerance);
    }

    void printerOffsetMovesEverything() {
        TestEnv env;
        QJsonObject layout = slipTemplate({text(20, 30, "Marker")});
        layout["offset"] = QJsonObject{{"x", 3}, {"y", -2}};
        const auto result = exportSlip(env, layout);
        const PdfWord* word = findWord(result.pages[0], "Marker");
        QVERIFY(word);
        QVERIFY(std::abs(word->xMin - 23) <= kTolerance);
        QVERIFY(std::abs((word->yMin + word->yMax) / 2 - 31) <= 1.0);
    }

    void pageIsTheTemplatesPaper_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("orientation");
        QTest::newRow("slip, landscape") << 210.0 << 99.0 << "landscape";
        QTest::newRow("slip fed as it lies") << 210.0 << 99.0 << "portrait";
        QTest::newRow("tall form") << 100.0 << 180.0 << "portrait";
    }
    void pageIsTheTemplatesPaper() {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QString, orientation);
        TestEnv env;
        QJsonObject layout = slipTemplate({text(20, 10, "Marker")});
        layout["paper"] = QJsonObject{{"width", width}, {"height", height}, {"orientation", orientation}};
        const auto result = exportSlip(env, layout);
        // PDF page sizes are whole points: within half a point.
        QVERIFY2(std::abs(result.pages[0].width - width) < 0.2,
                 qPrintable(QString::number(result.pages[0].width)));
        QVERIFY(std::abs(result.pages[0].height - height) < 0.2);
        QVERIFY(std::abs(findWord(result.pages[0], "Marker")->xMin - 20) <= kTolerance);
        const QPageLayout page = ReportOutput::pageLayout(result.report->definition());
        QCOMPARE(page.fullRect(QPageLayout::Millimeter).size(), QSizeF(width, height));
        QCOMPARE(page.orientation(),
                 orientation == "landscape" ? QPageLayout::Landscape : QPageLayout::Portrait);
        QCOMPARE(page.margins(), QMarginsF());
    }

    void characterPitchPutsEachDigitInItsBox() {
        TestEnv env;
        const auto result = exportSlip(
            env, slipTemplate({element("field", 100, 5, 40, 6,
                                       {{"field", "tblSlip.sdate"}, {"format", "ddMMyyyy"}, {"pitch", 5}})}));
        // 05032024: the digits' centres fall in the middles of boxes 5 mm wide from x = 100.
        const QString digits = "05032024";
        QStringList found;
        for (const PdfWord& w : result.pages[0].words) {
            if (w.text.size() != 1 || w.yMin > 12)
                continue;
            const int box = int((w.xMin + w.xMax) / 2 - 100) / 5;
            QVERIFY2(std::abs((w.xMin + w.xMax) / 2 - (100 + 5 * box + 2.5)) <= kTolerance,
                     qPrintable(w.text));
            found << QString::number(box) + w.text;
        }
        QStringList expected;
        for (int i = 0; i < digits.size(); ++i)
            expected << QString::number(i) + digits[i];
        QCOMPARE(found, expected);
    }

    void chequeLinesRepeatAtTheirPitch() {
        TestEnv env;
        QJsonObject layout = slipTemplate();
        layout["lines"] = QJsonObject{
            {"y", 40},
            {"pitch", 6},
            {"count", 5},
            {"elements", QJsonArray{element("field", 10, 0, 30, 6, {{"field", "tblSlipDetails.chqno"}}),
                                    element("field", 150, 0, 50, 6,
                                            {{"field", "tblSlipDetails.amount"},
                                             {"align", "right"},
                                             {"format", "#,##,##0.00"}})}}};
        const auto result = exportSlip(env, layout);
        const PdfWord* first = findWord(result.pages[0], "100200");
        const PdfWord* second = findWord(result.pages[0], "100201");
        QVERIFY(first && second);
        QVERIFY(std::abs(first->xMin - 10) <= kTolerance);
        QVERIFY(std::abs((second->yMin + second->yMax) / 2 - (40 + 6 + 3)) <= 1.0);
        QVERIFY(std::abs((second->yMin + second->yMax) / 2 - (first->yMin + first->yMax) / 2 - 6) <=
                kTolerance);
        const PdfWord* amount = findWord(result.pages[0], "1,500.50");
        QVERIFY(amount);
        QVERIFY(std::abs(amount->xMax - 200) <= kTolerance);
    }

    void computedFields() {
        TestEnv env;
        const auto result = exportSlip(
            env, slipTemplate({element("total", 10, 10, 50, 6, {{"format", "#,##0.00"}}),
                               element("count", 10, 20, 50, 6),
                               element("words", 10, 30, 70, 20, {{"linePitch", 5}, {"indent", 20}})}));
        const QString all = pageText(result.pages[0]);
        QVERIFY2(all.contains("1,750.50"), qPrintable(all));
        QVERIFY(findWord(result.pages[0], "2"));
        // Wrapped over the lines of its box, no word lost, first line indented.
        QVERIFY2(all.contains("Rupees One Thousand Seven Hundred Fifty and Fifty Paise Only"),
                 qPrintable(all));
        const PdfWord* rupees = findWord(result.pages[0], "Rupees");
        const PdfWord* only = findWord(result.pages[0], "Only");
        QVERIFY(std::abs(rupees->xMin - 30) <= kTolerance);
        QVERIFY2(only->yMin > rupees->yMax, "the words did not wrap");
        QVERIFY(only->yMax < 50 + kTolerance);
    }

    void internationalWordsPerTemplate() {
        TestEnv env;
        const auto result = exportSlip(
            env, slipTemplate({element(
                     "words", 10, 30, 190, 6,
                     {{"numbering", "international"}, {"currency", "Dollars"}, {"subunit", "Cents"}})}));
        QVERIFY(pageText(result.pages[0])
                    .contains("Dollars One Thousand Seven Hundred Fifty and Fifty Cents Only"));
    }

    void onePagePerSelectedSlip() {
        TestEnv env;
        env.createDatabase();
        addSlip(env, "777", {{"300001", 1}});
        addSlip(env, "777", {{"300002", 2}});
        QJsonObject layout = slipTemplate();
        layout["lines"] = QJsonObject{
            {"y", 40},
            {"pitch", 6},
            {"count", 5},
            {"elements", QJsonArray{element("field", 10, 0, 30, 6, {{"field", "tblSlipDetails.chqno"}})}}};
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", layout));
        report->setRecordSelectionFormula("{tblSlip.accno} = '777'");
        ReportOutput::exportPdf(*report, env.folder() + "/all.pdf");
        const auto pages = pdfPages(env.folder() + "/all.pdf");
        QCOMPARE(pages.size(), size_t(2));
        QVERIFY(findWord(pages[0], "300001") && !findWord(pages[0], "300002"));
        QVERIFY(findWord(pages[1], "300002"));
    }

    void backgroundInPreviewOnly() {
        TestEnv env;
        QDir().mkpath(env.folder() + "/Reports");
        QImage scan(20, 10, QImage::Format_RGB32);
        scan.fill(QColor(255, 0, 0));
        QVERIFY(scan.save(env.folder() + "/Reports/scan.png"));
        QJsonObject layout = slipTemplate({text(20, 30, "Marker")});
        layout["background"] =
            QJsonObject{{"image", "scan.png"}, {"x", 10}, {"y", 10}, {"width", 100}, {"height", 50}};
        layout["offset"] = QJsonObject{{"x", 5}};
        const auto result = exportSlip(env, layout);

        QProcess images;
        images.start("pdfimages", {"-list", env.folder() + "/slip.pdf"});
        QVERIFY(images.waitForFinished(60000));
        QCOMPARE(QString(images.readAllStandardOutput()).trimmed().split('\n').size(),
                 2); // header lines only

        // The preview draws the scan at its physical place, without the printer offset.
        QImage preview(2100, 990, QImage::Format_RGB32); // 10 dots per millimetre
        preview.setDotsPerMeterX(10000);
        preview.setDotsPerMeterY(10000);
        preview.fill(Qt::white);
        QPainter painter(&preview);
        const auto scale = PageRenderer::deviceScale(painter);
        QVERIFY(std::abs(scale.dotsPerMmX - 10) < 0.01);
        PageRenderer::render(painter, result.report->definition(), result.report->slips().front(), scale,
                             PageRenderer::Mode::Preview);
        painter.end();
        QCOMPARE(preview.pixelColor(105, 105), QColor(255, 0, 0));  // just inside the scan
        QCOMPARE(preview.pixelColor(1095, 595), QColor(255, 0, 0)); // its far corner
        QCOMPARE(preview.pixelColor(95, 95), QColor(Qt::white));    // just outside
        QCOMPARE(preview.pixelColor(1105, 605), QColor(Qt::white));
    }
};

QTEST_MAIN(TestRendering)
#include "test_rendering.moc"
