#include "DesignView.h"
#include "ElementItem.h"
#include "ElementNames.h"
#include "PageRenderer.h"
#include "PaletteItems.h"

#include <QAccessible>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <array>
#include <cmath>
#include <map>

namespace {

constexpr std::array<double, 13> kZoomSteps = {0.25, 0.33, 0.5, 0.67, 0.75, 1.0, 1.25,
                                               1.5,  2.0,  3.0, 4.0,  6.0,  8.0};
constexpr double kSceneMarginMm = 20;
constexpr int kHandlePixels = 7;
constexpr int kGuideSnapPixels = 6;

QPen cosmetic(const QColor& color, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(color, 1, style);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

DesignView::DesignView(DesignDocument& document, QWidget* parent)
    : QGraphicsView(parent), m_document(document), m_scene(new QGraphicsScene(this)) {
    setObjectName(QStringLiteral("page"));
    setAccessibleName(QStringLiteral("Page"));
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(m_scene);
    setDragMode(QGraphicsView::RubberBandDrag);
    setCacheMode(QGraphicsView::CacheBackground);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    setBackgroundBrush(QColor(128, 128, 128));

    // 100 % is the paper's true size on this screen. A screen that states no
    // believable size is taken at its logical resolution.
    const QScreen* where = screen();
    const double dpi = where ? where->physicalDotsPerInchX() : 0;
    m_truePixelsPerMm = (dpi >= 50 && dpi <= 600 ? dpi : logicalDpiX()) / PageRenderer::kMmPerInch;

    connect(&m_document, &DesignDocument::layoutChanged, this, &DesignView::syncItems);
    connect(&m_document, &DesignDocument::sampleChanged, this, &DesignView::syncItems);
    connect(&m_document, &DesignDocument::selectionChanged, this, &DesignView::syncSelection);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, &DesignView::takeSceneSelection);
    syncItems();
    applyZoom();
}

DesignView::~DesignView() {
    // The scene, a child, goes after this view: what it reports while going is no longer heard.
    m_scene->disconnect(this);
}

void DesignView::setTruePixelsPerMm(double pixels) {
    m_truePixelsPerMm = pixels;
    applyZoom();
}

void DesignView::setZoom(double zoom) {
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    applyZoom();
}

void DesignView::zoomIn() {
    for (const double step : kZoomSteps) {
        if (step > m_zoom + 1e-9)
            return setZoom(step);
    }
}

void DesignView::zoomOut() {
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
        if (*it < m_zoom - 1e-9)
            return setZoom(*it);
    }
}

void DesignView::applyZoom() {
    setTransform(QTransform::fromScale(pixelsPerMm(), pixelsPerMm()));
    m_scaledScan = QImage();
    resetCachedContent();
    for (ElementItem* item : m_items)
        item->sync();
    emit viewChanged();
}

void DesignView::setSnap(bool snap) {
    m_snap = snap;
    updateScene();
}

void DesignView::setGridStep(double mm) {
    m_gridStep = std::clamp(mm, 0.1, 50.0);
    updateScene();
}

void DesignView::setShowScan(bool show) {
    m_showScan = show;
    updateScene();
}

void DesignView::updateScene() {
    resetCachedContent();
    viewport()->update();
}

const std::vector<double>& DesignView::guides(Qt::Orientation orientation) const {
    return orientation == Qt::Horizontal ? m_guidesY : m_guidesX;
}

void DesignView::addGuide(Qt::Orientation orientation, double mm) {
    (orientation == Qt::Horizontal ? m_guidesY : m_guidesX).push_back(mm);
    viewport()->update();
}

void DesignView::clearGuides() {
    m_guidesX.clear();
    m_guidesY.clear();
    viewport()->update();
}

void DesignView::pullGuide(Qt::Orientation orientation, QPoint globalPos) {
    const QPointF mm = pagePoint(viewport()->mapFromGlobal(globalPos));
    if (orientation == Qt::Horizontal)
        m_pulledY = mm.y();
    else
        m_pulledX = mm.x();
    viewport()->update();
}

