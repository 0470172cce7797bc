#include "ReportTestSupport.h"
#include "TemplateEditing.h"
#include "TemplateLoader.h"
#include "TemplateWriter.h"

using namespace ReportTest;
using namespace TemplateEditing;

Q_DECLARE_METATYPE(ElementRef)

namespace {

// 210 x 99 mm: a page element at (10, 10) 30 x 5, and a band at 42 with pitch 6 and
// five lines holding one element 6 mm high.
ReportTemplate sample(TestEnv& env) {
    QJsonObject t = slipTemplate({text(10, 10, "Page", 30, 5)});
    t["lines"] = QJsonObject{{"y", 42},
                             {"pitch", 6},
                             {"count", 5},
                             {"elements", QJsonArray{QJsonObject{{"type", "field"},
                                                                 {"x", 65},
                                                                 {"y", 0},
                                                                 {"width", 20},
                                                                 {"height", 6},
                                                                 {"field", "tblSlipDetails.chqno"}}}}};
    return TemplateLoader::load(writeTemplate(env, "pv1.rpt", t));
}

const ElementRef kPage{false, 0};
const ElementRef kBand{true, 0};

} // namespace

class TestTemplateEditing : public QObject {
    Q_OBJECT
private slots:
    void movesStopAtWhereAnElementMayLie_data() {
        QTest::addColumn<QList<ElementRef>>("refs");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<QPointF>("moved");
        QTest::newRow("inside the paper") << QList{kPage} << QPointF(5, 5) << QPointF(5, 5);
        QTest::newRow("past the left edge") << QList{kPage} << QPointF(-20, 0) << QPointF(-10, 0);
        QTest::newRow("past the right edge") << QList{kPage} << QPointF(200, 0) << QPointF(170, 0);
        QTest::newRow("past the bottom") << QList{kPage} << QPointF(0, 100) << QPointF(0, 84);
        // The last of five lines must still fit: the first line's box ends at 99 - 4 * 6.
        QTest::newRow("band down") << QList{kBand} << QPointF(0, 40) << QPointF(0, 27);
        QTest::newRow("band above its line") << QList{kBand} << QPointF(0, -10) << QPointF(0, 0);
        QTest::newRow("together, by the tightest")
            << QList{kPage, kBand} << QPointF(-80, 30) << QPointF(-10, 27);
    }
    void movesStopAtWhereAnElementMayLie() {
        QFETCH(QList<ElementRef>, refs);
        QFETCH(QPointF, delta);
        QFETCH(QPointF, moved);
        TestEnv env;
        ReportTemplate t = sample(env);
        const ReportTemplate before = t;
        QCOMPARE(move(t, {refs.begin(), refs.end()}, delta), moved);
        for (const ElementRef ref : refs)
            QCOMPARE(pageBox(t, ref), pageBox(before, ref).translated(moved));
    }

    void resizeKeepsAUsableBoxOnThePaper_data() {
        QTest::addColumn<QRectF>("wanted");
        QTest::addColumn<QRectF>("got");
        QTest::newRow("as asked") << QRectF(20, 20, 40, 8) << QRectF(20, 20, 40, 8);
        QTest::newRow("too small") << QRectF(20, 20, 0.2, 0) << QRectF(20, 20, kMinSizeMm, kMinSizeMm);
        QTest::newRow("over the edge") << QRectF(200, 95, 30, 10) << QRectF(180, 89, 30, 10);
        QTest::newRow("dragged inside out") << QRectF(50, 30, -10, -5) << QRectF(40, 25, 10, 5);
    }
    void resizeKeepsAUsableBoxOnThePaper() {
        QFETCH(QRectF, wanted);
        QFETCH(QRectF, got);
        TestEnv env;
        ReportTemplate t = sample(env);
        setPageBox(t, kPage, wanted);
        QCOMPARE(pageBox(t, kPage), got);
    }

