#include "../report/ReportTestSupport.h"
#include "../report/TemplateCompare.h"
#include "DesignDocument.h"
#include "ReportError.h"
#include "TemplateEditing.h"
#include "TemplateLoader.h"

using namespace ReportTest;
using Change = std::function<void(DesignDocument&)>;
Q_DECLARE_METATYPE(Change)

namespace {

const ElementRef kFirst{false, 0};
const ElementRef kSecond{false, 1};

QString twoElements(TestEnv& env) {
    return writeTemplate(env, "pv1.rpt",
                         slipTemplate({text(10, 10, "One", 30, 5), text(10, 30, "Two", 30, 5)}));
}

void nudge(DesignDocument& d, QPointF delta) {
    const std::vector<ElementRef> selection = d.selection();
    d.change(
        "Nudge", [&](ReportTemplate& t) { TemplateEditing::move(t, selection, delta); }, std::nullopt,
        DesignDocument::kNudge);
}

} // namespace

class TestDesignDocument : public QObject {
    Q_OBJECT
private slots:
    void everyChangeIsUndoneAndRedone_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("move") << Change([](DesignDocument& d) {
            d.change("Move", [](ReportTemplate& t) { TemplateEditing::move(t, {kFirst}, QPointF(5, 7)); });
        });
        QTest::newRow("resize") << Change([](DesignDocument& d) {
            d.change("Resize",
                     [](ReportTemplate& t) { TemplateEditing::setPageBox(t, kFirst, QRectF(1, 2, 50, 9)); });
        });
        QTest::newRow("delete") << Change([](DesignDocument& d) {
            d.change(
                "Delete", [](ReportTemplate& t) { TemplateEditing::remove(t, {kFirst}); },
                std::vector<ElementRef>{});
        });
        QTest::newRow("add") << Change([](DesignDocument& d) {
            d.change("Add", [](ReportTemplate& t) {
                TemplateEditing::add(t, TemplateEditing::newElement(t, ElementKind::Count), QPointF(50, 50));
            });
        });
        QTest::newRow("align") << Change([](DesignDocument& d) {
            d.change("Align", [](ReportTemplate& t) {
                TemplateEditing::align(t, {kFirst, kSecond}, TemplateEditing::Edge::Bottom);
            });
        });
        QTest::newRow("style") << Change([](DesignDocument& d) {
            d.change(
                "Bold", [](ReportTemplate& t) { t.element(kSecond).style.bold = true; }, std::nullopt,
                DesignDocument::kProperty);
        });
    }
    void everyChangeIsUndoneAndRedone() {
        QFETCH(Change, change);
        TestEnv env;
        DesignDocument document(TemplateLoader::load(twoElements(env)));
        const ReportTemplate before = document.layout();
        document.select({kFirst});
        change(document);
        const ReportTemplate after = document.layout();
        QVERIFY(!TemplateCompare::difference(after, before).isEmpty());
        QVERIFY(document.isModified());
        document.undoStack().undo();
        QCOMPARE(TemplateCompare::difference(document.layout(), before), QString());
        QCOMPARE(document.selection(), std::vector<ElementRef>{kFirst});
        QVERIFY(!document.isModified());
        document.undoStack().redo();
        QCOMPARE(TemplateCompare::difference(document.layout(), after), QString());
    }

    void nudgesOfOneSelectionMergeIntoOneStep() {
        TestEnv env;
        DesignDocument document(TemplateLoader::load(twoElements(env)));
        document.select({kFirst});
        nudge(document, QPointF(0.5, 0));
        nudge(document, QPointF(0.5, 0));
        nudge(document, QPointF(0, 5));
        QCOMPARE(document.undoStack().count(), 1);
        QCOMPARE(document.layout().element(kFirst).box.topLeft(), QPointF(11, 15));
        document.select({kSecond});
        nudge(document, QPointF(-0.1, 0));
        QCOMPARE(document.undoStack().count(), 2); // another selection: a step of its own
        document.undoStack().undo();
        document.undoStack().undo();
        QCOMPARE(document.layout().element(kFirst).box.topLeft(), QPointF(10, 10));
        QCOMPARE(document.layout().element(kSecond).box.topLeft(), QPointF(10, 30));
        // A change that changes nothing is no step.
        nudge(document, QPointF(0, 0));
        QCOMPARE(document.undoStack().index(), 0);
    }

    void savingWritesTheFileAndAFaultSelectsItsElement() {
        TestEnv env;
        const QString path = twoElements(env);
        DesignDocument document(TemplateLoader::load(path));
        document.select({kFirst});
        nudge(document, QPointF(5, 0));
        document.save();
        QVERIFY(!document.isModified());
        QCOMPARE(TemplateLoader::load(path).element(kFirst).box.x(), 15.0);
        QVERIFY(QFile::exists(path + ".bak"));

        document.change("Break", [](ReportTemplate& t) { t.element(kSecond).style.sizePt = 100; });
        QVERIFY_THROWS_EXCEPTION(ReportError, document.save());
        QCOMPARE(document.selection(), std::vector<ElementRef>{kSecond});
        QVERIFY(document.isModified());
        QCOMPARE(TemplateLoader::load(path).element(kSecond).style.sizePt, 10.0);
    }
};

QTEST_MAIN(TestDesignDocument)
#include "test_designdocument.moc"