void DesignView::dropGuide(Qt::Orientation orientation, QPoint globalPos) {
    const QPoint at = viewport()->mapFromGlobal(globalPos);
    m_pulledX.reset();
    m_pulledY.reset();
    if (viewport()->rect().contains(at)) {
        const QPointF mm = pagePoint(at);
        addGuide(orientation, orientation == Qt::Horizontal ? snapped(mm.y(), Qt::Vertical)
                                                            : snapped(mm.x(), Qt::Horizontal));
    }
    viewport()->update();
}

std::optional<double> DesignView::pulledGuide(Qt::Orientation orientation) const {
    return orientation == Qt::Horizontal ? m_pulledY : m_pulledX;
}

void DesignView::pickTwoPoints(std::function<void(QPointF, QPointF)> done) {
    m_pickDone = std::move(done);
    m_picked.clear();
    viewport()->setCursor(Qt::CrossCursor);
}

QPointF DesignView::pagePoint(QPoint viewportPos) const {
    return mapToScene(viewportPos);
}

ElementItem* DesignView::item(ElementRef ref) const {
    for (ElementItem* item : m_items) {
        if (item->ref() == ref)
            return item;
    }
    return nullptr;
}

std::vector<QRectF> DesignView::handleRects(const QRectF& box) const {
    const double h = kHandlePixels;
    const std::array<QPointF, 8> centres = {box.topLeft(),     QPointF(box.center().x(), box.top()),
                                            box.topRight(),    QPointF(box.right(), box.center().y()),
                                            box.bottomRight(), QPointF(box.center().x(), box.bottom()),
                                            box.bottomLeft(),  QPointF(box.left(), box.center().y())};
    std::vector<QRectF> rects;
    for (const QPointF& c : centres)
        rects.emplace_back(c.x() - h / 2, c.y() - h / 2, h, h);
    return rects;
}

void DesignView::syncItems() {
    m_syncing = true;
    const ReportTemplate& t = shown();
    const size_t wanted = t.elements.size() + t.lines.elements.size();
    if (m_items.size() != wanted) {
        for (ElementItem* item : m_items)
            delete item;
        m_items.clear();
        for (bool inBand : {false, true}) {
            for (size_t i = 0; i < t.list(inBand).size(); ++i) {
                auto* item = new ElementItem(*this, ElementRef{inBand, int(i)});
                m_scene->addItem(item);
                m_items.push_back(item);
            }
        }
    } else {
        for (ElementItem* item : m_items)
            item->sync();
    }
    const QRectF paper(QPointF(0, 0), t.paper);
    setSceneRect(paper.adjusted(-kSceneMarginMm, -kSceneMarginMm, kSceneMarginMm, kSceneMarginMm));
    m_syncing = false;
    syncSelection();
    updateScene();
}

void DesignView::syncSelection() {
    m_syncing = true;
    const std::vector<ElementRef>& selection = m_document.selection();
    for (ElementItem* item : m_items) {
        const bool selected = std::find(selection.begin(), selection.end(), item->ref()) != selection.end();
        if (item->isSelected() != selected)
            item->setSelected(selected);
        else if (selected)
            item->update(); // handles come and go with the count
    }
    m_syncing = false;
    if (selection.size() == 1 && item(selection.front()))
        announce(selection.front());
}

void DesignView::takeSceneSelection() {
    if (m_syncing)
        return;
    std::vector<ElementRef> refs;
    for (ElementItem* item : m_items) {
        if (item->isSelected())
            refs.push_back(item->ref());
    }
    m_document.select(refs);
}

void DesignView::announce(ElementRef ref) {
    const ElementItem* shownItem = item(ref);
    m_announcement = ElementNames::announcement(shown(), ref, shownItem && shownItem->overflows());
    setAccessibleName(QStringLiteral("Page: ") + m_announcement);
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
    emit announced(m_announcement);
}

double DesignView::snapped(double mm, Qt::Orientation orientation) const {
    if (!m_snap)
        return mm;
    const std::vector<double>& lines = orientation == Qt::Horizontal ? m_guidesX : m_guidesY;
    for (const double guide : lines) {
        if (std::abs(guide - mm) * pixelsPerMm() <= kGuideSnapPixels)
            return guide;
    }
    return std::round(mm / m_gridStep) * m_gridStep;
}

