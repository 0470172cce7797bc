#include "ReportError.h"
#include "ReportTestSupport.h"
#include "SelectionFormula.h"
#include "TemplateLoader.h"

#include <QDateTime>
#include <QFile>
#include <QImage>

using namespace ReportTest;

namespace {

QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

// The valid template with one change made by edit.
QByteArray changed(const std::function<void(QJsonObject&)>& edit) {
    QJsonObject layout = slipTemplate({text(20, 10, "Deposit")});
    edit(layout);
    return json(layout);
}

QJsonObject withElement(QJsonObject layout, const QJsonObject& element) {
    QJsonArray elements = layout["elements"].toArray();
    elements.append(element);
    layout["elements"] = elements;
    return layout;
}

QJsonObject field(const QString& name) {
    return QJsonObject{{"type", "field"}, {"x", 10},     {"y", 10},
                       {"width", 30},     {"height", 5}, {"field", name}};
}

QString loadError(const QString& path) {
    try {
        TemplateLoader::load(path);
    } catch (const ReportError& e) {
        return e.description();
    }
    return QStringLiteral("(loaded without error)");
}

} // namespace

class TestTemplateLoader : public QObject {
    Q_OBJECT
private slots:
    void validTemplateLoads() {
        TestEnv env;
        QJsonObject layout = slipTemplate({text(20, 10, "Deposit")});
        layout["offset"] = QJsonObject{{"x", 1.5}, {"y", -2}};
        layout["lines"] = QJsonObject{{"y", 40},
                                      {"pitch", 6},
                                      {"count", 5},
                                      {"elements", QJsonArray{QJsonObject{{"type", "field"},
                                                                          {"x", 100},
                                                                          {"y", 0},
                                                                          {"width", 30},
                                                                          {"height", 6},
                                                                          {"field", "tblSlipDetails.amount"},
                                                                          {"format", "#,##,##0.00"},
                                                                          {"align", "right"}}}}};
        const ReportTemplate t = TemplateLoader::load(writeTemplate(env, "pv1.rpt", layout));
        QCOMPARE(t.paper, QSizeF(210, 99));
        QCOMPARE(t.orientation, QPageLayout::Landscape); // wider than high
        QCOMPARE(t.printOffset, QPointF(1.5, -2));
        QCOMPARE(t.tables.size(), size_t(3));
        QCOMPARE(t.parameters.size(), size_t(1));
        QCOMPARE(t.parameters[0].name, QString("slipKey"));
        QCOMPARE(t.elements.size(), size_t(1));
        QCOMPARE(t.elements[0].box, QRectF(20, 10, 60, 6));
        QCOMPARE(t.elements[0].style.family, QString("Arial"));
        QCOMPARE(t.lines.lineCount, 5);
        QCOMPARE(t.lines.elements[0].amountPattern, FieldFormat::AmountPattern::Indian);
        QCOMPARE(t.lines.elements[0].style.align, Qt::Alignment(Qt::AlignRight));
        QCOMPARE(t.selection, QString("{tblSlip.sid} = {?slipKey}"));
    }

