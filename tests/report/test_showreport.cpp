#include "Forms.h"
#include "ReportError.h"
#include "ReportTestSupport.h"
#include "frmReport.h"
#include "modData.h"
#include "modReport.h"

#include <QApplication>

using namespace ReportTest;

namespace {

struct Field {
    int kind;
    QVariantList values; // the template's own current values
};

// A template whose parameter fields have the given kind codes, named p1, p2, ...
QString templateWithFields(const TestEnv& env, const QList<Field>& fields, const QString& name = "pv1.rpt") {
    QJsonObject layout = slipTemplate({text(20, 10, "Deposit")});
    QJsonArray parameters;
    for (int i = 0; i < fields.size(); ++i) {
        QJsonArray values;
        for (const QVariant& v : fields[i].values)
            values.append(QJsonValue::fromVariant(v));
        parameters.append(QJsonObject{{"name", QString("p%1").arg(i + 1)},
                                      {"kind", fields[i].kind},
                                      {"text", "original"},
                                      {"values", values}});
    }
    layout["parameters"] = parameters;
    layout["selection"] = fields.isEmpty() ? "" : "{tblSlip.sid} = {?p1}";
    return writeTemplate(env, name, layout);
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
    return QString();
}

int reportWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<frmReport*>(w) != nullptr ? 1 : 0;
    return count;
}

} // namespace

class TestShowReport : public QObject {
    Q_OBJECT
private slots:
    void kindCodesAndPositions_data() {
        QTest::addColumn<QList<Field>>("fields");
        QTest::addColumn<QVariantList>("given");
        QTest::addColumn<QList<QVariantList>>("values");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("0 replaces") << QList<Field>{{0, {1, 2}}} << QVariantList{42}
                                    << QList<QVariantList>{{42}} << QStringList{"True"};
        QTest::newRow("2 adds without clearing") << QList<Field>{{2, {1}}} << QVariantList{42}
                                                 << QList<QVariantList>{{1, 42}} << QStringList{"original"};
        QTest::newRow("7 is left alone") << QList<Field>{{7, {5}}} << QVariantList{}
                                         << QList<QVariantList>{{5}} << QStringList{"original"};
        QTest::newRow("(7, 0): the second takes element 1")
            << QList<Field>{{7, {5}}, {0, {}}} << QVariantList{10, 20} << QList<QVariantList>{{5}, {20}}
            << QStringList{"original", "True"};
        QTest::newRow("(0, 2, 1, 0)")
            << QList<Field>{{0, {}}, {2, {9}}, {1, {8}}, {0, {}}} << QVariantList{10, 20, 30, 40}
            << QList<QVariantList>{{10}, {9, 20}, {8}, {40}}
            << QStringList{"True", "original", "original", "True"};
        QTest::newRow("extra values are not read") << QList<Field>{{0, {}}} << QVariantList{10, 20, 30}
                                                   << QList<QVariantList>{{10}} << QStringList{"True"};
    }
    void kindCodesAndPositions() {
        QFETCH(QList<Field>, fields);
        QFETCH(QVariantList, given);
        QFETCH(QList<QVariantList>, values);
        QFETCH(QStringList, texts);
        TestEnv env;
        ShowReport(templateWithFields(env, fields), "", given);
        ParameterFields& result = g_Report->parameterFields();
        QCOMPARE(result.count(), values.size());
        for (int n = 1; n <= result.count(); ++n) {
            QCOMPARE(result.item(n).currentValues(), values[n - 1]);
            QCOMPARE(result.item(n).textAttribute(), texts[n - 1]);
        }
    }

