#include "ReportOutput.h"
#include "PageRenderer.h"
#include "ReportError.h"

#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace ReportOutput {

QPageLayout pageLayout(const ReportTemplate& layout) {
    return pageLayout(layout.paper, layout.orientation, layout.name);
}

QPageLayout pageLayout(QSizeF paperMm, QPageLayout::Orientation orientation, const QString& name) {
    // The sheet is described to the printer as it is fed: a landscape slip is
    // a portrait sheet turned, so its size is given with the sides swapped.
    const bool landscape = orientation == QPageLayout::Landscape;
    const QSizeF sheet = landscape ? paperMm.transposed() : paperMm;
    const QPageSize size(sheet, QPageSize::Millimeter, name, QPageSize::ExactMatch);
    QPageLayout page(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    // Paper coordinates: the origin is the sheet's corner, never a printable area's.
    page.setMode(QPageLayout::FullPageMode);
    return page;
}

Result print(PageSet& pages, QPagedPaintDevice& device, const Progress& progress,
             const PrinterAlignment::Alignment& alignment) {
    const int count = pages.count();
    const auto goOn = [&](int step) { return !progress || progress(step, 2 * count); };
    Result result;
    std::vector<PageSet::Page> printed;
    for (int i = 0; i < count; ++i) {
        if (!goOn(i))
            return {0, true, {}};
        const PageSet::Page page = pages.page(i);
        if (page.slip)
            printed.push_back(page);
        else
            result.leftOut << pages.slipName(i);
    }
    QPainter painter;
    for (size_t i = 0; i < printed.size(); ++i) {
        if (!goOn(count + int(i))) {
            result.cancelled = true;
            break;
        }
        // Each page on its own paper: the layout is set before the page begins.
        device.setPageLayout(pageLayout(*printed[i].layout));
        if (i == 0) {
            if (!painter.begin(&device))
                throw ReportError::inTemplate(printed[i].layout->filePath,
                                              QStringLiteral("the printer could not be started"));
        } else {
            device.newPage();
        }
        const PageRenderer::Scale scale = PageRenderer::deviceScale(painter);
        painter.setWorldTransform(alignment.transform(scale.dotsPerMmX, scale.dotsPerMmY));
        PageRenderer::render(painter, *printed[i].layout, *printed[i].slip, scale, PageRenderer::Mode::Paper);
        ++result.pages;
    }
    if (painter.isActive())
        painter.end();
    if (!result.cancelled)
        goOn(2 * count);
    return result;
}

namespace {

// Writes a PDF beside path and gives it that name when draw says the pages are
// complete: a failure, a cancel or a crash never leaves half a file under the
// chosen name.
void writePdfFile(const QString& path, const QString& title,
                  const std::function<bool(QPagedPaintDevice&)>& draw) {
    const auto cannotWrite = [&](const QString& reason) {
        return ReportError(QStringLiteral("The PDF file '%1' cannot be written: %2.")
                               .arg(QDir::toNativeSeparators(path), reason));
    };
    QTemporaryFile file(path + QStringLiteral(".XXXXXX.part"));
    if (!file.open())
        throw cannotWrite(file.errorString());
    bool complete = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("Cheqora"));
        writer.setTitle(title);
        complete = draw(writer);
    }
    if (!complete)
        return;
    file.close();
    if (QFile::exists(path) && !QFile::remove(path))
        throw cannotWrite(QStringLiteral("the file that is there cannot be replaced"));
    // Once renamed, the file is the target and must outlive this object.
    file.setAutoRemove(false);
    if (!file.rename(path)) {
        const QString reason = file.errorString();
        file.remove();
        throw cannotWrite(reason);
    }
}

} // namespace

void writePdf(const QString& path, const QString& title,
              const std::function<void(QPagedPaintDevice&)>& draw) {
    writePdfFile(path, title, [&](QPagedPaintDevice& device) {
        draw(device);
        return true;
    });
}

Result exportPdf(PageSet& pages, const QString& path, const Progress& progress) {
    Result result;
    writePdfFile(path, pages.documentName(), [&](QPagedPaintDevice& device) {
        result = print(pages, device, progress);
        return !result.cancelled && result.pages > 0;
    });
    return result;
}

void exportPdf(Report& report, const QString& path) {
    report.slips(); // read before the file is touched
    ReportPages pages(std::shared_ptr<Report>(&report, [](Report*) {}));
    exportPdf(pages, path);
}

} // namespace ReportOutput
