#include "PrinterAlignment.h"
#include "Settings.h"

#include <QSettings>
#include <QUrl>
#include <cmath>

namespace PrinterAlignment {

namespace {

const QString kApplication = QStringLiteral("alignment");

// A printer's name as a settings section: "/" and "\" would nest sections.
QString section(const QString& printer) {
    return QString::fromLatin1(QUrl::toPercentEncoding(printer));
}

// Least squares of y = a x + b.
struct Line {
    double a = 1;
    double b = 0;
};

std::optional<Line> fitLine(const QList<double>& x, const QList<double>& y) {
    const double n = double(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double spread = n * sxx - sx * sx;
    if (std::abs(spread) < 1e-9 * std::max(1.0, n * sxx))
        return std::nullopt; // every mark at one place: the stretch cannot be told
    const double a = (n * sxy - sx * sy) / spread;
    return Line{a, (sy - a * sx) / n};
}

} // namespace

bool Alignment::isIdentity() const {
    return *this == Alignment{};
}

QPointF Alignment::apply(QPointF mm) const {
    return {mm.x() * scaleX + offsetXMm, mm.y() * scaleY + offsetYMm};
}

QTransform Alignment::transform(double dotsPerMmX, double dotsPerMmY) const {
    return QTransform(scaleX, 0, 0, scaleY, offsetXMm * dotsPerMmX, offsetYMm * dotsPerMmY);
}

Alignment load(const QString& printer) {
    const QString name = section(printer);
    auto number = [&](const char* key, double fallback) {
        bool ok = false;
        const double value = Settings::GetSetting(kApplication, name, QLatin1String(key)).toDouble(&ok);
        return ok && std::isfinite(value) ? value : fallback;
    };
    Alignment alignment{number("offsetX", 0), number("offsetY", 0), number("scaleX", 1), number("scaleY", 1)};
    // A store edited by hand never stretches a page beyond what a fit allows.
    if (alignment.scaleX < kMinScale || alignment.scaleX > kMaxScale || alignment.scaleY < kMinScale ||
        alignment.scaleY > kMaxScale)
        return {};
    return alignment;
}

void save(const QString& printer, const Alignment& alignment) {
    const QString name = section(printer);
    auto text = [](double value) { return QString::number(value, 'g', 12); };
    Settings::SaveSetting(kApplication, name, QStringLiteral("offsetX"), text(alignment.offsetXMm));
    Settings::SaveSetting(kApplication, name, QStringLiteral("offsetY"), text(alignment.offsetYMm));
    Settings::SaveSetting(kApplication, name, QStringLiteral("scaleX"), text(alignment.scaleX));
    Settings::SaveSetting(kApplication, name, QStringLiteral("scaleY"), text(alignment.scaleY));
}

void reset(const QString& printer) {
    Settings::RemoveSection(kApplication, section(printer));
}

QStringList alignedPrinters() {
    QStringList printers;
    for (const QString& name : Settings::Sections(kApplication))
        printers << QUrl::fromPercentEncoding(name.toLatin1());
    return printers;
}

QList<QPointF> marks(QSizeF paperMm) {
    // Far enough in from the edges for any printer's unprintable margin.
    const double inset = std::min(15.0, std::min(paperMm.width(), paperMm.height()) / 4);
    const double right = paperMm.width() - inset;
    const double bottom = paperMm.height() - inset;
    return {{inset, inset},
            {right, inset},
            {inset, bottom},
            {right, bottom},
            {paperMm.width() / 2, paperMm.height() / 2}};
}

std::variant<Fit, QString> fit(const QList<Measure>& measures, QSizeF paperMm, const Alignment& printedWith) {
    if (measures.size() < 2)
        return QStringLiteral("Measure at least two marks.");
    QList<double> sentX, sentY, landedX, landedY;
    for (qsizetype i = 0; i < measures.size(); ++i) {
        const QPointF landed = measures[i].landed;
        if (landed.x() < 0 || landed.x() > paperMm.width() || landed.y() < 0 || landed.y() > paperMm.height())
            return QStringLiteral("Mark %1: %2 mm from the left and %3 mm from the top is off the paper "
                                  "(%4 x %5 mm).")
                .arg(i + 1)
                .arg(landed.x())
                .arg(landed.y())
                .arg(paperMm.width())
                .arg(paperMm.height());
        const QPointF sent = printedWith.apply(measures[i].intended);
        sentX << sent.x();
        sentY << sent.y();
        landedX << landed.x();
        landedY << landed.y();
    }
    const std::optional<Line> feedX = fitLine(sentX, landedX);
    const std::optional<Line> feedY = fitLine(sentY, landedY);
    if (!feedX || !feedY)
        return QStringLiteral("Measure marks that lie apart both across and down the sheet.");
    // The printer puts what it is sent at a x + b; sending (p - b) / a puts p where it belongs.
    const Alignment correction{-feedX->b / feedX->a, -feedY->b / feedY->a, 1 / feedX->a, 1 / feedY->a};
    for (const double scale : {correction.scaleX, correction.scaleY}) {
        if (!(scale >= kMinScale && scale <= kMaxScale))
            return QStringLiteral("The measures ask for a stretch of %1 %, outside %2 to %3 %: check them.")
                .arg(scale * 100, 0, 'f', 1)
                .arg(kMinScale * 100)
                .arg(kMaxScale * 100);
    }
    Fit result{correction, {}};
    for (qsizetype i = 0; i < measures.size(); ++i) {
        const QPointF expected(feedX->a * sentX[i] + feedX->b, feedY->a * sentY[i] + feedY->b);
        result.residualsMm << std::hypot(expected.x() - landedX[i], expected.y() - landedY[i]);
    }
    return result;
}

Alignment shifted(const Alignment& current, double rightMm, double lowMm) {
    Alignment corrected = current;
    corrected.offsetXMm -= rightMm;
    corrected.offsetYMm -= lowMm;
    return corrected;
}

} // namespace PrinterAlignment
