#include "TemplateEditing.h"

#include <algorithm>
#include <cmath>

namespace TemplateEditing {

namespace {

constexpr int kNewBandLines = 5;
constexpr double kNewBandPitch = 6;

void listTable(ReportTemplate& t, const QString& table) {
    if (t.readsTable(table))
        return;
    // A new table reads where the slips are read from.
    TemplateTable listed{table, QStringLiteral("slipODBC"), QString()};
    for (const TemplateTable& existing : t.tables) {
        if (existing.name == SlipColumns::kSlipTable)
            listed = {table, existing.dataSource, existing.password};
    }
    t.tables.push_back(listed);
}

void listNeededTables(ReportTemplate& t, const Element& e) {
    if (e.kind == ElementKind::Total || e.kind == ElementKind::Count || e.kind == ElementKind::Words)
        listTable(t, SlipColumns::kLineTable);
    if (e.kind == ElementKind::Field)
        listTable(t, e.column->table);
}

// The lowest bottom edge of the band's elements, from the top of a line.
double bandDepth(const LineBand& band) {
    double depth = 0;
    for (const Element& e : band.elements)
        depth = std::max(depth, e.box.bottom());
    return depth;
}

} // namespace

Element newElement(const ReportTemplate& t, ElementKind kind,
                   const std::optional<SlipColumns::Column>& column) {
    Element e;
    e.kind = kind;
    e.style = t.defaults;
    QSizeF size(40, 5);
    switch (kind) {
    case ElementKind::Text:
        e.text = QStringLiteral("Text");
        size = QSizeF(30, 5);
        break;
    case ElementKind::Field:
        e.column = column;
        if (column->kind == SlipColumns::Kind::Date) {
            e.dateFormat = QStringLiteral("dd-MM-yyyy");
            size = QSizeF(25, 5);
        } else if (column->kind == SlipColumns::Kind::Amount) {
            e.style.align = Qt::AlignRight;
            size = QSizeF(30, 5);
        } else if (column->kind == SlipColumns::Kind::Number) {
            size = QSizeF(20, 5);
        }
        break;
    case ElementKind::Total:
        e.style.align = Qt::AlignRight;
        size = QSizeF(30, 5);
        break;
    case ElementKind::Count:
        size = QSizeF(15, 5);
        break;
    case ElementKind::Words:
        e.wrap = true;
        e.linePitch = 5;
        size = QSizeF(120, 10);
        break;
    }
    e.box = QRectF(QPointF(0, 0), size);
    return e;
}

bool belongsInBand(const Element& e) {
    return e.kind == ElementKind::Field && e.column->table == SlipColumns::kLineTable;
}

QRectF pageBox(const ReportTemplate& t, ElementRef ref) {
    const QRectF box = t.element(ref).box;
    return ref.inBand ? box.translated(0, t.lines.firstLineY) : box;
}

QRectF allowedArea(const ReportTemplate& t, ElementRef ref) {
    if (!ref.inBand)
        return QRectF(QPointF(0, 0), t.paper);
    const double lastLineOffset = std::max(0, t.lines.lineCount - 1) * t.lines.pitch;
    const double bottom = std::max(t.lines.firstLineY, t.paper.height() - lastLineOffset);
    return QRectF(0, t.lines.firstLineY, t.paper.width(), bottom - t.lines.firstLineY);
}

void setPageBox(ReportTemplate& t, ElementRef ref, QRectF r) {
    r = r.normalized();
    const QRectF area = allowedArea(t, ref);
    const double width = std::clamp(r.width(), std::min(kMinSizeMm, area.width()), area.width());
    const double height = std::clamp(r.height(), std::min(kMinSizeMm, area.height()), area.height());
    const double x = std::clamp(r.x(), area.left(), area.right() - width);
    const double y = std::clamp(r.y(), area.top(), area.bottom() - height);
    t.element(ref).box = QRectF(x, ref.inBand ? y - t.lines.firstLineY : y, width, height);
}

ElementRef add(ReportTemplate& t, Element element, QPointF pageTopLeft) {
    listNeededTables(t, element);
    const bool inBand = belongsInBand(element);
    LineBand& band = t.lines;
    if (inBand && band.lineCount == 0) {
        band.lineCount = kNewBandLines;
        band.pitch = kNewBandPitch;
        const double room = t.paper.height() - (kNewBandLines - 1) * kNewBandPitch - element.box.height();
        band.firstLineY = std::clamp(pageTopLeft.y(), 0.0, std::max(0.0, room));
    }
    double y = pageTopLeft.y();
    if (inBand) {
        // The point may lie on any line: the element goes to the same place in every line.
        const double line = std::floor((y - band.firstLineY) / band.pitch);
        y -= std::clamp(line, 0.0, double(band.lineCount - 1)) * band.pitch;
    }
    const QRectF wanted(QPointF(pageTopLeft.x(), y), element.box.size());
    std::vector<Element>& list = t.list(inBand);
    list.push_back(std::move(element));
    const ElementRef ref{inBand, int(list.size()) - 1};
    setPageBox(t, ref, wanted);
    return ref;
}

void remove(ReportTemplate& t, std::vector<ElementRef> refs) {
    std::sort(refs.begin(), refs.end());
    refs.erase(std::unique(refs.begin(), refs.end()), refs.end());
    for (auto it = refs.rbegin(); it != refs.rend(); ++it) {
        std::vector<Element>& list = t.list(it->inBand);
        list.erase(list.begin() + it->index);
    }
}

QPointF move(ReportTemplate& t, const std::vector<ElementRef>& refs, QPointF delta) {
    if (refs.empty())
        return QPointF();
    double minX = -1e9, maxX = 1e9, minY = -1e9, maxY = 1e9;
    for (const ElementRef ref : refs) {
        const QRectF box = pageBox(t, ref);
        const QRectF area = allowedArea(t, ref);
        minX = std::max(minX, area.left() - box.left());
        maxX = std::min(maxX, area.right() - box.right());
        minY = std::max(minY, area.top() - box.top());
        maxY = std::min(maxY, area.bottom() - box.bottom());
    }
    const QPointF moved(minX <= maxX ? std::clamp(delta.x(), minX, maxX) : 0.0,
                        minY <= maxY ? std::clamp(delta.y(), minY, maxY) : 0.0);
    for (const ElementRef ref : refs)
        t.element(ref).box.translate(moved);
    return moved;
}

void setBand(ReportTemplate& t, double firstLineY, double pitch) {
    LineBand& band = t.lines;
    const double depth = bandDepth(band);
    const double paperHeight = t.paper.height();
    const int gaps = std::max(0, band.lineCount - 1);
    const double mostPitch = gaps > 0 ? (paperHeight - depth) / gaps : paperHeight;
    band.pitch = std::clamp(pitch, 1.0, std::max(1.0, mostPitch));
    band.firstLineY = std::clamp(firstLineY, 0.0, std::max(0.0, paperHeight - gaps * band.pitch - depth));
}

void align(ReportTemplate& t, const std::vector<ElementRef>& refs, Edge edge) {
    if (refs.size() < 2)
        return;
    QRectF all;
    for (const ElementRef ref : refs)
        all = all.isNull() ? pageBox(t, ref) : all.united(pageBox(t, ref));
    for (const ElementRef ref : refs) {
        const QRectF box = pageBox(t, ref);
        QPointF delta;
        switch (edge) {
        case Edge::Left:
            delta.setX(all.left() - box.left());
            break;
        case Edge::HCenter:
            delta.setX(all.center().x() - box.center().x());
            break;
        case Edge::Right:
            delta.setX(all.right() - box.right());
            break;
        case Edge::Top:
            delta.setY(all.top() - box.top());
            break;
        case Edge::VCenter:
            delta.setY(all.center().y() - box.center().y());
            break;
        case Edge::Bottom:
            delta.setY(all.bottom() - box.bottom());
            break;
        }
        move(t, {ref}, delta);
    }
}

void distribute(ReportTemplate& t, const std::vector<ElementRef>& refs, Qt::Orientation orientation) {
    if (refs.size() < 3)
        return;
    const bool across = orientation == Qt::Horizontal;
    const auto start = [&](ElementRef r) { return across ? pageBox(t, r).left() : pageBox(t, r).top(); };
    const auto extent = [&](ElementRef r) { return across ? pageBox(t, r).width() : pageBox(t, r).height(); };
    std::vector<ElementRef> ordered = refs;
    std::sort(ordered.begin(), ordered.end(),
              [&](ElementRef a, ElementRef b) { return start(a) < start(b); });
    double used = 0;
    for (const ElementRef r : ordered)
        used += extent(r);
    const double first = start(ordered.front());
    const double end = start(ordered.back()) + extent(ordered.back());
    const double gap = (end - first - used) / double(ordered.size() - 1);
    double next = first;
    for (const ElementRef r : ordered) {
        const double shift = next - start(r);
        move(t, {r}, across ? QPointF(shift, 0) : QPointF(0, shift));
        next += extent(r) + gap;
    }
}

} // namespace TemplateEditing
