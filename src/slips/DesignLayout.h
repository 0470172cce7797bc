#pragma once
#include <QFont>

class QWidget;

// Places controls by a window's design: pixel geometry at 96 dpi for Arial
// 8.25 pt. When the window's font is larger than that (another font, a higher
// dpi), every position and size grows by the same ratio, so the arrangement
// stays and no caption is cut. A control never gets less height than it needs
// for its text (a scrolling text box excepted).
class DesignLayout {
public:
    explicit DesignLayout(const QFont& font);

    // The design font: Arial 8.25 pt.
    static QFont designFont();

    double scale() const { return m_scale; }
    int scaled(int designPixels) const;
    void place(QWidget* widget, int x, int y, int width, int height) const;
    // The same, for a control whose widest value needs a fixed width (a date
    // picker): it also never gets less width than that.
    void placeFitting(QWidget* widget, int x, int y, int width, int height) const;

private:
    double m_scale = 1.0;
};
