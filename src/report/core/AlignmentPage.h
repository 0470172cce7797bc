#pragma once
#include "PageRenderer.h"
#include "PrinterAlignment.h"

#include <QSizeF>

class QPainter;

// The page that measures a printer: a crosshair at each mark of
// PrinterAlignment::marks, labelled with its distance from the sheet's left
// and top edges, and millimetre rulers along the top and left edges. Printed
// through `alignment` it is the check page: every mark then lands where its
// label says, within half a millimetre.
namespace AlignmentPage {

void render(QPainter& painter, QSizeF paperMm, PageRenderer::Scale scale,
            const PrinterAlignment::Alignment& alignment = {});

} // namespace AlignmentPage
