#pragma once
#include "FlexGrid.h"

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
