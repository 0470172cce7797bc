#pragma once
#include <QWidget>

class DesignView;

// A millimetre ruler along the top or the left of the page, following the
// view's zoom and scroll, with the pointer's place marked. Dragging out of it
// pulls a guide onto the page.
class Ruler : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 22;

    Ruler(Qt::Orientation orientation, DesignView& view, QWidget* parent = nullptr);

    void setPointer(double mm);
    // The millimetre shown at a pixel along the ruler.
    double mmAt(double pixel) const;
    double pixelAt(double mm) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Qt::Orientation m_orientation;
    DesignView& m_view;
    double m_pointer = -1e9;
    bool m_pulling = false;
};