    void malformedTemplates_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("problem");
        const QByteArray valid = json(slipTemplate({text(20, 10, "Deposit")}));
        QTest::newRow("empty") << QByteArray() << "the file is empty";
        QTest::newRow("blanks only") << QByteArray("  \r\n ") << "the file is empty";
        QTest::newRow("truncated") << valid.left(valid.size() / 2) << "not valid JSON";
        QTest::newRow("not JSON") << QByteArray("\x01\x02RPT binary\x00\xff", 14) << "not valid JSON";
        QTest::newRow("a list, not an object") << QByteArray("[1, 2]") << "one JSON object";
        QTest::newRow("another format") << changed([](QJsonObject& o) { o["format"] = "report"; })
                                        << "\"format\" must be \"cheqora-report\"";
        QTest::newRow("future version")
            << changed([](QJsonObject& o) { o["version"] = 2; }) << "\"version\" is 2";
        QTest::newRow("no paper") << changed([](QJsonObject& o) { o.remove("paper"); })
                                  << "\"paper\" is missing";
        QTest::newRow("paper width as text") << changed([](QJsonObject& o) {
            o["paper"] = QJsonObject{{"width", "210"}, {"height", 99}};
        }) << "paper: \"width\" must be a number, not text";
        QTest::newRow("absurd paper") << changed([](QJsonObject& o) {
            o["paper"] = QJsonObject{{"width", 1e12}, {"height", 99}};
        }) << "it must lie between 20 and 1000";
        QTest::newRow("negative paper") << changed([](QJsonObject& o) {
            o["paper"] = QJsonObject{{"width", 210}, {"height", -5}};
        }) << "\"height\" is -5";
        QTest::newRow("bad orientation") << changed([](QJsonObject& o) {
            o["paper"] = QJsonObject{{"width", 210}, {"height", 99}, {"orientation", "sideways"}};
        }) << "\"orientation\" must be one of portrait, landscape";
        QTest::newRow("absurd offset") << changed([](QJsonObject& o) {
            o["offset"] = QJsonObject{{"x", 500}};
        }) << "offset: \"x\" is 500";
        QTest::newRow("element off the paper") << json(withElement(slipTemplate(), text(200, 10, "Late", 30)))
                                               << "does not fit on the paper (210 x 99 mm)";
        QTest::newRow("absurd element width")
            << json(withElement(slipTemplate(), text(10, 10, "Wide", 1e9))) << "\"width\" is 1000000000";
        QTest::newRow("absurd font size") << changed([](QJsonObject& o) {
            o["elements"] = QJsonArray{QJsonObject{{"type", "text"},
                                                   {"x", 1},
                                                   {"y", 1},
                                                   {"width", 10},
                                                   {"height", 5},
                                                   {"text", "A"},
                                                   {"size", 5000}}};
        }) << "element 1: \"size\" is 5000";
        QTest::newRow("misspelt key") << changed([](QJsonObject& o) {
            o["elements"] = QJsonArray{QJsonObject{{"type", "text"},
                                                   {"x", 1},
                                                   {"y", 1},
                                                   {"width", 10},
                                                   {"heigth", 5},
                                                   {"height", 5},
                                                   {"text", "A"}}};
        }) << "element 1: the key \"heigth\" is unknown";
        QTest::newRow("unknown element type") << changed([](QJsonObject& o) {
            o["elements"] =
                QJsonArray{QJsonObject{{"type", "barcode"}, {"x", 1}, {"y", 1}, {"width", 9}, {"height", 5}}};
        }) << "\"type\" must be one of text, field, total, count, words";
        QTest::newRow("element not an object")
            << changed([](QJsonObject& o) { o["elements"] = QJsonArray{5}; })
            << "element 1 must be an object";
        QTest::newRow("elements not a list") << changed([](QJsonObject& o) { o["elements"] = QJsonObject(); })
                                             << "\"elements\" must be a list";
        QTest::newRow("unknown column")
            << json(withElement(slipTemplate(), field("tblSlip.colour"))) << "no column of tblSlip";
        QTest::newRow("cheque field outside the lines")
            << json(withElement(slipTemplate(), field("tblSlipDetails.bank"))) << "belongs in \"lines\"";
        QTest::newRow("unknown amount format") << changed([](QJsonObject& o) {
            o["elements"] = QJsonArray{QJsonObject{
                {"type", "total"}, {"x", 1}, {"y", 1}, {"width", 20}, {"height", 5}, {"format", "0.000"}}};
        }) << "the amount format \"0.000\" is unknown";
        QTest::newRow("time in a date format") << changed([](QJsonObject& o) {
            QJsonObject date = field("tblSlip.sdate");
            date["format"] = "dd-MM-yyyy hh:mm";
            o["elements"] = QJsonArray{date};
        }) << "may hold only d, M, y and separators";
        QTest::newRow("format on a text column") << changed([](QJsonObject& o) {
            QJsonObject name = field("tblSlip.accName");
            name["format"] = "0.00";
            o["elements"] = QJsonArray{name};
        }) << "the key \"format\" is unknown";
        QTest::newRow("no tblSlip") << changed([](QJsonObject& o) {
            o["tables"] = QJsonArray{QJsonObject{{"name", "tblAcc"}}};
        }) << "\"tables\" must list tblSlip";
        QTest::newRow("unknown table") << changed([](QJsonObject& o) {
            o["tables"] = QJsonArray{QJsonObject{{"name", "tblPayroll"}}};
        }) << "\"tblPayroll\" is no table";
        QTest::newRow("account field without tblAcc") << changed([](QJsonObject& o) {
            o["tables"] = QJsonArray{QJsonObject{{"name", "tblSlip"}}};
            o["elements"] = QJsonArray{field("tblAcc.branch")};
        }) << "needs tblAcc in \"tables\"";
        QTest::newRow("selection outside the subset")
            << changed([](QJsonObject& o) { o["selection"] = "{tblSlip.sid} > 5"; })
            << "the selection formula \"{tblSlip.sid} > 5\" is not understood at character 15";
        QTest::newRow("selection with an unknown parameter")
            << changed([](QJsonObject& o) { o["selection"] = "{tblSlip.sid} = {?slip}"; })
            << "{?slip}, which the template does not have";
        QTest::newRow("kind code as text") << changed([](QJsonObject& o) {
            o["parameters"] = QJsonArray{QJsonObject{{"name", "slipKey"}, {"kind", "zero"}}};
        }) << "parameter 1: \"kind\" must be a number, not text";
        QTest::newRow("kind code with a fraction") << changed([](QJsonObject& o) {
            o["parameters"] = QJsonArray{QJsonObject{{"name", "slipKey"}, {"kind", 0.5}}};
        }) << "\"kind\" must be a whole number";
        QTest::newRow("absurd line count") << changed([](QJsonObject& o) {
            o["lines"] = QJsonObject{{"y", 40}, {"pitch", 6}, {"count", 100000}, {"elements", QJsonArray()}};
        }) << "lines: \"count\" is 100000";
        QJsonArray many;
        for (int i = 0; i < 10000; ++i)
            many.append(text(1, 1, "x", 5, 5));
        QTest::newRow("10,000 elements") << QJsonDocument(slipTemplate(many)).toJson(QJsonDocument::Compact)
                                         << "\"elements\" holds 10000 entries; at most 500";
        QTest::newRow("missing background image") << changed([](QJsonObject& o) {
            o["background"] = QJsonObject{{"image", "scan.png"}};
        }) << "background: the image";
    }
    void malformedTemplates() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, problem);
        TestEnv env;
        const QString path = writeFile(env, "pv9.rpt", contents);
        const QString description = loadError(path);
        QVERIFY2(description.startsWith("Report template '" + QDir::toNativeSeparators(path) + "': "),
                 qPrintable(description));
        QVERIFY2(description.contains(problem), qPrintable(description));
    }

    void fileProblems() {
        TestEnv env;
        const QString missing = env.folder() + "/Reports/pv42.rpt";
        QCOMPARE(loadError(missing), "Report template '" + missing + "': the file does not exist");

        QDir().mkpath(env.folder() + "/Reports/pv43.rpt");
        QVERIFY(loadError(env.folder() + "/Reports/pv43.rpt").endsWith("this is not a file"));

        const QString huge = writeFile(env, "pv44.rpt", QByteArray(TemplateLoader::kMaxFileBytes + 1, ' '));
        QVERIFY(loadError(huge).contains("a template is at most 1048576"));
    }

    void backgroundImages() {
        TestEnv env;
        QDir().mkpath(env.folder() + "/Reports");
        QImage scan(210, 99, QImage::Format_RGB32);
        scan.fill(Qt::yellow);
        QVERIFY(scan.save(env.folder() + "/Reports/scan.png"));
        QJsonObject layout = slipTemplate();
        layout["background"] = QJsonObject{{"image", "scan.png"}, {"width", 200}};
        const ReportTemplate t = TemplateLoader::load(writeTemplate(env, "pv1.rpt", layout));
        QVERIFY(t.background);
        QCOMPARE(t.background->box, QRectF(0, 0, 200, 99));
        QCOMPARE(t.background->image.size(), QSize(210, 99));

        // The image is read again once its file has changed.
        QCOMPARE(t.background->image.pixelColor(5, 5), QColor(Qt::yellow));
        QImage rescanned(105, 50, QImage::Format_RGB32);
        rescanned.fill(Qt::cyan);
        QVERIFY(rescanned.save(env.folder() + "/Reports/scan.png"));
        QFile file(env.folder() + "/Reports/scan.png");
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        file.close();
        const ReportTemplate again = TemplateLoader::load(env.folder() + "/Reports/pv1.rpt");
        QCOMPARE(again.background->image.size(), QSize(105, 50));
        QCOMPARE(again.background->image.pixelColor(5, 5), QColor(Qt::cyan));

        writeFile(env, "fake.png", "not an image at all");
        layout["background"] = QJsonObject{{"image", "fake.png"}};
        const QString description = loadError(writeTemplate(env, "pv2.rpt", layout));
        QVERIFY2(description.contains("fake.png\" cannot be read"), qPrintable(description));
    }

    void selectionSubset_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("conditions"); // table.column=value or table.column=?param
        QTest::newRow("blank") << "   " << QStringList();
        QTest::newRow("number") << "{tblSlip.sid} = 5" << QStringList{"tblSlip.sid=5"};
        QTest::newRow("any case, no blanks") << "{TBLSLIP.SID}=70000" << QStringList{"tblSlip.sid=70000"};
        QTest::newRow("joined by and") << "{tblSlip.sid} = 5 AND {tblAcc.accno} = '00123'"
                                       << QStringList{"tblSlip.sid=5", "tblAcc.accno=00123"};
        QTest::newRow("double quotes")
            << "{tblSlipDetails.bank} = \"HDFC Bank\"" << QStringList{"tblSlipDetails.bank=HDFC Bank"};
        QTest::newRow("doubled quote")
            << "{tblSlip.remarks} = 'it''s'" << QStringList{"tblSlip.remarks=it's"};
        QTest::newRow("decimal") << "{tblSlipDetails.amount} = 1500.50"
                                 << QStringList{"tblSlipDetails.amount=1500.5"};
        QTest::newRow("negative") << "{tblSlip.sno} = -1" << QStringList{"tblSlip.sno=-1"};
        QTest::newRow("parameter") << " {tblSlip.sid} = {?slipKey} " << QStringList{"tblSlip.sid=?slipKey"};
    }
    void selectionSubset() {
        QFETCH(QString, formula);
        QFETCH(QStringList, conditions);
        QStringList parsed;
        for (const auto& c : SelectionFormula::parse(formula, "pv1.rpt"))
            parsed << c.column.table + "." + c.column.column + "=" +
                          (c.parameter.isEmpty() ? c.literal.toString() : "?" + c.parameter);
        QCOMPARE(parsed, conditions);
    }

    void outsideTheSubset_data() {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("problem");
        QTest::newRow("greater than") << "{tblSlip.sid} > 5"
                                      << "at character 15: expected \"=\"";
        QTest::newRow("or") << "{tblSlip.sid} = 5 or {tblSlip.sid} = 6"
                            << "expected \"and\"";
        QTest::newRow("unknown column") << "{tblSlip.nope} = 1"
                                        << "unknown field {tblSlip.nope}";
        QTest::newRow("no value") << "{tblSlip.sid} = "
                                  << "expected a number";
        QTest::newRow("open quote") << "{tblSlip.accno} = 'open"
                                    << "expected the closing quote";
        QTest::newRow("bare column") << "sid = 5"
                                     << "expected a field such as {tblSlip.sid}";
        QTest::newRow("dangling and") << "{tblSlip.sid} = 5 and"
                                      << "expected a field";
        QTest::newRow("empty parameter") << "{tblSlip.sid} = {?}"
                                         << "a parameter field's name";
        QTest::newRow("word glued to and") << "{tblSlip.sid} = 5 andx"
                                           << "expected \"and\"";
        QTest::newRow("function") << "Year({tblSlip.sdate}) = 2024"
                                  << "expected a field";
    }
    void outsideTheSubset() {
        QFETCH(QString, formula);
        QFETCH(QString, problem);
        try {
            SelectionFormula::parse(formula, "/x/pv1.rpt");
            QFAIL("accepted");
        } catch (const ReportError& e) {
            QVERIFY2(e.description().startsWith("Report template '/x/pv1.rpt': "),
                     qPrintable(e.description()));
            QVERIFY2(e.description().contains(problem), qPrintable(e.description()));
        }
    }
};

QTEST_MAIN(TestTemplateLoader)
#include "test_templateloader.moc"
