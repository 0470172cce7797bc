#include "ElementItem.h"
#include "DesignView.h"
#include "PageRenderer.h"
#include "TemplateEditing.h"

#include <QPainter>

namespace {

// The rows an element prints on: once, or once per cheque line.
int rowsOf(const ReportTemplate& t, ElementRef ref) {
    return ref.inBand ? std::max(1, t.lines.lineCount) : 1;
}

const QVariantMap* lineOf(const SlipRecord& slip, ElementRef ref, int row) {
    if (!ref.inBand)
        return nullptr;
    return size_t(row) < slip.lines.size() ? &slip.lines[size_t(row)] : nullptr;
}

QString rowText(const Element& e, const SlipRecord& slip, ElementRef ref, int row) {
    const QVariantMap* line = lineOf(slip, ref, row);
    if (ref.inBand && !line)
        return QString();
    return PageRenderer::elementText(e, slip, line);
}

} // namespace

ElementItem::ElementItem(DesignView& view, ElementRef ref) : m_view(view), m_ref(ref) {
    setFlags(ItemIsSelectable | ItemIsFocusable);
    sync();
}

void ElementItem::sync() {
    const ReportTemplate& t = m_view.shown();
    const Element& e = t.element(m_ref);
    const QRectF first = TemplateEditing::pageBox(t, m_ref);
    const int rows = rowsOf(t, m_ref);
    m_shape = QPainterPath();
    m_overflows = false;
    QSizeF excess(0, 0);
    for (int row = 0; row < rows; ++row) {
        const QRectF box(QPointF(0, row * t.lines.pitch), first.size());
        m_shape.addRect(box);
        const QSizeF used = PageRenderer::textExtent(e, rowText(e, m_view.sample(), m_ref, row));
        excess = excess.expandedTo(used - first.size());
        m_overflows = m_overflows || PageRenderer::overflows(e, rowText(e, m_view.sample(), m_ref, row));
    }
    // Room for text past the box (on either side, whatever the alignment) and for the handles.
    const double handles = 8 / m_view.pixelsPerMm();
    const QRectF bounds =
        m_shape.boundingRect().adjusted(-excess.width() - handles, -excess.height() - handles,
                                        excess.width() + handles, excess.height() + handles);
    if (bounds != m_bounds) {
        prepareGeometryChange();
        m_bounds = bounds;
    }
    setPos(first.topLeft());
    update();
}

QRectF ElementItem::boundingRect() const {
    return m_bounds;
}

QPainterPath ElementItem::shape() const {
    return m_shape;
}

void ElementItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const ReportTemplate& t = m_view.shown();
    const Element& e = t.element(m_ref);
    const QRectF first = TemplateEditing::pageBox(t, m_ref);
    const int rows = rowsOf(t, m_ref);
    const bool selected = isSelected();

    // Outlines in this item's millimetres, one device pixel wide.
    QPen outline(m_overflows ? QColor(220, 0, 0) : selected ? QColor(0, 90, 200) : QColor(120, 160, 220));
    outline.setCosmetic(true);
    outline.setWidth(selected ? 2 : 1);
    outline.setStyle(selected || m_overflows ? Qt::SolidLine : Qt::DotLine);
    painter->setPen(outline);
    painter->setBrush(Qt::NoBrush);
    for (int row = 0; row < rows; ++row)
        painter->drawRect(QRectF(QPointF(0, row * t.lines.pitch), first.size()));

    if (selected && e.characterPitch > 0) {
        QPen cells(QColor(0, 150, 90));
        cells.setCosmetic(true);
        painter->setPen(cells);
        const int count = int(first.width() / e.characterPitch);
        const double used = count * e.characterPitch;
        const double left = (e.style.align & Qt::AlignRight)     ? first.width() - used
                            : (e.style.align & Qt::AlignHCenter) ? (first.width() - used) / 2
                                                                 : 0;
        for (int i = 0; i <= count; ++i)
            painter->drawLine(QPointF(left + i * e.characterPitch, 0),
                              QPointF(left + i * e.characterPitch, first.height()));
    }

    // The text, drawn by the renderer in device pixels from the page's corner,
    // exactly as the preview draws a page.
    const QTransform world = painter->worldTransform();
    const QPointF origin = world.map(-pos());
    const PageRenderer::Scale scale{world.m11(), world.m22()};
    painter->save();
    painter->setWorldTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    for (int row = 0; row < rows; ++row) {
        const QRectF box = first.translated(0, row * t.lines.pitch);
        PageRenderer::renderElement(*painter, e, box, rowText(e, m_view.sample(), m_ref, row), scale);
    }
    painter->restore();

    if (selected && m_view.selectedCount() == 1) {
        painter->save();
        painter->setWorldTransform(QTransform());
        painter->setPen(QPen(QColor(0, 90, 200), 1));
        painter->setBrush(Qt::white);
        for (const QRectF& handle : m_view.handleRects(world.mapRect(QRectF(QPointF(0, 0), first.size()))))
            painter->drawRect(handle);
        painter->restore();
    }
}
