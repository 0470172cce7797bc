#pragma once
#include "ReportTemplate.h"
#include "SlipData.h"

#include <QSizeF>
#include <QString>

class QPainter;

// Draws one slip page of a template with QPainter in true physical size: the
// caller says how many device dots make a millimetre.
namespace PageRenderer {

constexpr double kMmPerInch = 25.4;

enum class Mode {
    Preview, // the background image is drawn; the printer offset is not applied
    Paper,   // printing and PDF: the printer offset moves everything, no background
};

struct Scale {
    double dotsPerMmX = 1;
    double dotsPerMmY = 1;
};

// The dots per millimetre of the device the painter paints on, times zoom.
Scale deviceScale(const QPainter& painter, double zoom = 1.0);

void render(QPainter& painter, const ReportTemplate& layout, const SlipRecord& slip, Scale scale, Mode mode);

// Draws one element's text in boxMm as render() draws every element, with the
// painter's origin at the paper's corner (no printer offset, no background).
void renderElement(QPainter& painter, const Element& element, const QRectF& boxMm, const QString& text,
                   Scale scale);

// The room text takes when element prints it, in millimetres: its width, and
// its height (all wrapped lines). Measured at printer resolution.
QSizeF textExtent(const Element& element, const QString& text);

// Whether text printed by element reaches past its box.
bool overflows(const Element& element, const QString& text);

// The text an element prints for a slip; line is the cheque line of the band,
// or null outside it.
QString elementText(const Element& element, const SlipRecord& slip, const QVariantMap* line);

// The sum of the slip's cheque amounts in hundredths (lines without a number count 0).
qint64 totalCents(const SlipRecord& slip);

} // namespace PageRenderer
