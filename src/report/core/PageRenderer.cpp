#include "PageRenderer.h"
#include "Amount.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

namespace PageRenderer {

namespace {

constexpr double kPointsPerInch = 72.0;

// Millimetres on the paper to device dots, with the origin moved by the printer offset.
struct Mapper {
    Scale scale;
    QPointF offsetMm;

    double x(double mm) const { return (mm + offsetMm.x()) * scale.dotsPerMmX; }
    double y(double mm) const { return (mm + offsetMm.y()) * scale.dotsPerMmY; }
    QRectF rect(const QRectF& mm) const {
        return QRectF(QPointF(x(mm.left()), y(mm.top())),
                      QSizeF(mm.width() * scale.dotsPerMmX, mm.height() * scale.dotsPerMmY));
    }
};

QFont fontFor(const TextStyle& style, double deviceDpi, Scale scale) {
    QFont font(style.family);
    font.setBold(style.bold);
    // Unhinted outlines measure the same at every size, so preview and paper agree.
    font.setHintingPreference(QFont::PreferNoHinting);
    // The device turns points into dots with its own resolution; ask for the
    // size that makes the glyphs their true physical height at this scale.
    const double dotsPerPoint = scale.dotsPerMmY * kMmPerInch / kPointsPerInch;
    font.setPointSizeF(std::max(0.1, style.sizePt * dotsPerPoint * kPointsPerInch / deviceDpi));
    return font;
}

double textWidth(const QString& text, const QFontMetricsF& metrics, double pitchDots) {
    return pitchDots > 0 ? text.size() * pitchDots : metrics.horizontalAdvance(text);
}

// Greedy word wrap; a word wider than the line stays whole on a line of its own.
QStringList wrapText(const QString& text, const QFontMetricsF& metrics, double width, double firstIndent,
                     double pitchDots) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            const double available = lines.isEmpty() ? width - firstIndent : width;
            if (!line.isEmpty() && textWidth(candidate, metrics, pitchDots) > available) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

void drawLine(QPainter& painter, const QString& text, const QRectF& slot, Qt::Alignment align,
              double pitchDots) {
    const int flags = Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine;
    if (pitchDots <= 0) {
        painter.drawText(slot, flags | int(align), text);
        return;
    }
    // One character to a cell, centred in it, so digits fall into printed boxes.
    const double used = text.size() * pitchDots;
    double left = slot.left();
    if (align & Qt::AlignRight)
        left = slot.right() - used;
    else if (align & Qt::AlignHCenter)
        left = slot.left() + (slot.width() - used) / 2;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QRectF cell(left + i * pitchDots, slot.top(), pitchDots, slot.height());
        painter.drawText(cell, flags | Qt::AlignHCenter, QString(text[i]));
    }
}

double deviceDpiY(const QPainter& painter) {
    return painter.device() ? painter.device()->logicalDpiY() : 96.0;
}

void drawElement(QPainter& painter, const Element& e, const QRectF& boxMm, const QString& text,
                 const Mapper& map) {
    if (text.isEmpty())
        return;
    const QFont font = fontFor(e.style, deviceDpiY(painter), map.scale);
    painter.setFont(font);
    const QRectF box = map.rect(boxMm);
    const double pitch = e.characterPitch * map.scale.dotsPerMmX;
    if (!e.wrap) {
        QString single = text;
        single.replace(QLatin1Char('\n'), QLatin1Char(' '));
        drawLine(painter, single, box, e.style.align, pitch);
        return;
    }
    const QFontMetricsF metrics(font, painter.device());
    const double indent = e.firstLineIndent * map.scale.dotsPerMmX;
    const double slotHeight = e.linePitch > 0 ? e.linePitch * map.scale.dotsPerMmY : metrics.lineSpacing();
    const QStringList lines = wrapText(text, metrics, box.width(), indent, pitch);
    // Lines past the bottom of the box are still printed: words are never lost.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QRectF slot(box.left(), box.top() + i * slotHeight, box.width(), slotHeight);
        if (i == 0)
            slot.setLeft(slot.left() + indent);
        drawLine(painter, lines[i], slot, e.style.align, pitch);
    }
}

QString fieldText(const Element& e, const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (e.column->kind) {
    case SlipColumns::Kind::Date:
        return FieldFormat::formatDate(value, e.dateFormat);
    case SlipColumns::Kind::Amount:
        if (const auto cents = Amount::storedCents(value))
            return FieldFormat::formatCents(*cents, e.amountPattern);
        return value.toString();
    case SlipColumns::Kind::Number:
    case SlipColumns::Kind::Text:
        break;
    }
    return value.toString();
}

