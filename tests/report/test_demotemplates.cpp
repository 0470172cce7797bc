#include "DemoData.h"
#include "PageRenderer.h"
#include "ReportOutput.h"
#include "ReportTestSupport.h"
#include "TemplateLoader.h"
#include "modData.h"
#include "modReport.h"

using namespace ReportTest;

namespace {

QString withoutBlanks(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

// The first demo slip of the account whose number is given.
int firstSlipOf(TestEnv& env, const QString& accno) {
    return env.scalar(QString("SELECT min(sid) FROM tblSlip WHERE accno = '%1' AND remarks <> ''").arg(accno))
        .toInt();
}

} // namespace

class TestDemoTemplates : public QObject {
    Q_OBJECT
private slots:
    void everyBuiltTemplateLoads() {
        TestEnv env;
        env.copyReports();
        const QStringList names = QDir(env.folder() + "/Reports").entryList({"pv*.rpt"});
        QCOMPARE(names, (QStringList{"pv1.rpt", "pv2.rpt", "pv3.rpt"}));
        for (const QString& name : names) {
            const ReportTemplate t = TemplateLoader::load(env.folder() + "/Reports/" + name);
            QVERIFY2(!t.elements.empty() && t.lines.lineCount == 5, qPrintable(name));
            QCOMPARE(t.parameters.size(), size_t(1));
            QCOMPARE(t.parameters[0].kindCode, 0);
        }
    }

    void theDocumentedExampleIsAValidTemplate() {
        TestEnv env;
        env.copyReports();
        QFile doc(CHEQORA_SOURCE_DIR "/docs/report-templates.md");
        QVERIFY(doc.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(doc.readAll());
        const qsizetype start = text.indexOf("```json\n");
        const qsizetype end = text.indexOf("```", start + 7);
        QVERIFY(start >= 0 && end > start);
        const QString path = writeFile(env, "pv7.rpt", text.mid(start + 8, end - start - 8).toUtf8());
        const ReportTemplate t = TemplateLoader::load(path);
        QVERIFY(t.background);
        QCOMPARE(t.elements.size(), size_t(9));
        QCOMPARE(t.lines.elements.size(), size_t(5));
    }

    void demoSlipsPrintWithEveryField_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("accno");
        QTest::newRow("pv1, State Bank layout with its form") << "pv1.rpt"
                                                              << "00123456789";
        QTest::newRow("pv2, HDFC layout with its form") << "pv2.rpt"
                                                        << "50100234567";
        QTest::newRow("pv3, plain paper") << "pv3.rpt"
                                          << "00123456789";
    }
    void demoSlipsPrintWithEveryField() {
        QFETCH(QString, name);
        QFETCH(QString, accno);
        TestEnv env;
        DemoData::createDemoDatabase(env.databasePath(), kDatabasePassword, QDate(2024, 12, 8));
        env.copyReports();
        env.exec("UPDATE tblSlip SET remarks = 'Collection from counter'");
        const int sid = firstSlipOf(env, accno);
        QVERIFY(sid > 0);
        ShowReport(env.folder() + "/Reports/" + name, "", {sid});
        const SlipRecord& slip = g_Report->slips().front();
        QVERIFY(!slip.account.isEmpty());
        QVERIFY(!slip.lines.empty());

        const QString pdf = env.folder() + "/slip.pdf";
        ReportOutput::exportPdf(*g_Report, pdf);
        const auto pages = pdfPages(pdf);
        QCOMPARE(pages.size(), size_t(1));
        const ReportTemplate& t = g_Report->definition();
        QVERIFY(std::abs(pages[0].width - t.paper.width()) < 0.2);
        const QString printed = withoutBlanks(pageText(pages[0]));

        // Every element prints something, and what it prints is on the page.
        for (const Element& e : t.elements) {
            const QString text = PageRenderer::elementText(e, slip, nullptr);
            QVERIFY2(!text.isEmpty(), qPrintable(e.column ? e.column->column : e.text));
            QVERIFY2(printed.contains(withoutBlanks(text)), qPrintable(text));
        }
        for (const QVariantMap& line : slip.lines) {
            for (const Element& e : t.lines.elements) {
                const QString text = PageRenderer::elementText(e, slip, &line);
                QVERIFY2(!text.isEmpty(), qPrintable(e.column->column));
                QVERIFY2(printed.contains(withoutBlanks(text)), qPrintable(text));
            }
        }
    }
};

QTEST_MAIN(TestDemoTemplates)
#include "test_demotemplates.moc"
