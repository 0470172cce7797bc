#include "TestPrint.h"
#include "ReportError.h"
#include "ReportOutput.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>

namespace TestPrint {

namespace {

constexpr double kCornerMarkMm = 8;
constexpr double kOutlineMm = 0.1;

} // namespace

void draw(QPainter& painter, const ReportTemplate& layout, const SlipRecord& slip,
          PageRenderer::Scale scale) {
    PageRenderer::render(painter, layout, slip, scale, PageRenderer::Mode::Paper);
    // The form's edges where the printer puts them: moved by the offset like the figures.
    const QRectF form(
        QPointF(layout.printOffset.x() * scale.dotsPerMmX, layout.printOffset.y() * scale.dotsPerMmY),
        QSizeF(layout.paper.width() * scale.dotsPerMmX, layout.paper.height() * scale.dotsPerMmY));
    painter.save();
    painter.setPen(QPen(Qt::gray, kOutlineMm * scale.dotsPerMmX));
    painter.drawRect(form);
    painter.setPen(QPen(Qt::black, 2 * kOutlineMm * scale.dotsPerMmX));
    const double dx = kCornerMarkMm * scale.dotsPerMmX;
    const double dy = kCornerMarkMm * scale.dotsPerMmY;
    for (const QPointF& corner : {form.topLeft(), form.topRight(), form.bottomLeft(), form.bottomRight()}) {
        const double sx = corner.x() > form.center().x() ? -dx : dx;
        const double sy = corner.y() > form.center().y() ? -dy : dy;
        painter.drawLine(corner, corner + QPointF(sx, 0));
        painter.drawLine(corner, corner + QPointF(0, sy));
    }
    painter.restore();
}

void print(const ReportTemplate& layout, const SlipRecord& slip, QPagedPaintDevice& device) {
    device.setPageLayout(ReportOutput::pageLayout(layout));
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError::inTemplate(layout.filePath, QStringLiteral("the printer could not be started"));
    draw(painter, layout, slip, PageRenderer::deviceScale(painter));
    painter.end();
}

void exportPdf(const ReportTemplate& layout, const SlipRecord& slip, const QString& path) {
    ReportOutput::writePdf(path, QFileInfo(layout.filePath).fileName() + QStringLiteral(" (test print)"),
                           [&](QPagedPaintDevice& device) { print(layout, slip, device); });
}

} // namespace TestPrint