QPointF DesignView::snappedDelta(const QRectF& box, QPointF delta) const {
    return QPointF(snapped(box.left() + delta.x(), Qt::Horizontal) - box.left(),
                   snapped(box.top() + delta.y(), Qt::Vertical) - box.top());
}

void DesignView::nudge(QPointF delta) {
    if (m_document.selection().empty())
        return;
    const std::vector<ElementRef> selection = m_document.selection();
    m_document.change(
        QStringLiteral("Nudge"), [&](ReportTemplate& t) { TemplateEditing::move(t, selection, delta); },
        std::nullopt, DesignDocument::kNudge);
}

QPointF DesignView::visibleMiddle() const {
    const QPointF middle = mapToScene(viewport()->rect().center());
    const QSizeF paper = m_document.layout().paper;
    return QPointF(std::clamp(middle.x(), 0.0, paper.width()), std::clamp(middle.y(), 0.0, paper.height()));
}

void DesignView::addFromPalette(const QString& id, QPointF pageMm) {
    const ReportTemplate& t = m_document.layout();
    std::optional<Element> element = PaletteItems::create(t, id);
    if (!element)
        return;
    const bool inBand = TemplateEditing::belongsInBand(*element);
    const ElementRef added{inBand, int(t.list(inBand).size())};
    const QPointF at(snapped(pageMm.x(), Qt::Horizontal), snapped(pageMm.y(), Qt::Vertical));
    m_document.change(
        QStringLiteral("Add %1").arg(ElementNames::label(*element)),
        [&](ReportTemplate& edited) { TemplateEditing::add(edited, *element, at); },
        std::vector<ElementRef>{added});
    setFocus();
}

ElementItem* DesignView::elementAt(QPoint viewportPos) const {
    for (QGraphicsItem* found : items(viewportPos)) {
        if (found->type() == ElementItem::Type &&
            found->shape().contains(found->mapFromScene(pagePoint(viewportPos))))
            return static_cast<ElementItem*>(found);
    }
    return nullptr;
}

int DesignView::handleAt(ElementItem* target, QPoint viewportPos) const {
    const QRectF box = viewportTransform().mapRect(TemplateEditing::pageBox(shown(), target->ref()));
    const std::vector<QRectF> handles = handleRects(box);
    for (size_t i = 0; i < handles.size(); ++i) {
        if (handles[i].adjusted(-2, -2, 2, 2).contains(viewportPos))
            return int(i);
    }
    return -1;
}

QRectF DesignView::bandHandleRect(double yMm) const {
    const QPointF at = viewportTransform().map(QPointF(0, yMm));
    return QRectF(at.x() - 18, at.y() - 6, 15, 12);
}

std::optional<DesignView::DragKind> DesignView::bandHandleAt(QPoint viewportPos) const {
    const LineBand& band = shown().lines;
    if (band.lineCount < 1)
        return std::nullopt;
    if (bandHandleRect(band.firstLineY).contains(viewportPos))
        return DragKind::BandFirst;
    if (band.lineCount > 1 && bandHandleRect(band.firstLineY + band.pitch).contains(viewportPos))
        return DragKind::BandPitch;
    return std::nullopt;
}

int DesignView::guideAt(Qt::Orientation orientation, QPoint viewportPos) const {
    const std::vector<double>& lines = guides(orientation);
    for (size_t i = 0; i < lines.size(); ++i) {
        const QPointF at = viewportTransform().map(QPointF(lines[i], lines[i]));
        const double distance = orientation == Qt::Horizontal ? std::abs(at.y() - viewportPos.y())
                                                              : std::abs(at.x() - viewportPos.x());
        if (distance <= 3)
            return int(i);
    }
    return -1;
}

