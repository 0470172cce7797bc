#include "ReportError.h"
#include "ReportTestSupport.h"
#include "TemplateCompare.h"
#include "TemplateLoader.h"
#include "TemplateWriter.h"

using namespace ReportTest;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A template written by hand with every option the designer leaves alone.
QJsonObject handWritten() {
    QJsonObject t = slipTemplate(QJsonArray{
        QJsonObject{{"type", "words"},
                    {"x", 5},
                    {"y", 60},
                    {"width", 150},
                    {"height", 5},
                    {"numbering", "international"},
                    {"currency", "Dollars"},
                    {"subunit", "Cents"},
                    {"wrap", false}},
        QJsonObject{{"type", "field"},
                    {"x", 10},
                    {"y", 10},
                    {"width", 60},
                    {"height", 9},
                    {"field", "tblAcc.accname"},
                    {"wrap", true},
                    {"linePitch", 4.5},
                    {"indent", 12},
                    {"font", "Liberation Serif"},
                    {"align", "center"}},
        QJsonObject{{"type", "field"},
                    {"x", 150},
                    {"y", 3},
                    {"width", 44},
                    {"height", 6},
                    {"field", "tblSlip.sdate"},
                    {"format", "ddMMyyyy"},
                    {"pitch", 5.5},
                    {"bold", false},
                    {"size", 10}},
        QJsonObject{
            {"type", "total"}, {"x", 150}, {"y", 70}, {"width", 40}, {"height", 6}, {"format", "#,##0.00"}},
        QJsonObject{
            {"type", "text"}, {"x", 1}, {"y", 1}, {"width", 4}, {"height", 4}, {"text", "\"X\" \\ é"}}});
    t["name"] = "Hand-written";
    t["paper"] = QJsonObject{{"width", 210}, {"height", 99}, {"orientation", "portrait"}};
    t["offset"] = QJsonObject{{"x", -1.5}, {"y", 2}};
    t["defaults"] = QJsonObject{{"font", "Liberation Mono"}, {"size", 8}, {"bold", true}, {"align", "right"}};
    QJsonArray tables = t["tables"].toArray();
    tables[0] = QJsonObject{{"name", "tblSlip"},
                            {"connection", QJsonObject{{"DSN", "slipODBC"}, {"Password", "secret"}}}};
    t["tables"] = tables;
    t["parameters"] =
        QJsonArray{QJsonObject{{"name", "slipKey"}, {"kind", 0}, {"text", "True"}, {"values", QJsonArray{}}},
                   QJsonObject{{"name", "fixed"}, {"kind", 7}, {"values", QJsonArray{12, "HDFC", 2.5}}},
                   QJsonObject{{"name", "many"}, {"kind", 2}, {"values", QJsonArray{"a", "b"}}}};
    t["selection"] = "{tblSlip.sid} = {?slipKey} and {tblAcc.accno} = 'D''Souza'";
    t["lines"] = QJsonObject{{"y", 30},
                             {"pitch", 5.5},
                             {"count", 6},
                             {"elements", QJsonArray{QJsonObject{{"type", "field"},
                                                                 {"x", 5},
                                                                 {"y", 0.5},
                                                                 {"width", 30},
                                                                 {"height", 5},
                                                                 {"field", "tblSlipDetails.chqdate"},
                                                                 {"format", "dd/MM/yy"}}}}};
    return t;
}

} // namespace

