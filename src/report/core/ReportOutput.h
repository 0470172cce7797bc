#pragma once
#include "PageSet.h"
#include "PrinterAlignment.h"

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
// A paper of that size (as the page is drawn) and orientation, with no
// margins, in paper coordinates.
QPageLayout pageLayout(QSizeF paperMm, QPageLayout::Orientation orientation, const QString& name = {});

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
// Printing on a printer, the printer's alignment moves and stretches every
// page on top of its template's printer offset; a PDF gets none.
Result print(PageSet& pages, QPagedPaintDevice& device, const Progress& progress = {},
             const PrinterAlignment::Alignment& alignment = {});

// A PDF file at path, at 1200 dpi, its pages drawn by draw. The file appears
// only when all is written: a failure leaves whatever was at path untouched.
// Throws ReportError when the file cannot be written.
void writePdf(const QString& path, const QString& title, const std::function<void(QPagedPaintDevice&)>& draw);

// Writes every page to a PDF file at path, as writePdf does; a cancel leaves
// whatever was at path untouched too. Throws ReportError when the file cannot
// be written.
Result exportPdf(PageSet& pages, const QString& path, const Progress& progress = {});
void exportPdf(Report& report, const QString& path);

} // namespace ReportOutput
