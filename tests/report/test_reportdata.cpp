#include "DbError.h"
#include "ReportEngine.h"
#include "ReportError.h"
#include "ReportTestSupport.h"
#include "modData.h"

using namespace ReportTest;

namespace {

QString readError(Report& report, const Report::ParameterPrompt& prompt = {}) {
    try {
        report.slips(prompt);
    } catch (const ReportError& e) {
        return e.description();
    }
    return QString();
}

QStringList slipKeys(Report& report) {
    QStringList keys;
    for (const SlipRecord& r : report.slips())
        keys << r.slip["sid"].toString();
    return keys;
}

} // namespace

class TestReportData : public QObject {
    Q_OBJECT
private slots:
    void readsTheSlipItsLinesAndItsAccount() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("00123456789", "Sharma Traders", "MG Road");
        addSlip(env, "00123456789", {{"100100", 10}});
        const int sid = addSlip(env, "00123456789", {{"100200", 1500.5}, {"100201", 99.25}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->parameterFields().item(1).addCurrentValue(sid);
        const auto& slips = report->slips();
        QCOMPARE(slips.size(), size_t(1));
        QCOMPARE(slips[0].slip["depositedBy"].toString(), QString("Ramesh Kumar"));
        QCOMPARE(slips[0].slip["sdate"].toString(), QString("2024-03-05"));
        QCOMPARE(slips[0].account["accname"].toString(), QString("Sharma Traders"));
        QCOMPARE(slips[0].lines.size(), size_t(2));
        QCOMPARE(slips[0].lines[1]["chqno"].toString(), QString("100201"));
    }

    void aSlipWhoseAccountIsGoneStillPrints() {
        TestEnv env;
        env.createDatabase();
        const int sid = addSlip(env, "99999", {{"100200", 15}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->parameterFields().item(1).addCurrentValue(sid);
        QVERIFY(report->slips().front().account.isEmpty());
    }

    void logonFailures_data() {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("problem");
        QTest::newRow("wrong password") << "slipODBC"
                                        << "guess"
                                        << "table tblSlip cannot log on to data source \"slipODBC\"";
        QTest::newRow("empty password") << "slipODBC"
                                        << ""
                                        << "Not a valid password.";
        QTest::newRow("unknown data source") << "payrollODBC"
                                             << "qelrt574"
                                             << "table tblSlip names the data source \"payrollODBC\", which "
                                                "is unknown; the only data source is "
                                                "\"slipODBC\"";
        QTest::newRow("no data source") << ""
                                        << "qelrt574"
                                        << "table tblSlip names no data source";
    }
    void logonFailures() {
        QFETCH(QString, dataSource);
        QFETCH(QString, password);
        QFETCH(QString, problem);
        TestEnv env;
        env.createDatabase();
        const QString path = writeTemplate(env, "pv1.rpt", slipTemplate());
        auto report = openLoggedOn(path, password, dataSource);
        report->parameterFields().item(1).addCurrentValue(1);
        const QString error = readError(*report);
        QVERIFY2(error.startsWith("Report template '" + path + "': "), qPrintable(error));
        QVERIFY2(error.contains(problem), qPrintable(error));
    }

    void everyTableUsesItsOwnLogon() {
        TestEnv env;
        env.createDatabase();
        const int sid = addSlip(env, "00123456789", {{"100200", 15}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->parameterFields().item(1).addCurrentValue(sid);
        report->database().tables()[2].connectionProperties().item("Password").setValue("wrong");
        QVERIFY(readError(*report).contains("table tblAcc cannot log on"));
        QVERIFY_THROWS_EXCEPTION(ReportError,
                                 report->database().tables()[0].connectionProperties().item("UID"));
    }

    void theDataSourceIsTheDatabaseOfPathTxt() {
        TestEnv env;
        const QString elsewhere = env.folder() + "/elsewhere.mdb";
        env.createDatabase(elsewhere);
        env.writePathFile(elsewhere.toUtf8() + "\r\n");
        auto connection = Connection::create();
        connection->open(elsewhere, kDatabasePassword);
        connection->execute("INSERT INTO tblSlip (sid, accno) VALUES (5, '1')");
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->parameterFields().item(1).addCurrentValue(5);
        QCOMPARE(slipKeys(*report), QStringList{"5"});

        env.writePathFile(QByteArray("/nowhere/data.mdb"));
        report->discardSavedData();
        QVERIFY(readError(*report).contains("The database file '/nowhere/data.mdb' does not exist."));
    }

    void selectionConditions_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("linesOfFirst");
        QTest::newRow("by key") << "{tblSlip.sid} = 2" << QStringList{"2"} << 1;
        QTest::newRow("by account number text")
            << "{tblSlip.accno} = '50100234567'" << QStringList{"2", "3"} << 1;
        QTest::newRow("two conditions")
            << "{tblSlip.accno} = '50100234567' and {tblSlip.sid} = 3" << QStringList{"3"} << 2;
        QTest::newRow("by account row") << "{tblAcc.branch} = 'MG Road'" << QStringList{"1"} << 2;
        QTest::newRow("by cheque line")
            << "{tblSlipDetails.bank} = 'HDFC Bank' and {tblSlipDetails.chqno} = '3002'" << QStringList{"3"}
            << 1;
        QTest::newRow("by amount") << "{tblSlipDetails.amount} = 250.5" << QStringList{"2"} << 1;
        QTest::newRow("quote inside text is only a value")
            << "{tblSlip.accno} = 'x'' OR 1=1 --'" << QStringList{} << 0;
    }
    void selectionConditions() {
        QFETCH(QString, formula);
        QFETCH(QStringList, keys);
        QFETCH(int, linesOfFirst);
        TestEnv env;
        env.createDatabase();
        env.addAccount("00123456789", "Sharma Traders", "MG Road");
        env.addAccount("50100234567", "Payroll", "Connaught Place");
        addSlip(env, "00123456789", {{"1001", 10}, {"1002", 20}});
        addSlip(env, "50100234567", {{"2001", 250.5}});
        addSlip(env, "50100234567", {{"3001", 30}, {"3002", 40}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->setRecordSelectionFormula(formula);
        if (keys.isEmpty()) {
            QVERIFY(readError(*report).endsWith("no slip matches the record selection"));
            return;
        }
        QCOMPARE(slipKeys(*report), keys);
        QCOMPARE(int(report->slips().front().lines.size()), linesOfFirst);
    }

    void formulaNamingATableTheTemplateDoesNotRead() {
        TestEnv env;
        QJsonObject layout = slipTemplate();
        layout["tables"] = QJsonArray{QJsonObject{{"name", "tblSlip"}}};
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", layout));
        QVERIFY_THROWS_EXCEPTION(ReportError, report->setRecordSelectionFormula("{tblAcc.accno} = '1'"));
        QCOMPARE(report->recordSelectionFormula(), QString()); // a refused formula changes nothing
    }

    void missingParameterValue() {
        TestEnv env;
        env.createDatabase();
        const int sid = addSlip(env, "00123456789", {{"100200", 15}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        int asked = 0;
        const Report::ParameterPrompt prompt = [&](const ParameterField& field, quintptr parent) {
            ++asked;
            [&] {
                QCOMPARE(field.name(), QString("slipKey"));
                QCOMPARE(parent, quintptr(77));
            }();
            return std::optional<QVariant>(sid);
        };
        report->setDialogParentWindow(77);

        report->setPromptForMissingParameterValues(false);
        QVERIFY(readError(*report, prompt).endsWith("the parameter field \"slipKey\" has no value"));
        QCOMPARE(asked, 0);

        report->setPromptForMissingParameterValues(true);
        QCOMPARE(report->slips(prompt).front().slip["sid"].toInt(), sid);
        QCOMPARE(asked, 1);
        QCOMPARE(report->parameterFields().item(1).currentValues(), QVariantList{sid});
    }

    void savedDataIsKeptUntilDiscarded() {
        TestEnv env;
        env.createDatabase();
        const int sid = addSlip(env, "00123456789", {{"100200", 15}});
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", slipTemplate()));
        report->parameterFields().item(1).addCurrentValue(sid);
        QCOMPARE(report->slips().front().lines.size(), size_t(1));
        env.exec(
            QString("INSERT INTO tblSlipDetails (sid, chqno, amount) VALUES (%1, '100201', 5)").arg(sid));
        QCOMPARE(report->slips().front().lines.size(), size_t(1));
        report->discardSavedData();
        QVERIFY(!report->hasSavedData());
        QCOMPARE(report->slips().front().lines.size(), size_t(2));
    }

    void moreLinesThanTheTemplatePrints() {
        TestEnv env;
        env.createDatabase();
        const int sid = addSlip(env, "00123456789", {{"1", 1}, {"2", 2}, {"3", 3}});
        QJsonObject layout = slipTemplate();
        layout["lines"] = QJsonObject{{"y", 40}, {"pitch", 6}, {"count", 2}, {"elements", QJsonArray()}};
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", layout));
        report->parameterFields().item(1).addCurrentValue(sid);
        QVERIFY(readError(*report).contains(QString("slip %1 has more than 2 cheque lines").arg(sid)));
    }

    void parameterWithSeveralValuesSelectsEach() {
        TestEnv env;
        env.createDatabase();
        const int a = addSlip(env, "1", {{"1", 1}});
        addSlip(env, "1", {{"2", 2}});
        const int c = addSlip(env, "1", {{"3", 3}});
        QJsonObject layout = slipTemplate();
        layout["parameters"] =
            QJsonArray{QJsonObject{{"name", "slipKey"}, {"kind", 2}, {"values", QJsonArray{a}}}};
        auto report = openLoggedOn(writeTemplate(env, "pv1.rpt", layout));
        report->parameterFields().item(1).addCurrentValue(c);
        QCOMPARE(slipKeys(*report), (QStringList{QString::number(a), QString::number(c)}));
    }

    void openModes() {
        TestEnv env;
        const QString path = writeTemplate(env, "pv1.rpt", slipTemplate());
        QVERIFY(ReportEngine().openReport(path, 0));
        QVERIFY(ReportEngine().openReport(path, 1));
        QVERIFY_THROWS_EXCEPTION(ReportError, ReportEngine().openReport(path, 5));
    }
};

QTEST_MAIN(TestReportData)
#include "test_reportdata.moc"
