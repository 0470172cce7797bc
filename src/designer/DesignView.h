#pragma once
#include "DesignDocument.h"
#include "TemplateEditing.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <functional>
#include <optional>

class ElementItem;

// The page at true size: 100 % zoom shows a millimetre as a millimetre on this
// screen. Elements are moved with the mouse or the arrow keys, resized by their
// handles, and the cheque-line band by its two handles left of the paper; the
// scan moves with Ctrl+Shift held. Tab walks through the elements.
class DesignView : public QGraphicsView {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 8.0;
    static constexpr const char* kPaletteMime = "application/x-cheqora-palette";

    explicit DesignView(DesignDocument& document, QWidget* parent = nullptr);
    ~DesignView() override;

    DesignDocument& document() { return m_document; }
    // The template as shown: while a drag runs, with the drag applied.
    const ReportTemplate& shown() const { return m_drag ? m_drag->live : m_document.layout(); }
    const SlipRecord& sample() const { return m_document.sample(); }

    // Screen pixels per millimetre at the present zoom.
    double pixelsPerMm() const { return m_truePixelsPerMm * m_zoom; }
    // Screen pixels per millimetre at 100 %: the screen's physical resolution.
    double truePixelsPerMm() const { return m_truePixelsPerMm; }
    void setTruePixelsPerMm(double pixels);
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();

    bool snaps() const { return m_snap; }
    void setSnap(bool snap);
    double gridStep() const { return m_gridStep; }
    void setGridStep(double mm);
    bool showsScan() const { return m_showScan; }
    void setShowScan(bool show);

    const std::vector<double>& guides(Qt::Orientation orientation) const;
    void addGuide(Qt::Orientation orientation, double mm);
    void clearGuides();
    // A guide dragged out of a ruler: pulled while the button is held, kept
    // where it is let go over the page.
    void pullGuide(Qt::Orientation orientation, QPoint globalPos);
    void dropGuide(Qt::Orientation orientation, QPoint globalPos);
    std::optional<double> pulledGuide(Qt::Orientation orientation) const;

    // The next two clicks on the page pick two points; then done gets them.
    void pickTwoPoints(std::function<void(QPointF, QPointF)> done);
    bool picksPoints() const { return bool(m_pickDone); }

    // The page position (mm) under a point of the viewport.
    QPointF pagePoint(QPoint viewportPos) const;
    // The item drawing an element.
    ElementItem* item(ElementRef ref) const;
    int selectedCount() const { return int(m_document.selection().size()); }
    // The eight resize handles of a box in device pixels: corners and edge middles.
    std::vector<QRectF> handleRects(const QRectF& deviceBox) const;

    // The element the keyboard is on, announced to screen readers.
    QString announcement() const { return m_announcement; }

    // Moves the selection by the arrow-key step (one undo step for a run of nudges).
    void nudge(QPointF deltaMm);
    // Adds the palette item id (see Palette) with its top-left corner at pageMm.
    void addFromPalette(const QString& id, QPointF pageMm);
    // Where the keyboard adds a palette item: the middle of what is shown.
    QPointF visibleMiddle() const;

signals:
    void pointerMoved(QPointF pageMm);
    void viewChanged();
    void announced(const QString& text);
    void pointsPicked();

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class DragKind { Move, Resize, BandFirst, BandPitch, Guide, Scan };
    struct Drag {
        DragKind kind;
        QPointF startMm;
        ReportTemplate start;
        ReportTemplate live;
        ElementRef anchor;
        int handle = -1;
        Qt::Orientation guideOrientation = Qt::Horizontal;
        int guideIndex = -1;
    };

    void syncItems();
    void syncSelection();
    void takeSceneSelection();
    void applyZoom();
    void updateScene();
    void announce(ElementRef ref);
    double snapped(double mm, Qt::Orientation orientation) const;
    QPointF snappedDelta(const QRectF& box, QPointF delta) const;
    void dragTo(QPointF pageMm);
    void finishDrag();
    int handleAt(ElementItem* item, QPoint viewportPos) const;
    std::optional<DragKind> bandHandleAt(QPoint viewportPos) const;
    QRectF bandHandleRect(double yMm) const;
    int guideAt(Qt::Orientation orientation, QPoint viewportPos) const;
    ElementItem* elementAt(QPoint viewportPos) const;

    DesignDocument& m_document;
    QGraphicsScene* m_scene;
    std::vector<ElementItem*> m_items;
    std::optional<Drag> m_drag;
    bool m_syncing = false;
    double m_truePixelsPerMm = 96 / 25.4;
    double m_zoom = 1.0;
    bool m_snap = true;
    double m_gridStep = 0.5;
    bool m_showScan = true;
    std::vector<double> m_guidesX; // vertical guides at these x
    std::vector<double> m_guidesY; // horizontal guides at these y
    std::optional<double> m_pulledX;
    std::optional<double> m_pulledY;
    std::function<void(QPointF, QPointF)> m_pickDone;
    std::vector<QPointF> m_picked;
    QImage m_scaledScan;     // the scan at the present zoom, when smaller than the image
    qint64 m_scaledFrom = 0; // the cache key of the image it was scaled from
    QString m_announcement;
};
