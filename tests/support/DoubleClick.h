#pragma once
#include <QTest>

// A real double click as the window system delivers it: press, release, then
// the double-click event and its release. QTest::mouseDClick alone sends only
// the double-click event, which item views ignore without the press before it.
inline void doubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}