void DesignView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QGraphicsView::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const QPointF mm = pagePoint(at);
    if (m_pickDone) {
        m_picked.push_back(mm);
        viewport()->update();
        if (m_picked.size() == 2) {
            const auto done = std::move(m_pickDone);
            const std::vector<QPointF> points = std::move(m_picked);
            m_pickDone = nullptr;
            m_picked.clear();
            viewport()->unsetCursor();
            emit pointsPicked();
            done(points[0], points[1]);
        }
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const ReportTemplate& t = m_document.layout();
    Drag drag{DragKind::Move, mm, t, t, {}, -1};
    if (modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::ShiftModifier) && t.background) {
        drag.kind = DragKind::Scan;
        m_drag = drag;
        return;
    }
    if (const auto band = bandHandleAt(at)) {
        drag.kind = *band;
        m_drag = drag;
        return;
    }
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        if (const int guide = guideAt(orientation, at); guide >= 0) {
            drag.kind = DragKind::Guide;
            drag.guideOrientation = orientation;
            drag.guideIndex = guide;
            m_drag = drag;
            return;
        }
    }
    if (m_document.selection().size() == 1 && modifiers == Qt::NoModifier) {
        ElementItem* selected = item(m_document.selection().front());
        if (const int handle = selected ? handleAt(selected, at) : -1; handle >= 0) {
            drag.kind = DragKind::Resize;
            drag.anchor = selected->ref();
            drag.handle = handle;
            m_drag = drag;
            setFocus();
            return;
        }
    }
    if (ElementItem* hit = elementAt(at)) {
        std::vector<ElementRef> selection = m_document.selection();
        const auto found = std::find(selection.begin(), selection.end(), hit->ref());
        if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) {
            if (found != selection.end())
                selection.erase(found);
            else
                selection.push_back(hit->ref());
            m_document.select(selection);
            setFocus();
            return;
        }
        if (found == selection.end())
            m_document.select({hit->ref()});
        announce(hit->ref());
        drag.anchor = hit->ref();
        m_drag = drag;
        setFocus();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void DesignView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF mm = pagePoint(event->position().toPoint());
    emit pointerMoved(mm);
    if (m_drag)
        return dragTo(mm);
    QGraphicsView::mouseMoveEvent(event);
}

void DesignView::dragTo(QPointF mm) {
    Drag& d = *m_drag;
    const QPointF delta = mm - d.startMm;
    if (d.kind == DragKind::Guide) {
        std::vector<double>& lines = d.guideOrientation == Qt::Horizontal ? m_guidesY : m_guidesX;
        lines[size_t(d.guideIndex)] = d.guideOrientation == Qt::Horizontal ? mm.y() : mm.x();
        viewport()->update();
        return;
    }
    d.live = d.start;
    const std::vector<ElementRef>& selection = m_document.selection();
    switch (d.kind) {
    case DragKind::Move: {
        const QPointF step = snappedDelta(TemplateEditing::pageBox(d.start, d.anchor), delta);
        TemplateEditing::move(d.live, selection, step);
        for (const ElementRef ref : selection)
            if (ElementItem* moved = item(ref))
                moved->setPos(TemplateEditing::pageBox(d.live, ref).topLeft());
        return;
    }
    case DragKind::Resize: {
        QRectF box = TemplateEditing::pageBox(d.start, d.anchor);
        const int h = d.handle;
        if (h == 0 || h == 6 || h == 7)
            box.setLeft(snapped(box.left() + delta.x(), Qt::Horizontal));
        if (h == 2 || h == 3 || h == 4)
            box.setRight(snapped(box.right() + delta.x(), Qt::Horizontal));
        if (h == 0 || h == 1 || h == 2)
            box.setTop(snapped(box.top() + delta.y(), Qt::Vertical));
        if (h == 4 || h == 5 || h == 6)
            box.setBottom(snapped(box.bottom() + delta.y(), Qt::Vertical));
        TemplateEditing::setPageBox(d.live, d.anchor, box);
        item(d.anchor)->sync();
        return;
    }
    case DragKind::BandFirst:
    case DragKind::BandPitch: {
        const LineBand& band = d.start.lines;
        if (d.kind == DragKind::BandFirst)
            TemplateEditing::setBand(d.live, snapped(band.firstLineY + delta.y(), Qt::Vertical), band.pitch);
        else
            TemplateEditing::setBand(d.live, band.firstLineY,
                                     snapped(band.firstLineY + band.pitch + delta.y(), Qt::Vertical) -
                                         band.firstLineY);
        for (ElementItem* each : m_items)
            if (each->ref().inBand)
                each->sync();
        viewport()->update();
        return;
    }
    case DragKind::Scan:
        d.live.background->box.moveTopLeft(d.start.background->box.topLeft() + delta);
        updateScene();
        return;
    case DragKind::Guide:
        return;
    }
}

