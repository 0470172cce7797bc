#pragma once
#include <QStringList>
#include <QTableView>
#include <QVector>
#include <functional>

class FlexGridModel;

// The list grid of the windows: a fixed header row (row 0, shown as the column
// headers), a narrow fixed key column 0, and data rows 1 .. rows() - 1 that are
// selected whole and one at a time. Rows and columns are counted as the windows
// count them, header row included; widths and heights are given in twips.
//
// Cells are plain QStrings in a flat table, or made by a function when a row is
// shown or read, so ten thousand rows stay quick; fill() replaces all data rows at once.
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

    // The text of a data row's cell (row 1 .. n).
    using CellText = std::function<QString(int row, int col)>;
    // Replaces every data row with dataRows rows whose cells read cellText when
    // they are shown or read, so a long list costs only the rows on screen.
    // The grid behaves as if filled with those texts: changing a data cell, the
    // column count or growing the rows turns them into stored texts first.
    void fill(int dataRows, CellText cellText);

    void setColWidth(int col, int twips);
    // Row 0 sets the header height (at least what its text needs).
    void setRowHeight(int row, int twips);
    void setMinRowHeight(int twips);

    // The selected data row, or 0 when no data row is selected.
    int rowSel() const;
    // Selects a data row; 0 clears the selection.
    void setRowSel(int row);
    // The key in column 0 of the selected data row; empty when none is selected.
    QString selectedKey() const;

    // Lets the person select several rows: Ctrl-click, Shift-click, Ctrl+A and
    // Shift with the arrow keys. A plain click still selects one row.
    void setMultiSelect(bool on);
    // Every selected data row, top to bottom.
    QList<int> selectedRows() const;
    // The keys in column 0 of selectedRows(), in the same order.
    QStringList selectedKeys() const;

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
