#pragma once
#include "ElementRef.h"

#include <QGraphicsItem>

class DesignView;

// One element on the page, drawn by the report renderer with the sample slip:
// a band element on every cheque line. Its box is outlined (red when the text
// does not fit); selected, it shows its resize handles and character cells.
class ElementItem : public QGraphicsItem {
public:
    enum { Type = UserType + 1 };

    ElementItem(DesignView& view, ElementRef ref);

    ElementRef ref() const { return m_ref; }
    bool overflows() const { return m_overflows; }
    // Takes position, size and text room from the template the view shows.
    void sync();

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    DesignView& m_view;
    ElementRef m_ref;
    QRectF m_bounds;
    QPainterPath m_shape;
    bool m_overflows = false;
};