class TestTemplateWriter : public QObject {
    Q_OBJECT
private slots:
    void everyShippedTemplateRoundTrips_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : QDir(CHEQORA_SOURCE_DIR "/Reports").entryList({"*.rpt"}))
            QTest::newRow(qPrintable(name)) << name;
    }
    void everyShippedTemplateRoundTrips() {
        QFETCH(QString, name);
        TestEnv env;
        env.copyReports();
        const QString path = env.folder() + "/Reports/" + name;
        const ReportTemplate loaded = TemplateLoader::load(path);
        const QByteArray written = TemplateWriter::toJson(loaded, path);
        // The shipped files are in the written form: opened and saved unchanged, they stay byte for byte.
        QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(readAll(path)));
        const QString again = writeFile(env, "again.rpt", written);
        QCOMPARE(TemplateCompare::difference(TemplateLoader::load(again), loaded), QString());
    }

    void aHandWrittenTemplateKeepsWhatTheDesignerDoesNotEdit() {
        TestEnv env;
        const QString path = writeTemplate(env, "pv9.rpt", handWritten());
        const ReportTemplate original = TemplateLoader::load(path);
        const QByteArray written = TemplateWriter::toJson(original, path);
        const ReportTemplate reread = TemplateLoader::parse(written, path);
        QCOMPARE(TemplateCompare::difference(reread, original), QString());
        QCOMPARE(reread.parameters[1].values, (QVariantList{qint64(12), "HDFC", 2.5}));
        QCOMPARE(reread.element({false, 4}).text, QString("\"X\" \\ é"));
        QCOMPARE(QString::fromUtf8(TemplateWriter::toJson(reread, path)), QString::fromUtf8(written));
    }

    void theFileHasAFixedForm_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("written");
        QTest::newRow("whole") << 12.0 << "\"x\": 12,";
        QTest::newRow("to a tenth up") << 12.36 << "\"x\": 12.4,";
        QTest::newRow("to a tenth down") << 12.34 << "\"x\": 12.3,";
        QTest::newRow("near zero") << 0.04 << "\"x\": 0,";
    }
    void theFileHasAFixedForm() {
        QFETCH(double, x);
        QFETCH(QString, written);
        TestEnv env;
        const QString path = writeTemplate(env, "pv9.rpt", slipTemplate({text(x, 10, "Marker")}));
        const QString file = QString::fromUtf8(TemplateWriter::toJson(TemplateLoader::load(path), path));
        QVERIFY2(file.contains("\n      " + written + "\n"), qPrintable(file));
        QVERIFY(file.startsWith(
            "{\n  \"format\": \"cheqora-report\",\n  \"version\": 1,\n  \"paper\": {\n    \"width\""));
        qsizetype last = -1;
        for (const char* key : {"\"paper\"", "\"offset\"", "\"tables\"", "\"parameters\"", "\"selection\"",
                                "\"defaults\"", "\"elements\""}) {
            const qsizetype at = file.indexOf(QLatin1String(key));
            QVERIFY2(at > last, key);
            last = at;
        }
    }

    void saveKeepsThePreviousFileAndWritesOnlyAValidTemplate() {
        TestEnv env;
        const QString path =
            writeTemplate(env, "pv9.rpt", slipTemplate({text(10, 10, "One"), text(10, 20, "Two")}));
        const QByteArray before = readAll(path);
        ReportTemplate t = TemplateLoader::load(path);
        t.elements[0].box.moveLeft(50);
        TemplateWriter::save(t, path);
        QCOMPARE(readAll(path + ".bak"), before);
        QCOMPARE(TemplateLoader::load(path).elements[0].box.x(), 50.0);
        QCOMPARE(QDir(env.folder() + "/Reports").entryList(QDir::Files).size(), 2); // no temporary file left

        const QByteArray saved = readAll(path);
        t.elements[1].box.moveLeft(200); // 60 mm wide: past the paper's edge
        try {
            TemplateWriter::save(t, path);
            QFAIL("a box off the paper was saved");
        } catch (const ReportError& error) {
            QVERIFY2(error.description().contains("element 2: the box"), qPrintable(error.description()));
            QVERIFY(error.element() == (ElementRef{false, 1}));
        }
        QCOMPARE(readAll(path), saved);
        QCOMPARE(readAll(path + ".bak"), before);
    }
};

QTEST_MAIN(TestTemplateWriter)
#include "test_templatewriter.moc"