// A device of fine resolution to measure text on, as a printer would.
const QImage& measuringDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        constexpr int kDotsPerMetre = int(1200 / kMmPerInch * 1000);
        image.setDotsPerMeterX(kDotsPerMetre);
        image.setDotsPerMeterY(kDotsPerMetre);
        return image;
    }();
    return device;
}

} // namespace

void renderElement(QPainter& painter, const Element& element, const QRectF& boxMm, const QString& text,
                   Scale scale) {
    painter.save();
    painter.setPen(Qt::black);
    drawElement(painter, element, boxMm, text, Mapper{scale, QPointF()});
    painter.restore();
}

QSizeF textExtent(const Element& e, const QString& text) {
    if (text.isEmpty())
        return QSizeF(0, 0);
    const QImage& device = measuringDevice();
    const double dotsPerMm = device.logicalDpiY() / kMmPerInch;
    const QFont font = fontFor(e.style, device.logicalDpiY(), Scale{dotsPerMm, dotsPerMm});
    const QFontMetricsF metrics(font, &device);
    const double pitch = e.characterPitch * dotsPerMm;
    if (!e.wrap) {
        QString single = text;
        single.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return QSizeF(textWidth(single, metrics, pitch), metrics.height()) / dotsPerMm;
    }
    const double indent = e.firstLineIndent * dotsPerMm;
    const double slotHeight = e.linePitch > 0 ? e.linePitch * dotsPerMm : metrics.lineSpacing();
    const QStringList lines = wrapText(text, metrics, e.box.width() * dotsPerMm, indent, pitch);
    double widest = 0;
    for (qsizetype i = 0; i < lines.size(); ++i)
        widest = std::max(widest, textWidth(lines[i], metrics, pitch) + (i == 0 ? indent : 0));
    return QSizeF(widest, lines.size() * slotHeight) / dotsPerMm;
}

bool overflows(const Element& element, const QString& text) {
    constexpr double kToleranceMm = 0.05;
    const QSizeF used = textExtent(element, text);
    return used.width() > element.box.width() + kToleranceMm ||
           used.height() > element.box.height() + kToleranceMm;
}

Scale deviceScale(const QPainter& painter, double zoom) {
    const QPaintDevice* device = painter.device();
    const double dpiX = device ? device->logicalDpiX() : 96.0;
    const double dpiY = device ? device->logicalDpiY() : 96.0;
    return Scale{dpiX / kMmPerInch * zoom, dpiY / kMmPerInch * zoom};
}

qint64 totalCents(const SlipRecord& slip) {
    qint64 total = 0;
    for (const QVariantMap& line : slip.lines)
        total += Amount::storedCents(line.value(QStringLiteral("amount"))).value_or(0);
    return total;
}

QString elementText(const Element& e, const SlipRecord& slip, const QVariantMap* line) {
    switch (e.kind) {
    case ElementKind::Text:
        return e.text;
    case ElementKind::Field: {
        const QString& table = e.column->table;
        const QVariantMap* row = table == SlipColumns::kSlipTable      ? &slip.slip
                                 : table == SlipColumns::kAccountTable ? &slip.account
                                                                       : line;
        return row ? fieldText(e, row->value(e.column->column)) : QString();
    }
    case ElementKind::Total:
        return FieldFormat::formatCents(totalCents(slip), e.amountPattern);
    case ElementKind::Count:
        return QString::number(slip.lines.size());
    case ElementKind::Words:
        return AmountInWords::amount(totalCents(slip), e.numbering, e.currency);
    }
    return QString();
}

void render(QPainter& painter, const ReportTemplate& layout, const SlipRecord& slip, Scale scale, Mode mode) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const Mapper map{scale, mode == Mode::Paper ? layout.printOffset : QPointF()};
    if (mode == Mode::Preview && layout.background)
        painter.drawImage(map.rect(layout.background->box), layout.background->image);
    painter.setPen(Qt::black);

    for (const Element& e : layout.elements)
        drawElement(painter, e, e.box, elementText(e, slip, nullptr), map);

    const LineBand& band = layout.lines;
    const size_t lineCount = std::min(slip.lines.size(), size_t(std::max(0, band.lineCount)));
    for (size_t i = 0; i < lineCount; ++i) {
        const double top = band.firstLineY + double(i) * band.pitch;
        for (const Element& e : band.elements)
            drawElement(painter, e, e.box.translated(0, top), elementText(e, slip, &slip.lines[i]), map);
    }
    painter.restore();
}

} // namespace PageRenderer