void DesignView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_drag || event->button() != Qt::LeftButton)
        return QGraphicsView::mouseReleaseEvent(event);
    const Drag d = std::move(*m_drag);
    m_drag.reset();
    if (d.kind == DragKind::Guide) {
        // A guide let go off the page (over a ruler) is gone.
        if (!viewport()->rect().contains(event->position().toPoint())) {
            std::vector<double>& lines = d.guideOrientation == Qt::Horizontal ? m_guidesY : m_guidesX;
            lines.erase(lines.begin() + d.guideIndex);
        }
        viewport()->update();
        return;
    }
    static const std::map<DragKind, QString> names = {
        {DragKind::Move, QStringLiteral("Move")},
        {DragKind::Resize, QStringLiteral("Resize")},
        {DragKind::BandFirst, QStringLiteral("Move the cheque lines")},
        {DragKind::BandPitch, QStringLiteral("Change the line pitch")},
        {DragKind::Scan, QStringLiteral("Move the scan")}};
    const ReportTemplate live = d.live;
    const std::vector<ElementRef> before = m_document.selection();
    m_document.change(names.at(d.kind), [&](ReportTemplate& t) { t = live; });
    // A click without a move on one of several selected elements selects it alone.
    if (d.kind == DragKind::Move && event->modifiers() == Qt::NoModifier && before.size() > 1 &&
        TemplateEditing::pageBox(live, d.anchor) == TemplateEditing::pageBox(d.start, d.anchor))
        m_document.select({d.anchor});
    syncItems();
}

void DesignView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return QGraphicsView::wheelEvent(event);
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    const double notches = event->angleDelta().y() / 120.0;
    setZoom(m_zoom * std::pow(1.25, notches));
    setTransformationAnchor(anchor);
    event->accept();
}

void DesignView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const double step = modifiers == Qt::ShiftModifier ? 5.0 : modifiers == Qt::AltModifier ? 0.1 : 0.5;
    const bool plainStep =
        modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier || modifiers == Qt::AltModifier;
    if (plainStep && !m_document.selection().empty()) {
        switch (event->key()) {
        case Qt::Key_Left:
            return nudge(QPointF(-step, 0));
        case Qt::Key_Right:
            return nudge(QPointF(step, 0));
        case Qt::Key_Up:
            return nudge(QPointF(0, -step));
        case Qt::Key_Down:
            return nudge(QPointF(0, step));
        default:
            break;
        }
    }
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        if (m_pickDone) {
            m_pickDone = nullptr;
            m_picked.clear();
            viewport()->unsetCursor();
            viewport()->update();
            emit pointsPicked();
            return;
        }
        if (!m_document.selection().empty())
            return m_document.select({});
    }
    QGraphicsView::keyPressEvent(event);
}

bool DesignView::focusNextPrevChild(bool next) {
    const ReportTemplate& t = m_document.layout();
    std::vector<ElementRef> order;
    for (bool inBand : {false, true})
        for (size_t i = 0; i < t.list(inBand).size(); ++i)
            order.push_back({inBand, int(i)});
    const std::vector<ElementRef>& selection = m_document.selection();
    int current = -1;
    if (selection.size() == 1)
        current = int(std::find(order.begin(), order.end(), selection.front()) - order.begin());
    const int target = next ? current + 1 : (current < 0 ? int(order.size()) - 1 : current - 1);
    if (hasFocus() && target >= 0 && target < int(order.size())) {
        m_document.select({order[size_t(target)]});
        if (ElementItem* shownItem = item(order[size_t(target)]))
            ensureVisible(shownItem->sceneBoundingRect(), 20, 20);
        return true;
    }
    return QGraphicsView::focusNextPrevChild(next);
}

