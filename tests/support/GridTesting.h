#pragma once
#include "FlexGrid.h"

#include <QTest>

#include <QStringList>

// The grid's rows as text, header row included, one row per line with the
// cells joined by '|'.
inline QStringList gridRows(const FlexGrid* grid) {
    QStringList rows;
    for (int row = 0; row < grid->rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->cols(); ++col)
            cells << grid->textMatrix(row, col);
        rows << cells.join('|');
    }
    return rows;
}

// Clicks a data row of the grid (in its third column), as a person selects it.
inline void clickGridRow(FlexGrid* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(row, 2).center());
}
