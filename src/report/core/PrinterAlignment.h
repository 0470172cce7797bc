#pragma once
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <variant>

// How one printer feeds paper, kept apart from the templates: a template says
// where the bank's form has its boxes, the same in every office; a printer's
// alignment corrects where that printer puts what it is sent. Each printer,
// by the name the system knows it by, has its own, in the settings store.
namespace PrinterAlignment {

// The correction printed pages get: a point meant at (x, y) millimetres from
// the sheet's top-left corner is sent to the printer at
// (x * scaleX + offsetX, y * scaleY + offsetY).
struct Alignment {
    double offsetXMm = 0;
    double offsetYMm = 0;
    double scaleX = 1;
    double scaleY = 1;

    bool isIdentity() const;
    QPointF apply(QPointF mm) const;
    // The same for a painter that draws in device dots.
    QTransform transform(double dotsPerMmX, double dotsPerMmY) const;
    bool operator==(const Alignment&) const = default;
};

// The correction may stretch or shrink by no more than this, either way.
constexpr double kMinScale = 0.9;
constexpr double kMaxScale = 1.1;

// The settings store: the alignment of a printer (none: identity), saved,
// reset, and the printers that have one.
Alignment load(const QString& printer);
void save(const QString& printer, const Alignment& alignment);
void reset(const QString& printer);
QStringList alignedPrinters();

// The crosshair marks of the alignment page for a sheet: near each corner
// and at its centre, in millimetres from the top-left corner.
QList<QPointF> marks(QSizeF paperMm);

// Where one mark was meant to print, and where the operator measured it with a
// ruler (millimetres from the sheet's top and left edges).
struct Measure {
    QPointF intended;
    QPointF landed;
};

struct Fit {
    Alignment correction;
    // Per measure, how far it lies from the fitted feed, in millimetres: what
    // no offset and scale can correct.
    QList<double> residualsMm;
};

// Fits the printer's feed - landed = sent * stretch + shift, per axis, by least
// squares - from the marks of a page printed with `printedWith` in force, and
// the correction that undoes it. The text of what is wrong instead when fewer
// than two marks were measured, a measure lies off the paper, or the
// correction would stretch beyond kMinScale..kMaxScale.
std::variant<Fit, QString> fit(const QList<Measure>& measures, QSizeF paperMm, const Alignment& printedWith);

// A correction without measuring: everything came out `rightMm` to the right
// and `lowMm` low with `current` in force.
Alignment shifted(const Alignment& current, double rightMm, double lowMm);

} // namespace PrinterAlignment
