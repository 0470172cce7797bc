#pragma once
#include <QStringList>
#include <QTableView>
#include <QVector>

class FlexGridModel;

// The list grid of the windows: a fixed header row (row 0, shown as the column
// headers), a narrow fixed key column 0, and data rows 1 .. rows() - 1 that are
// selected whole and one at a time. Rows and columns are counted as the windows
// count them, header row included; widths and heights are given in twips.
//
// Every cell is one QString in a flat table, so ten thousand rows stay quick;
// fill() replaces all data rows at once.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int cols() const;
    void setCols(int count);
    // Counts the header row: setRows(1) leaves only the header.
    int rows() const;
    void setRows(int count);

    // Row 0 is the header row. Throws std::out_of_range outside the grid.
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Replaces every data row (rows 1 .. n) with dataRows, keeping the header
    // row and the column count; a short list leaves the rest of its row empty.
    void fill(const QVector<QStringList>& dataRows);

    void setColWidth(int col, int twips);
    // Row 0 sets the header height (at least what its text needs).
    void setRowHeight(int row, int twips);
    void setMinRowHeight(int twips);

    // The selected data row, or 0 when no data row is selected.
    int rowSel() const;
    // Selects a data row; 0 clears the selection.
    void setRowSel(int row);

    // Where a cell of a data row is drawn, in viewport coordinates.
    QRect cellRect(int row, int col) const;

signals:
    // A data row was double-clicked; it is the selected row by then.
    void DblClick(int row);

private:
    void selectFirstRowIfNone();
    int firstWideColumn() const;

    FlexGridModel* m_model;
};
