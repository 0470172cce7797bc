#include "ReportOutput.h"
#include "PageRenderer.h"
#include "ReportError.h"

#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace ReportOutput {

QPageLayout pageLayout(const ReportTemplate& layout) {
    // The sheet is described to the printer as it is fed: a landscape slip is
    // a portrait sheet turned, so its size is given with the sides swapped.
    const bool landscape = layout.orientation == QPageLayout::Landscape;
    const QSizeF sheet = landscape ? layout.paper.transposed() : layout.paper;
    const QPageSize size(sheet, QPageSize::Millimeter, layout.name, QPageSize::ExactMatch);
    QPageLayout page(size, layout.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    // Paper coordinates: the origin is the sheet's corner, never a printable area's.
    page.setMode(QPageLayout::FullPageMode);
    return page;
}

void print(Report& report, QPagedPaintDevice& device) {
    const std::vector<SlipRecord>& slips = report.slips();
    const ReportTemplate& layout = report.definition();
    device.setPageLayout(pageLayout(layout));
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError::inTemplate(report.filePath(), QStringLiteral("the printer could not be started"));
    const PageRenderer::Scale scale = PageRenderer::deviceScale(painter);
    for (size_t i = 0; i < slips.size(); ++i) {
        if (i > 0)
            device.newPage();
        PageRenderer::render(painter, layout, slips[i], scale, PageRenderer::Mode::Paper);
    }
    painter.end();
}

void writePdf(const QString& path, const QString& title,
              const std::function<void(QPagedPaintDevice&)>& draw) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("The PDF file '%1' cannot be written: %2.")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Cheqora"));
    writer.setTitle(title);
    try {
        draw(writer);
    } catch (const ReportError&) {
        throw ReportError(
            QStringLiteral("The PDF file '%1' cannot be written.").arg(QDir::toNativeSeparators(path)));
    }
}

void exportPdf(Report& report, const QString& path) {
    report.slips(); // read before the file is touched
    writePdf(path, QFileInfo(report.filePath()).fileName(),
             [&](QPagedPaintDevice& device) { print(report, device); });
}

} // namespace ReportOutput
