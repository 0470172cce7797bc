#pragma once
#include "FlexGrid.h"

#include <QTest>

// What a person's keyboard and mouse send, where QTest alone falls short.

// Types text key by key. QTest::keyClicks knows only Latin-1 keys; any other
// character (Devanagari, say) arrives as a key event carrying just its text,
// as an input method delivers it.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() >= 0x20 && character.unicode() < 0x7f)
            QTest::keyClick(widget, character.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

// A real double click as the window system delivers it: press, release, then
// the double-click event and its release. QTest::mouseDClick alone sends only
// the double-click event, which item views ignore without the press before it.
inline void doubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

// The grid's rows as text, header row included, the cells of a row joined by "|".
inline QStringList gridRows(const FlexGrid* grid) {
    QStringList rows;
    for (int row = 0; row < grid->rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->cols(); ++col)
            cells << grid->textMatrix(row, col);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// Clicks a data row of the grid (in its third column), as a person selects it.
inline void clickGridRow(FlexGrid* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(row, 2).center());
}
