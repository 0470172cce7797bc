#pragma once
// Shared by the designer tests: a template in a test folder, opened in the
// designer window at a known screen resolution, and the page's coordinates.
#include "../report/ReportTestSupport.h"
#include "../report/TemplateCompare.h"
#include "DesignView.h"
#include "DesignerDialogs.h"
#include "ElementItem.h"
#include "TemplateLoader.h"
#include "WindowTesting.h"
#include "frmDesigner.h"

#include <QPointer>

namespace DesignerTest {

// 4 screen pixels to the millimetre at 100 %: whole pixels for whole quarter millimetres.
inline constexpr double kPixelsPerMm = 4;

// A designer window on the template at path, shown and active, at 100 %.
inline frmDesigner* open(const QString& path) {
    auto* window = new frmDesigner(TemplateLoader::load(path));
    window->view().setTruePixelsPerMm(kPixelsPerMm);
    window->view().setZoom(1.0);
    window->resize(1800, 1000); // the whole page and the handles left of it in view
    if (!showActive(window))
        qFatal("the designer window did not become active");
    window->view().centerOn(window->document().layout().paper.width() / 2,
                            window->document().layout().paper.height() / 2);
    return window;
}

// Where the page point lies in the view's viewport.
inline QPoint onScreen(frmDesigner& window, QPointF mm) {
    return window.view().mapFromScene(mm);
}

inline QRectF pageBox(frmDesigner& window, ElementRef ref) {
    return TemplateEditing::pageBox(window.document().layout(), ref);
}

// Closes the window without the unsaved-changes question.
inline void discard(frmDesigner* window) {
    window->document().undoStack().setClean();
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace DesignerTest
