#pragma once
#include "ReportEngine.h"

#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;

// A report's pages on paper: 100% scale on the template's paper size, in
// paper coordinates from the sheet's top-left corner, with the printer offset
// and without the background image.
namespace ReportOutput {

// The template's paper with no margins.
QPageLayout pageLayout(const ReportTemplate& layout);

// Prints every page of report on device (a printer in full-page mode, or a
// PDF writer). The data is read first, so a failure leaves nothing half
// printed. Throws ReportError or DbError.
void print(Report& report, QPagedPaintDevice& device);

// A PDF file at path, at 1200 dpi, its pages drawn by draw; throws ReportError
// when the file cannot be written.
void writePdf(const QString& path, const QString& title, const std::function<void(QPagedPaintDevice&)>& draw);

// Writes every page of report to a PDF file at path; throws ReportError when
// the file cannot be written.
void exportPdf(Report& report, const QString& path);

} // namespace ReportOutput
