#include "DesignerTesting.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "frmDesignerOpen.h"
#include "frmReport.h"
#include "modReport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>

using namespace ReportTest;
using namespace DesignerTest;
using Choice = std::function<void(NewTemplateDialog&)>;
Q_DECLARE_METATYPE(Choice)

namespace {

// Accounts 1 to 3 with the shipped templates, and account 4 without one.
void prepare(TestEnv& env) {
    env.createDatabase();
    env.copyReports();
    env.addAccount("00123456789", "Sharma Traders", "MG Road");
    env.addAccount("50100234567", "Sharma Traders - Payroll", "Sector 18");
    env.addAccount("0999", "Old Current Account", "Chowk", "0");
    env.addAccount("7777", "New Account", "Ring Road");
    Reconnect();
}

frmDesigner* designerOn(const QString& path) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* designer = qobject_cast<frmDesigner*>(w);
            designer && designer->document().filePath() == path)
            return designer;
    }
    return nullptr;
}

} // namespace

class TestDesignerOpen : public QObject {
    Q_OBJECT
private slots:
    void theAccountsAreListedWithTheirTemplates() {
        TestEnv env;
        prepare(env);
        frmDesignerOpen window;
        QCOMPARE(window.FG->rows(), 5);
        QCOMPARE(window.FG->textMatrix(1, 4), QString("pv1.rpt"));
        QCOMPARE(window.FG->textMatrix(3, 3), QString("No"));
        QCOMPARE(window.FG->textMatrix(4, 1), QString("7777"));
        QCOMPARE(window.FG->textMatrix(4, 4), QString("none"));

        window.FG->setRowSel(4);
        QCOMPARE(window.openSelected(), nullptr);
        QVERIFY(shownTexts().front().startsWith("Account 7777 has no template yet"));

        window.FG->setRowSel(2);
        frmDesigner* designer = window.openSelected();
        QVERIFY(designer);
        QCOMPARE(designer->document().accountKey(), qint64(2));
        QCOMPARE(designer->document().layout().elements.size(), size_t(14));
        discard(designer);
    }

    void aNewTemplateStartsFromACopyOrFromPaper_data() {
        QTest::addColumn<Choice>("choose");
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<int>("elements");
        QTest::newRow("copy of pv2.rpt") << Choice([](NewTemplateDialog& d) {
            d.optCopy->setChecked(true);
            d.cmbTemplate->setCurrentText("pv2.rpt");
        }) << QSizeF(203, 95) << 14;
        QTest::newRow("A5 portrait") << Choice([](NewTemplateDialog& d) {
            d.optPaper->setChecked(true);
            d.cmbPaper->setCurrentIndex(d.cmbPaper->findText("A5 portrait, 148 x 210 mm"));
        }) << QSizeF(148, 210) << 0;
        QTest::newRow("typed in millimetres") << Choice([](NewTemplateDialog& d) {
            d.optPaper->setChecked(true);
            d.txtWidth->setValue(180.5);
            d.txtHeight->setValue(80);
        }) << QSizeF(180.5, 80) << 0;
    }
    void aNewTemplateStartsFromACopyOrFromPaper() {
        QFETCH(Choice, choose);
        QFETCH(QSizeF, paper);
        QFETCH(int, elements);
        TestEnv env;
        prepare(env);
        frmDesignerOpen window;
        NewTemplateDialog::setRunner([&](NewTemplateDialog& dialog) {
            choose(dialog);
            return true;
        });
        window.FG->setRowSel(4);
        frmDesigner* designer = window.newForSelected();
        NewTemplateDialog::setRunner({});
        QVERIFY(designer);
        const QString path = env.folder() + "/Reports/pv4.rpt";
        QCOMPARE(designer->document().filePath(), path);
        QCOMPARE(designer->document().layout().paper, paper);
        QCOMPARE(int(designer->document().layout().elements.size()), elements);
        QVERIFY(!QFile::exists(path)); // written only when saved

        designer->addPaletteItem("field:tblSlip.sdate");
        QVERIFY(designer->save());
        QCOMPARE(TemplateLoader::load(path).elements.size(), size_t(elements + 1));
        QVERIFY(designerOn(path) == designer);
        discard(designer);
        QCOMPARE(window.FG->textMatrix(4, 4), QString("pv4.rpt"));
    }

    void theSampleSlipComesFromTheDatabase() {
        TestEnv env;
        prepare(env);
        addSlip(env, "50100234567", {{"000111", 100}});
        const int latest = addSlip(env, "50100234567", {{"000222", 250.5}, {"000333", 10}});
        env.exec(QString("UPDATE tblSlip SET sno = 42 WHERE sid = %1").arg(latest));
        frmDesignerOpen window;
        window.FG->setRowSel(2);
        frmDesigner* designer = window.openSelected();
        QCOMPARE(designer->document().sampleName(), QString("Sample: latest slip, Sr. No 42"));
        QCOMPARE(designer->document().sample().lines.size(), size_t(2));

        QVERIFY(designer->useSlipBySerial(7));
        QCOMPARE(designer->document().sample().lines.size(), size_t(1));
        QVERIFY(!designer->useSlipBySerial(99));
        QCOMPARE(shownTexts().back(), QString("There is no slip with Sr. No 99 for account 50100234567."));
        designer->useBuiltInSample();
        QCOMPARE(designer->document().sample().lines.size(), size_t(5));

        // The preview is the program's own, with the sample as its page and the changes not yet saved.
        designer->document().change("Move", [](ReportTemplate& t) { t.elements[0].box.moveLeft(90); });
        QVERIFY(designer->preview());
        frmReport& preview = Forms::get<frmReport>();
        QVERIFY(preview.isVisible());
        QCOMPARE(preview.CViewer->pageCount(), 1);
        QCOMPARE(g_Report, nullptr); // nothing went through the report runner
        discard(designer);
    }

    void anUnreadableTemplateIsReportedAndOpensNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::newRow("no JSON") << QByteArray("not a template") << "is not valid JSON";
        QTest::newRow("a box off the paper")
            << QJsonDocument(slipTemplate({text(200, 10, "X", 30, 5)})).toJson() << "element 1: the box";
    }
    void anUnreadableTemplateIsReportedAndOpensNothing() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        TestEnv env;
        const QString path = writeFile(env, "pv5.rpt", contents);
        const int windows = QApplication::topLevelWidgets().size();
        QCOMPARE(frmDesigner::openFile(path), nullptr);
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
        QVERIFY2(shownTexts().size() == 1 && shownTexts().front().contains(message),
                 qPrintable(shownTexts().join("|")));
    }
};

QTEST_MAIN(TestDesignerOpen)
#include "test_designeropen.moc"