    void addedElementsBringTheirTablesAndBand() {
        TestEnv env;
        QJsonObject bare = slipTemplate();
        bare["tables"] =
            QJsonArray{QJsonObject{{"name", "tblSlip"}, {"connection", QJsonObject{{"DSN", "slipODBC"}}}}};
        ReportTemplate t = TemplateLoader::load(writeTemplate(env, "pv2.rpt", bare));
        QCOMPARE(add(t, newElement(t, ElementKind::Words), QPointF(10, 80)), (ElementRef{false, 0}));
        QVERIFY(t.readsTable("tblSlipDetails"));
        const auto amount = SlipColumns::qualified("tblSlipDetails.amount");
        QCOMPARE(add(t, newElement(t, ElementKind::Field, amount), QPointF(150, 30)), (ElementRef{true, 0}));
        QCOMPARE(t.lines.lineCount, 5);
        QCOMPARE(t.lines.firstLineY, 30.0);
        QCOMPARE(t.element({true, 0}).box.topLeft(), QPointF(150, 0));
        // Dropped on the third line, it takes the same place in every line.
        const auto bank = SlipColumns::qualified("tblSlipDetails.bank");
        add(t, newElement(t, ElementKind::Field, bank), QPointF(40, 30 + 2 * 6 + 1));
        QCOMPARE(t.element({true, 1}).box.topLeft(), QPointF(40, 1));
        add(t, newElement(t, ElementKind::Field, SlipColumns::qualified("tblAcc.accno")), QPointF(5, 5));
        QVERIFY(t.readsTable("tblAcc"));
        remove(t, {{false, 0}, {true, 0}});
        QCOMPARE(t.elements.size(), size_t(1));
        QCOMPARE(t.lines.elements.size(), size_t(1));
        QCOMPARE(t.lines.elements[0].column->column, QString("bank"));
        // What the editing made, the loader takes.
        const QString path =
            writeFile(env, "pv3.rpt", TemplateWriter::toJson(t, env.folder() + "/Reports/pv3.rpt"));
        QCOMPARE(TemplateLoader::load(path).lines.elements.size(), size_t(1));
    }

    void alignAndDistribute_data() {
        QTest::addColumn<int>("edge"); // -1 distributes across
        QTest::addColumn<QList<double>>("lefts");
        QTest::newRow("left edges") << int(Edge::Left) << QList<double>{10, 10, 10};
        QTest::newRow("right edges") << int(Edge::Right) << QList<double>{120, 110, 100};
        QTest::newRow("centres") << int(Edge::HCenter) << QList<double>{65, 60, 55};
        QTest::newRow("distributed") << -1 << QList<double>{10, 50, 100};
    }
    void alignAndDistribute() {
        QFETCH(int, edge);
        QFETCH(QList<double>, lefts);
        TestEnv env;
        // Widths 30, 40 and 50 at x 10, 40 and 100.
        ReportTemplate t = TemplateLoader::load(writeTemplate(
            env, "pv1.rpt",
            slipTemplate({text(10, 10, "a", 30, 5), text(40, 20, "b", 40, 5), text(100, 30, "c", 50, 5)})));
        const std::vector<ElementRef> all{{false, 0}, {false, 1}, {false, 2}};
        if (edge < 0)
            distribute(t, all, Qt::Horizontal);
        else
            align(t, all, Edge(edge));
        QCOMPARE((QList<double>{t.elements[0].box.x(), t.elements[1].box.x(), t.elements[2].box.x()}), lefts);
    }

    void theBandKeepsEveryLineOnThePaper() {
        TestEnv env;
        ReportTemplate t = sample(env);
        setBand(t, 80, 6);
        QCOMPARE(t.lines.firstLineY, 99.0 - 4 * 6 - 6);
        setBand(t, 0, 50);
        QCOMPARE(t.lines.pitch, (99.0 - 6) / 4);
        setBand(t, -5, 0.2);
        QCOMPARE(t.lines.firstLineY, 0.0);
        QCOMPARE(t.lines.pitch, 1.0);
    }
};

QTEST_MAIN(TestTemplateEditing)
#include "test_templateediting.moc"
