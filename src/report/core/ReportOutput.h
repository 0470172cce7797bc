#pragma once
#include "PageSet.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;

// Pages on paper: 100% scale on each page's own template paper, in paper
// coordinates from the sheet's top-left corner, with the printer offset and
// without the background image. One print is one job, whatever the templates.
namespace ReportOutput {

// The template's paper with no margins.
QPageLayout pageLayout(const ReportTemplate& layout);

// Told how far a print has come: step of steps, where the first half of the
// steps reads the pages and the second draws them. Returning false cancels.
using Progress = std::function<bool(int step, int steps)>;

struct Result {
    int pages = 0;
    bool cancelled = false;
    QStringList leftOut; // the slips no longer stored, named
};

// Prints every page on device (a printer in full-page mode, or a PDF writer),
// each on its own template's paper. Every page is read before the first is
// drawn, so a failure leaves nothing drawn; slips no longer stored are left
// out. After a cancel while drawing, the device holds part of the pages: the
// caller discards them. Throws ReportError or DbError.
Result print(PageSet& pages, QPagedPaintDevice& device, const Progress& progress = {});
void print(Report& report, QPagedPaintDevice& device);

// Writes every page to a PDF file at path. The file appears only when all is
// written: a failure or a cancel leaves whatever was at path untouched.
// Throws ReportError when the file cannot be written.
Result exportPdf(PageSet& pages, const QString& path, const Progress& progress = {});
void exportPdf(Report& report, const QString& path);

} // namespace ReportOutput
