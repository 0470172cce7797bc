#pragma once
// What every window test needs: a window shown the way a person gets it, and
// the message boxes it showed.
#include "MsgBox.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Shows the window and makes it the active one, so focus and popups behave as on a desktop.
inline bool showActive(QWidget* window) {
    window->show();
    window->raise();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// The texts of the message boxes shown so far, oldest first.
inline QStringList shownTexts() {
    QStringList texts;
    for (const MsgBox::Shown& box : MsgBox::shown())
        texts << box.text;
    return texts;
}