void DesignView::scrollContentsBy(int dx, int dy) {
    QGraphicsView::scrollContentsBy(dx, dy);
    emit viewChanged();
}

void DesignView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    emit viewChanged();
}

void DesignView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QLatin1String(kPaletteMime)))
        event->acceptProposedAction();
}

void DesignView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(QLatin1String(kPaletteMime)))
        event->acceptProposedAction();
}

void DesignView::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QLatin1String(kPaletteMime)))
        return;
    addFromPalette(QString::fromUtf8(event->mimeData()->data(QLatin1String(kPaletteMime))),
                   pagePoint(event->position().toPoint()));
    event->acceptProposedAction();
}

void DesignView::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, backgroundBrush());
    const ReportTemplate& t = shown();
    const QRectF paper(QPointF(0, 0), t.paper);
    painter->fillRect(paper, Qt::white);
    if (m_showScan && t.background) {
        const QImage& image = t.background->image;
        const QRectF device = painter->transform().mapRect(t.background->box);
        if (device.width() < image.width()) {
            // Scaled once per zoom, then copied: a drag repaints without scaling the scan.
            const QSize size = device.size().toSize();
            if (m_scaledScan.size() != size || m_scaledFrom != image.cacheKey()) {
                m_scaledScan = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                m_scaledFrom = image.cacheKey();
            }
            painter->save();
            painter->resetTransform();
            painter->drawImage(device.topLeft(), m_scaledScan);
            painter->restore();
        } else {
            painter->save();
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawImage(t.background->box, image);
            painter->restore();
        }
    }
    if (m_snap) {
        double spacing = m_gridStep;
        while (spacing * pixelsPerMm() < 8)
            spacing *= 2;
        painter->setPen(cosmetic(QColor(60, 110, 200, 40)));
        const QRectF area = paper.intersected(rect);
        for (double x = std::ceil(area.left() / spacing) * spacing; x <= area.right(); x += spacing)
            painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        for (double y = std::ceil(area.top() / spacing) * spacing; y <= area.bottom(); y += spacing)
            painter->drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    painter->setPen(cosmetic(Qt::darkGray));
    painter->drawRect(paper);
}

void DesignView::drawForeground(QPainter* painter, const QRectF& rect) {
    const ReportTemplate& t = shown();
    const LineBand& band = t.lines;
    painter->save();
    if (band.lineCount > 0) {
        painter->setPen(cosmetic(QColor(230, 120, 0, 160), Qt::DashLine));
        for (int i = 0; i < band.lineCount; ++i) {
            const double y = band.firstLineY + i * band.pitch;
            painter->drawLine(QPointF(0, y), QPointF(t.paper.width(), y));
        }
    }
    painter->setPen(cosmetic(QColor(0, 170, 200)));
    for (const double x : m_guidesX)
        painter->drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
    for (const double y : m_guidesY)
        painter->drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
    painter->setPen(cosmetic(QColor(0, 170, 200), Qt::DashLine));
    if (m_pulledX)
        painter->drawLine(QPointF(*m_pulledX, rect.top()), QPointF(*m_pulledX, rect.bottom()));
    if (m_pulledY)
        painter->drawLine(QPointF(rect.left(), *m_pulledY), QPointF(rect.right(), *m_pulledY));

    painter->resetTransform();
    if (band.lineCount > 0) {
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(QColor(230, 120, 0));
        painter->drawRect(bandHandleRect(band.firstLineY));
        if (band.lineCount > 1) {
            painter->setBrush(QColor(0, 160, 90));
            painter->drawRect(bandHandleRect(band.firstLineY + band.pitch));
        }
    }
    painter->setPen(QPen(Qt::red, 2));
    for (const QPointF& point : m_picked) {
        const QPointF at = viewportTransform().map(point);
        painter->drawLine(at + QPointF(-8, 0), at + QPointF(8, 0));
        painter->drawLine(at + QPointF(0, -8), at + QPointF(0, 8));
    }
    painter->restore();
}
