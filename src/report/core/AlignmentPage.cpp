#include "AlignmentPage.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace AlignmentPage {

namespace {

constexpr double kCrossArmMm = 6;
constexpr double kLineMm = 0.2;

// Ticks every millimetre, longer every five, numbered every ten.
void rulers(QPainter& painter, QSizeF paperMm) {
    for (int mm = 0; mm <= int(paperMm.width()); ++mm) {
        const double length = mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3.5 : 2;
        painter.drawLine(QLineF(mm, 0, mm, length));
        if (mm % 10 == 0 && mm > 0)
            painter.drawText(QRectF(mm - 5, 5.5, 10, 3), Qt::AlignCenter, QString::number(mm));
    }
    for (int mm = 0; mm <= int(paperMm.height()); ++mm) {
        const double length = mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3.5 : 2;
        painter.drawLine(QLineF(0, mm, length, mm));
        if (mm % 10 == 0 && mm > 0)
            painter.drawText(QRectF(5.5, mm - 1.5, 10, 3), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::number(mm));
    }
}

void crosshair(QPainter& painter, QPointF mark, QSizeF paperMm) {
    painter.drawLine(QLineF(mark.x() - kCrossArmMm, mark.y(), mark.x() + kCrossArmMm, mark.y()));
    painter.drawLine(QLineF(mark.x(), mark.y() - kCrossArmMm, mark.x(), mark.y() + kCrossArmMm));
    painter.drawEllipse(mark, 1.5, 1.5);
    // The label stands on the side of the mark towards the middle of the sheet.
    const bool leftHalf = mark.x() <= paperMm.width() / 2;
    const QRectF label(leftHalf ? mark.x() + 2 : mark.x() - 42, mark.y() + 2, 40, 8);
    painter.drawText(label, (leftHalf ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop,
                     QStringLiteral("left %1 mm\ntop %2 mm").arg(mark.x()).arg(mark.y()));
}

} // namespace

void render(QPainter& painter, QSizeF paperMm, PageRenderer::Scale scale,
            const PrinterAlignment::Alignment& alignment) {
    painter.save();
    // Everything below is drawn in millimetres from the sheet's top-left corner.
    painter.setWorldTransform(alignment.transform(scale.dotsPerMmX, scale.dotsPerMmY), true);
    painter.scale(scale.dotsPerMmX, scale.dotsPerMmY);
    QPen pen(Qt::black, kLineMm);
    painter.setPen(pen);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(3); // three millimetres
    painter.setFont(font);
    rulers(painter, paperMm);
    for (const QPointF& mark : PrinterAlignment::marks(paperMm))
        crosshair(painter, mark, paperMm);
    painter.restore();
}

} // namespace AlignmentPage
