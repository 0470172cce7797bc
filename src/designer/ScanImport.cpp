#include "ScanImport.h"
#include "PageRenderer.h"
#include "ReportError.h"
#include "TemplateLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>
#include <cmath>

namespace ScanImport {

namespace {

// Qt gives an image that states no resolution 96 dpi.
constexpr int kUnstatedDotsPerMetre = 3780;

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// <template name>-form.<ext> beside the template, or -form-2, -form-3 ... when taken.
QString freeName(const QString& templatePath, const QString& suffix) {
    const QFileInfo info(templatePath);
    const QString stem = info.dir().absoluteFilePath(info.completeBaseName() + QStringLiteral("-form"));
    QString candidate = stem + QLatin1Char('.') + suffix;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = stem + QStringLiteral("-%1.").arg(n) + suffix;
    return candidate;
}

void checkSize(const QString& path, QSize size) {
    if (size.width() > TemplateLoader::kMaxImagePixels || size.height() > TemplateLoader::kMaxImagePixels)
        throw ReportError(QStringLiteral("The image \"%1\" is %2 x %3 pixels; at most %4 x %4 are allowed.")
                              .arg(shown(path))
                              .arg(size.width())
                              .arg(size.height())
                              .arg(TemplateLoader::kMaxImagePixels));
}

// A template places a scan of 1 to 1000 mm a side.
QRectF checkedBox(const QRectF& box) {
    const auto fits = [](double mm) { return mm >= 1 && mm <= TemplateLoader::kMaxPaperMm; };
    if (!fits(box.width()) || !fits(box.height()))
        throw ReportError(QStringLiteral("At this scale the scan would be %1 x %2 mm; a scan is 1 to %3 mm "
                                         "a side. Nothing was changed.")
                              .arg(box.width(), 0, 'f', 1)
                              .arg(box.height(), 0, 'f', 1)
                              .arg(TemplateLoader::kMaxPaperMm));
    return box;
}

void openPdf(QPdfDocument& pdf, const QString& path) {
    if (pdf.load(path) != QPdfDocument::Error::None)
        throw ReportError(QStringLiteral("The file \"%1\" cannot be read as a PDF.").arg(shown(path)));
    if (pdf.pageCount() < 1)
        throw ReportError(QStringLiteral("The PDF \"%1\" has no pages.").arg(shown(path)));
}

} // namespace

Scan importImage(const QString& imagePath, const QString& templatePath) {
    QImageReader reader(imagePath);
    const QByteArray format = reader.format();
    if (!QByteArrayList{"png", "jpeg", "jpg", "tiff", "tif", "bmp"}.contains(format))
        throw ReportError(
            QStringLiteral("The file \"%1\" is no PNG, JPEG, TIFF or BMP image.").arg(shown(imagePath)));
    checkSize(imagePath, reader.size());
    QImage image = reader.read();
    if (image.isNull())
        throw ReportError(QStringLiteral("The image \"%1\" cannot be read: %2.")
                              .arg(shown(imagePath), reader.errorString()));
    Scan scan;
    scan.dotsPerMm = statedDotsPerMm(image);
    const QString suffix = format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
    scan.path = freeName(templatePath, suffix);
    if (!QFile::copy(imagePath, scan.path))
        throw ReportError(QStringLiteral("The image cannot be copied to \"%1\".").arg(shown(scan.path)));
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    scan.image = image;
    return scan;
}

int pdfPageCount(const QString& pdfPath) {
    QPdfDocument pdf;
    openPdf(pdf, pdfPath);
    return pdf.pageCount();
}

Scan importPdfPage(const QString& pdfPath, int pageIndex, const QString& templatePath) {
    QPdfDocument pdf;
    openPdf(pdf, pdfPath);
    if (pageIndex < 0 || pageIndex >= pdf.pageCount())
        throw ReportError(
            QStringLiteral("The PDF \"%1\" has no page %2.").arg(shown(pdfPath)).arg(pageIndex + 1));
    const QSizeF points = pdf.pagePointSize(pageIndex);
    const QSize pixels(qRound(points.width() / 72.0 * kPdfDpi), qRound(points.height() / 72.0 * kPdfDpi));
    checkSize(pdfPath, pixels);
    QImage rendered = pdf.render(pageIndex, pixels);
    if (rendered.isNull())
        throw ReportError(
            QStringLiteral("Page %1 of \"%2\" cannot be drawn.").arg(pageIndex + 1).arg(shown(pdfPath)));
    // Paper is white where the page leaves it transparent.
    QImage page(rendered.size(), QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.drawImage(0, 0, rendered);
    }
    const int dotsPerMetre = qRound(kPdfDpi / PageRenderer::kMmPerInch * 1000);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    Scan scan;
    scan.path = freeName(templatePath, QStringLiteral("png"));
    if (!page.save(scan.path, "PNG"))
        throw ReportError(QStringLiteral("The page cannot be saved as \"%1\".").arg(shown(scan.path)));
    scan.image = page;
    scan.dotsPerMm = dotsPerMetre / 1000.0;
    return scan;
}

std::optional<double> statedDotsPerMm(const QImage& image) {
    if (image.dotsPerMeterX() <= 0 || std::abs(image.dotsPerMeterX() - kUnstatedDotsPerMetre) <= 1)
        return std::nullopt;
    return image.dotsPerMeterX() / 1000.0;
}

QRectF boxFromPaper(const QSizeF& paper) {
    return QRectF(QPointF(0, 0), paper);
}

QRectF boxFromResolution(const QSize& pixels, double dotsPerMm, QPointF topLeft) {
    return checkedBox(QRectF(topLeft, QSizeF(pixels.width() / dotsPerMm, pixels.height() / dotsPerMm)));
}

QRectF boxFromTwoPoints(const QSize& pixels, const QRectF& box, QPointF first, QPointF second,
                        double distanceMm) {
    if (!(distanceMm > 0))
        throw ReportError(QStringLiteral(
            "The distance between the two points must be more than 0 mm. Nothing was changed."));
    const auto toPixels = [&](QPointF mm) {
        return QPointF((mm.x() - box.left()) * pixels.width() / box.width(),
                       (mm.y() - box.top()) * pixels.height() / box.height());
    };
    const QPointF a = toPixels(first);
    const QPointF b = toPixels(second);
    const double apart = std::hypot(a.x() - b.x(), a.y() - b.y());
    if (apart < 1)
        throw ReportError(QStringLiteral("The two points lie at one place on the scan; click two points "
                                         "that lie apart."));
    const double mmPerPixel = distanceMm / apart;
    return checkedBox(
        QRectF(first - a * mmPerPixel, QSizeF(pixels.width() * mmPerPixel, pixels.height() * mmPerPixel)));
}

} // namespace ScanImport