    void missingElementFailsAfterEarlierPositions_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("0, 0") << 0 << 0;
        QTest::newRow("0, 2") << 0 << 2;
        QTest::newRow("2, 2") << 2 << 2;
    }
    void missingElementFailsAfterEarlierPositions() {
        QFETCH(int, first);
        QFETCH(int, second);
        TestEnv env;
        const QString path = templateWithFields(env, {{first, {}}, {second, {}}});
        const QString error = errorOf([&] { ShowReport(path, "", {42}); });
        QVERIFY2(error.startsWith("Subscript out of range: the parameter field at position 2"),
                 qPrintable(error));
        QVERIFY(error.contains(path));
        // What was done before the failure stays: the new report, position 1 filled.
        QCOMPARE(g_Report->filePath(), path);
        QCOMPARE(g_Report->parameterFields().item(1).currentValues(), QVariantList{42});
        QCOMPARE(g_Report->parameterFields().item(2).currentValues(), QVariantList{});
    }

    void templateWithoutParametersAcceptsAnEmptyList() {
        TestEnv env;
        ShowReport(templateWithFields(env, {}), "", {});
        QCOMPARE(g_Report->parameterFields().count(), 0);
    }

    void blankFormulaKeepsTheTemplatesSelection_data() {
        QTest::addColumn<QString>("formula");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces only") << "     ";
    }
    void blankFormulaKeepsTheTemplatesSelection() {
        QFETCH(QString, formula);
        TestEnv env;
        env.createDatabase();
        addSlip(env, "00123456789", {{"100200", 1500}});
        const int second = addSlip(env, "00123456789", {{"100300", 2500}});
        ShowReport(templateWithFields(env, {{0, {}}}), formula, {second});
        QCOMPARE(g_Report->recordSelectionFormula(), QString());
        const auto& slips = g_Report->slips();
        QCOMPARE(slips.size(), size_t(1));
        QCOMPARE(slips[0].slip["sid"].toInt(), second);
    }

    void formulaWithTextIsPassedUntrimmed() {
        TestEnv env;
        env.createDatabase();
        const int first = addSlip(env, "00123456789", {{"100200", 1500}});
        const int second = addSlip(env, "00123456789", {{"100300", 2500}});
        const QString formula = QString("  {tblSlip.sid} = %1  ").arg(first);
        ShowReport(templateWithFields(env, {{0, {}}}), formula, {second});
        QCOMPARE(g_Report->recordSelectionFormula(), formula);
        QCOMPARE(g_Report->slips().front().slip["sid"].toInt(), first);
    }

    void formulaOutsideTheSubsetGoesToTheCaller() {
        TestEnv env;
        const QString path = templateWithFields(env, {{0, {}}});
        const QString error = errorOf([&] { ShowReport(path, "{tblSlip.sid} >= 3", {1}); });
        QVERIFY2(error.startsWith("Report template '" + path + "': the selection formula"),
                 qPrintable(error));
        QCOMPARE(g_Report->filePath(), path); // already opened before the formula failed
    }

    void everyTableLogsOn() {
        TestEnv env;
        ShowReport(templateWithFields(env, {{0, {}}}), "", {1});
        QCOMPARE(g_ReportPassword, QString("qelrt574"));
        QStringList names;
        for (const DatabaseTable& table : g_Report->database().tables()) {
            names << table.name();
            QCOMPARE(table.connectionProperties().item("DSN").value().toString(), QString("slipODBC"));
            QCOMPARE(table.connectionProperties().item("Password").value().toString(), kDatabasePassword);
        }
        QCOMPARE(names, (QStringList{"tblSlip", "tblSlipDetails", "tblAcc"}));
    }

    void reportOptionsAndDialogParent() {
        TestEnv env;
        ShowReport(templateWithFields(env, {{0, {}}}), "", {1});
        QVERIFY(!g_Report->promptsForMissingParameterValues());
        QVERIFY(!g_Report->hasSavedData());
        QVERIFY(Forms::isLoaded<frmReport>());
        frmReport& window = Forms::get<frmReport>();
        QVERIFY(!window.isVisible()); // loaded, not shown
        QCOMPARE(g_Report->dialogParentWindow(), quintptr(window.winId()));
    }

    void twoCallsReuseTheEngineAndTheWindow() {
        TestEnv env;
        g_ReportEngine.reset();
        const QString first = templateWithFields(env, {{0, {}}}, "pv1.rpt");
        const QString second = templateWithFields(env, {{0, {}}}, "pv2.rpt");
        ShowReport(first, "", {1});
        const std::shared_ptr<ReportEngine> engine = g_ReportEngine;
        const std::weak_ptr<Report> firstReport = g_Report;
        QVERIFY(engine);
        ShowReport(second, "", {2});
        QCOMPARE(g_ReportEngine, engine);
        QVERIFY(firstReport.expired()); // replaced and released
        QCOMPARE(g_Report->filePath(), second);
        QCOMPARE(reportWindows(), 1);
    }

    void missingTemplateKeepsThePreviousReport() {
        TestEnv env;
        const QString good = templateWithFields(env, {{0, {}}});
        ShowReport(good, "", {1});
        const QString missing = env.folder() + "/Reports/pv99.rpt";
        const QString error = errorOf([&] { ShowReport(missing, "", {1}); });
        QCOMPARE(error, "Report template '" + missing + "': the file does not exist");
        QCOMPARE(g_Report->filePath(), good);
    }

    void slipKeysPast32767Print() {
        TestEnv env;
        env.createDatabase();
        addSlip(env, "00123456789", {{"100200", 1500}}, 70000);
        ShowReport(templateWithFields(env, {{0, {}}}), "", {70000});
        QCOMPARE(g_Report->parameterFields().item(1).currentValues(), QVariantList{70000});
        QCOMPARE(g_Report->slips().front().slip["sid"].toInt(), 70000);
    }
};

QTEST_MAIN(TestShowReport)
#include "test_showreport.moc"
