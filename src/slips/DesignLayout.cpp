#include "DesignLayout.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// What Arial 8.25 pt measures at 96 dpi: its line height and a caption's width.
constexpr double kDesignLineHeight = 12.0;
const char* const kReferenceCaption = "Select Account";
constexpr double kReferenceCaptionWidth = 73.0;
} // namespace

DesignLayout::DesignLayout(const QFont& font) {
    // Whole pixels, as the controls measure their text.
    const QFontMetrics metrics(font);
    const double heightRatio = metrics.height() / kDesignLineHeight;
    const double widthRatio =
        metrics.horizontalAdvance(QLatin1String(kReferenceCaption)) / kReferenceCaptionWidth;
    m_scale = std::max({1.0, heightRatio, widthRatio});
}

QFont DesignLayout::designFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    return font;
}

int DesignLayout::scaled(int designPixels) const {
    return static_cast<int>(std::lround(designPixels * m_scale));
}

void DesignLayout::place(QWidget* widget, int x, int y, int width, int height) const {
    // A scrolling text box keeps its design height: its text scrolls.
    const int needed = qobject_cast<QAbstractScrollArea*>(widget) ? 0 : widget->minimumSizeHint().height();
    widget->setGeometry(scaled(x), scaled(y), scaled(width), std::max(scaled(height), needed));
}

void DesignLayout::placeFitting(QWidget* widget, int x, int y, int width, int height) const {
    place(widget, x, y, width, height);
    widget->resize(std::max(widget->width(), widget->minimumSizeHint().width()), widget->height());
}
