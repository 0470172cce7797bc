#include "DesignerTesting.h"
#include "ElementNames.h"
#include "Palette.h"

using namespace ReportTest;
using namespace DesignerTest;

namespace {

const ElementRef kDepositor{false, 7}; // pv2.rpt: tblSlip.depositedBy at 24.5, 88, 75 x 4.5 mm

QString pv2(TestEnv& env) {
    env.copyReports();
    return env.folder() + "/Reports/pv2.rpt";
}

void drag(QWidget* viewport, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mousePress(viewport, Qt::LeftButton, modifiers, from);
    QTest::mouseMove(viewport, from + (to - from) / 2);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, to);
}

} // namespace

class TestDesignerCanvas : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MsgBox::setTestMode(true);
        MsgBox::clearShown();
    }

    // One run as a person works: drag an element, nudge it with the arrow keys,
    // undo, and find it in the exported PDF where the designer shows it.
    void dragAndNudgeLandWhereThePdfPrints() {
        TestEnv env;
        frmDesigner* window = open(pv2(env));
        QWidget* viewport = window->view().viewport();
        const QRectF start = pageBox(*window, kDepositor);
        QCOMPARE(start, QRectF(24.5, 88, 75, 4.5));

        // 40 pixels right and 80 up at 4 pixels to the millimetre: 10 mm and 20 mm.
        const QPoint grip = onScreen(*window, start.center());
        drag(viewport, grip, grip + QPoint(40, -80));
        QCOMPARE(pageBox(*window, kDepositor).topLeft(), QPointF(34.5, 68));
        QCOMPARE(window->document().undoStack().count(), 1);

        QTest::keyClick(&window->view(), Qt::Key_Right);
        QTest::keyClick(&window->view(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&window->view(), Qt::Key_Left, Qt::AltModifier);
        QTest::keyClick(&window->view(), Qt::Key_Left, Qt::AltModifier);
        const QRectF moved = pageBox(*window, kDepositor);
        QCOMPARE(moved.left(), 34.8);
        QCOMPARE(moved.top(), 73.0);
        QCOMPARE(window->document().undoStack().count(), 2); // the nudges are one step
        QVERIFY(window->windowTitle().startsWith("pv2.rpt*"));
        QVERIFY2(window->view().announcement().contains("x 34.8 mm, y 73.0 mm"),
                 qPrintable(window->view().announcement()));

        // The designer draws the element where the model has it.
        const ElementItem* item = window->view().item(kDepositor);
        QCOMPARE(item->pos(), moved.topLeft());

        const QString pdf = env.folder() + "/test.pdf";
        QVERIFY(window->exportTestPdf(pdf));
        const std::vector<PdfPage> pages = pdfPages(pdf);
        QCOMPARE(pages.size(), size_t(1));
        const PdfWord* word = findWord(pages[0], "Ramachandran");
        QVERIFY(word);
        QVERIFY2(std::abs(word->xMin - moved.left()) <= 0.2, qPrintable(QString::number(word->xMin)));
        const double middle = (word->yMin + word->yMax) / 2;
        QVERIFY2(std::abs(middle - moved.center().y()) <= 0.2, qPrintable(QString::number(middle)));

        QTest::keyClick(&window->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pageBox(*window, kDepositor).topLeft(), QPointF(34.5, 68));
        QTest::keyClick(&window->view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pageBox(*window, kDepositor), start);
        QCOMPARE(window->windowTitle(), QString("pv2.rpt - Cheqora Template Designer"));
        discard(window);
    }

    void selectionAndHandlesWithTheMouse() {
        TestEnv env;
        frmDesigner* window = open(pv2(env));
        QWidget* viewport = window->view().viewport();
        DesignDocument& document = window->document();
        const ElementRef date{false, 0}, branch{false, 1}, count{false, 12}, total{false, 13};

        QTest::mouseClick(viewport, Qt::LeftButton, {}, onScreen(*window, pageBox(*window, date).center()));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier,
                          onScreen(*window, pageBox(*window, branch).center()));
        QCOMPARE(document.selection(), (std::vector<ElementRef>{date, branch}));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier,
                          onScreen(*window, pageBox(*window, date).center()));
        QCOMPARE(document.selection(), std::vector<ElementRef>{branch});

        // A rubber band from empty paper catches what it touches.
        drag(viewport, onScreen(*window, QPointF(150, 38.5)), onScreen(*window, QPointF(201, 52)));
        QCOMPARE(document.selection(), (std::vector<ElementRef>{count, total}));

        // The bottom-right handle of one selected element resizes it, on the grid.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, onScreen(*window, pageBox(*window, total).center()));
        const QRectF box = pageBox(*window, total);
        drag(viewport, onScreen(*window, box.bottomRight()),
             onScreen(*window, box.bottomRight() + QPointF(2, 1.5)));
        QCOMPARE(pageBox(*window, total), QRectF(box.topLeft(), box.size() + QSizeF(2, 1.5)));

        // The second handle left of the paper sets the cheque lines' pitch.
        const LineBand band = document.layout().lines;
        const QPoint pitchHandle =
            onScreen(*window, QPointF(0, band.firstLineY + band.pitch)) - QPoint(10, 0);
        drag(viewport, pitchHandle, pitchHandle + QPoint(0, 4));
        QCOMPARE(document.layout().lines.pitch, band.pitch + 1);
        QCOMPARE(document.layout().lines.firstLineY, band.firstLineY);
        discard(window);
    }

    void theKeyboardReachesEveryElement() {
        TestEnv env;
        frmDesigner* window = open(pv2(env));
        DesignView& view = window->view();
        DesignDocument& document = window->document();
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(document.selection(), (std::vector<ElementRef>{{false, 0}}));
        QCOMPARE(view.announcement(), QString("Date (tblSlip.sdate), x 105.0 mm, y 3.0 mm, 40.0 by 6.0 mm"));
        QCOMPARE(view.accessibleName(), "Page: " + view.announcement());
        QTest::keyClick(&view, Qt::Key_Escape); // nothing selected: Shift+Tab starts from the last
        QTest::keyClick(&view, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(document.selection(), (std::vector<ElementRef>{{true, 4}})); // the last: the band's amount
        QVERIFY(view.announcement().startsWith("Amount (tblSlipDetails.amount), cheque line, x 107.0 mm"));

        // From the palette, Enter adds the chosen item to the page.
        const size_t before = document.layout().elements.size();
        window->palette().setCurrentId("words");
        window->palette().setFocus();
        QTest::keyClick(&window->palette(), Qt::Key_Return);
        QCOMPARE(document.layout().elements.size(), before + 1);
        QCOMPARE(document.selection(), (std::vector<ElementRef>{{false, int(before)}}));
        QCOMPARE(document.layout().elements.back().kind, ElementKind::Words);
        QVERIFY(view.hasFocus());
        QTest::keyClick(&view, Qt::Key_Delete);
        QCOMPARE(document.layout().elements.size(), before);
        discard(window);
    }

    void closingWithUnsavedChangesAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("keep the window") << int(MsgBox::Button::No) << false;
        QTest::newRow("discard") << int(MsgBox::Button::Yes) << true;
    }
    void closingWithUnsavedChangesAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        TestEnv env;
        QPointer<frmDesigner> window = open(pv2(env));
        window->view().setFocus();
        QTest::keyClick(&window->view(), Qt::Key_Tab);
        QTest::keyClick(&window->view(), Qt::Key_Down);
        MsgBox::setNextAnswer(MsgBox::Button(answer));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(shownTexts(),
                 QStringList{"\"pv2.rpt* - Cheqora Template Designer\" holds changes that are not "
                             "saved. Discard them?"});
        QCOMPARE(window.isNull(), closed);
        if (window)
            discard(window);
    }
};

QTEST_MAIN(TestDesignerCanvas)
#include "test_designercanvas.moc"
