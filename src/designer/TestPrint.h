#pragma once
#include "PageRenderer.h"
#include "ReportTemplate.h"
#include "SlipData.h"

class QPagedPaintDevice;

// A test print: the template with the sample slip on plain paper, as it
// prints on the form, with a thin outline of the form's edges and marks at
// its corners, so that the sheet can be held against the form in the light.
namespace TestPrint {

// Draws the page at scale (with the printer offset, without the scan).
void draw(QPainter& painter, const ReportTemplate& layout, const SlipRecord& slip, PageRenderer::Scale scale);

// One page on device (a printer in full-page mode or a PDF writer); throws ReportError.
void print(const ReportTemplate& layout, const SlipRecord& slip, QPagedPaintDevice& device);

// The page into a PDF file; throws ReportError when it cannot be written.
void exportPdf(const ReportTemplate& layout, const SlipRecord& slip, const QString& path);

} // namespace TestPrint
