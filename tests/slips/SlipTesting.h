#pragma once
// Helpers the slip tests share: showing a window the way a person gets it, and
// typing into it through the window, as the keyboard does.
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
