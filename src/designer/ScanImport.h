#pragma once
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

// The scan of a bank's blank form behind a template: copied beside the
// template, and placed on the page at its true size.
namespace ScanImport {

// The resolution PDF pages are turned into images at.
inline constexpr double kPdfDpi = 300;

struct Scan {
    QString path; // the copy beside the template
    QImage image;
    std::optional<double> dotsPerMm; // the resolution the image states, when it states one
};

// Copies a PNG, JPEG, TIFF or BMP image beside the template (as <name>-form.<ext>,
// numbered when taken). Throws ReportError for an image that cannot be read or
// is over TemplateLoader::kMaxImagePixels a side; nothing is copied then.
Scan importImage(const QString& imagePath, const QString& templatePath);

// The pages of a PDF file; throws ReportError for a file that is no readable
// PDF or has no pages.
int pdfPageCount(const QString& pdfPath);

// Page pageIndex (from 0) of a PDF at kPdfDpi, saved beside the template as a
// PNG stating that resolution. Throws ReportError as above.
Scan importPdfPage(const QString& pdfPath, int pageIndex, const QString& templatePath);

// The resolution an image states (dots per millimetre); nothing when it states
// none (Qt reads that as 96 dpi, which no scanner uses).
std::optional<double> statedDotsPerMm(const QImage& image);

// The scan as the whole sheet: the paper's size from its corner.
QRectF boxFromPaper(const QSizeF& paper);

// The scan at the resolution it states, its top-left corner kept.
QRectF boxFromResolution(const QSize& pixels, double dotsPerMm, QPointF topLeft);

// The scan scaled so that two points on it (millimetres on the page, where
// box shows it now) lie distanceMm apart; the first point stays where it is.
// Throws ReportError for a distance of 0 or less, or two points at one place.
QRectF boxFromTwoPoints(const QSize& pixels, const QRectF& box, QPointF first, QPointF second,
                        double distanceMm);

} // namespace ScanImport
