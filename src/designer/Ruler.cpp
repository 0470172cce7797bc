#include "Ruler.h"
#include "DesignView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

Ruler::Ruler(Qt::Orientation orientation, DesignView& view, QWidget* parent)
    : QWidget(parent), m_orientation(orientation), m_view(view) {
    const bool across = orientation == Qt::Horizontal;
    setObjectName(across ? QStringLiteral("rulerTop") : QStringLiteral("rulerLeft"));
    setAccessibleName(across ? QStringLiteral("Horizontal ruler in millimetres")
                             : QStringLiteral("Vertical ruler in millimetres"));
    if (across)
        setFixedHeight(kThickness);
    else
        setFixedWidth(kThickness);
    connect(&view, &DesignView::viewChanged, this, qOverload<>(&QWidget::update));
    connect(&view, &DesignView::pointerMoved, this,
            [this](QPointF mm) { setPointer(m_orientation == Qt::Horizontal ? mm.x() : mm.y()); });
}

void Ruler::setPointer(double mm) {
    m_pointer = mm;
    update();
}

double Ruler::pixelAt(double mm) const {
    const QPointF inViewport = m_view.viewportTransform().map(QPointF(mm, mm));
    const QPoint offset = mapFromGlobal(m_view.viewport()->mapToGlobal(QPoint(0, 0)));
    return m_orientation == Qt::Horizontal ? inViewport.x() + offset.x() : inViewport.y() + offset.y();
}

double Ruler::mmAt(double pixel) const {
    const double zero = pixelAt(0);
    return (pixel - zero) / m_view.pixelsPerMm();
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    const bool across = m_orientation == Qt::Horizontal;
    const double length = across ? width() : height();
    const double perMm = m_view.pixelsPerMm();
    // Labels every 10 mm, or further apart when they would crowd.
    int labelStep = 10;
    for (const int step : {10, 20, 50, 100, 200, 500}) {
        labelStep = step;
        if (step * perMm >= 40)
            break;
    }
    const int tickStep = perMm >= 4 ? 1 : perMm >= 1 ? 5 : 10;
    const int first = int(std::floor(mmAt(0) / tickStep)) * tickStep;
    const int last = int(std::ceil(mmAt(length)));
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    for (int mm = first; mm <= last; mm += tickStep) {
        const double at = pixelAt(mm);
        const int tick = mm % labelStep == 0 ? kThickness : mm % 5 == 0 ? kThickness / 2 : kThickness / 4;
        if (across)
            painter.drawLine(QPointF(at, kThickness - tick), QPointF(at, kThickness));
        else
            painter.drawLine(QPointF(kThickness - tick, at), QPointF(kThickness, at));
        if (mm % labelStep == 0) {
            if (across) {
                painter.drawText(QPointF(at + 2, 9), QString::number(mm));
            } else {
                painter.save();
                painter.translate(9, at - 2);
                painter.rotate(-90);
                painter.drawText(QPointF(0, 0), QString::number(mm));
                painter.restore();
            }
        }
    }
    painter.setPen(Qt::red);
    const double pointer = pixelAt(m_pointer);
    if (across)
        painter.drawLine(QPointF(pointer, 0), QPointF(pointer, kThickness));
    else
        painter.drawLine(QPointF(0, pointer), QPointF(kThickness, pointer));
}

void Ruler::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pulling = true;
}

void Ruler::mouseMoveEvent(QMouseEvent* event) {
    if (m_pulling)
        m_view.pullGuide(m_orientation, event->globalPosition().toPoint());
}

void Ruler::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pulling)
        return;
    m_pulling = false;
    m_view.dropGuide(m_orientation, event->globalPosition().toPoint());
}
