#include "frmReport.h"

frmReport::frmReport() {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    setWindowFlags(Qt::Window);
    CViewer = new ::CViewer(this);
    CViewer->setObjectName(QStringLiteral("CViewer"));
    CViewer->setAccessibleName(QStringLiteral("Report preview"));
    setFocusProxy(CViewer);
    resize(900, 600);
    setWindowState(Qt::WindowMaximized);
    Form_Load();
    Form_Resize();
}

quintptr frmReport::hWnd() {
    return static_cast<quintptr>(winId());
}

void frmReport::Form_Load() {
    CViewer->move(0, 0);
}

void frmReport::Form_Resize() {
    // Exactly the window's size; nothing is subtracted.
    CViewer->resize(width(), height());
}

void frmReport::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}
