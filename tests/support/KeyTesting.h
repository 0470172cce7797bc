#pragma once
// Typing into a window the way the keyboard does: keys go to the window, not to
// a widget picked by the test.
#include "WindowTesting.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace SlipTesting {

// Keys go to the window, and from there to the focused control or the open
// drop-down list, exactly as the window system delivers them.
inline void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->window()->windowHandle(), key, modifiers);
}

inline void type(QWidget* window, const QString& text) {
    for (const QChar character : text)
        QTest::keyClick(window->window()->windowHandle(), character.toLatin1());
}

} // namespace SlipTesting
