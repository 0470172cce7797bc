#include "FlexGrid.h"
#include "Controls.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPalette>
#include <algorithm>
#include <stdexcept>

// The cells of the grid, header row included, row after row in one vector.
// Data rows are model rows 0 .. n - 1; the header row is the horizontal header.
// Data rows filled through a CellText function are not stored until a change
// needs them stored.
class FlexGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int gridRows() const { return m_rows; }
    int gridCols() const { return m_cols; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows - 1; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_cols; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return cell(index.row() + 1, index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        // The key column is fixed, drawn like the header.
        if (role == Qt::BackgroundRole && index.column() == 0)
            return QGuiApplication::palette().button();
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_cols)
            return cell(0, section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    QString cell(int row, int col) const {
        if (m_cellText && row > 0)
            return m_cellText(row, col);
        return m_cells[row * m_cols + col];
    }

    void checkCell(int row, int col) const {
        if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
            throw std::out_of_range("Subscript out of range");
    }

    void setCell(int row, int col, const QString& text) {
        checkCell(row, col);
        if (row > 0)
            storeCellTexts();
        m_cells[row * m_cols + col] = text;
        if (row == 0) {
            emit headerDataChanged(Qt::Horizontal, col, col);
        } else {
            const QModelIndex changed = index(row - 1, col);
            emit dataChanged(changed, changed, {Qt::DisplayRole});
        }
    }

    void setGridRows(int count) {
        count = qMax(1, count);
        if (count == 1)
            m_cellText = nullptr; // nothing left to read
        else if (count > m_rows)
            storeCellTexts();
        if (count > m_rows) {
            beginInsertRows({}, m_rows - 1, count - 2);
            m_rows = count;
            m_cells.resize(m_rows * m_cols);
            endInsertRows();
        } else if (count < m_rows) {
            beginRemoveRows({}, count - 1, m_rows - 2);
            m_rows = count;
            m_cells.resize(m_rows * m_cols);
            endRemoveRows();
        }
    }

    void setGridCols(int count) {
        count = qMax(0, count);
        if (count == m_cols)
            return;
        storeCellTexts();
        // Cells are laid out row after row, so a new width moves every row.
        QVector<QString> cells(m_rows * count);
        for (int row = 0; row < m_rows; ++row) {
            for (int col = 0; col < qMin(count, m_cols); ++col)
                cells[row * count + col] = cell(row, col);
        }
        if (count > m_cols)
            beginInsertColumns({}, m_cols, count - 1);
        else
            beginRemoveColumns({}, count, m_cols - 1);
        const bool growing = count > m_cols;
        m_cols = count;
        m_cells = std::move(cells);
        if (growing)
            endInsertColumns();
        else
            endRemoveColumns();
    }

    void fill(int dataRows, FlexGrid::CellText cellText) {
        beginResetModel();
        m_rows = qMax(0, dataRows) + 1;
        m_cells.resize(m_cols); // the header row stays; data rows are read when needed
        m_cellText = m_rows > 1 ? std::move(cellText) : nullptr;
        endResetModel();
    }

private:
    // Turns data rows read through m_cellText into stored texts.
    void storeCellTexts() {
        if (!m_cellText)
            return;
        m_cells.resize(m_rows * m_cols);
        for (int row = 1; row < m_rows; ++row) {
            for (int col = 0; col < m_cols; ++col)
                m_cells[row * m_cols + col] = m_cellText(row, col);
        }
        m_cellText = nullptr;
    }

    int m_rows = 1;
    int m_cols = 0;
    QVector<QString> m_cells;
    FlexGrid::CellText m_cellText;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), m_model(new FlexGridModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the window's buttons; arrows move within it.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);

    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(0); // a key column may be a pixel wide, or none
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Rows are never measured one by one: every row has the default height,
    // one line of text with a little air.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit DblClick(index.row() + 1);
    });
}

int FlexGrid::cols() const {
    return m_model->gridCols();
}

void FlexGrid::setCols(int count) {
    m_model->setGridCols(count);
}

int FlexGrid::rows() const {
    return m_model->gridRows();
}

void FlexGrid::setRows(int count) {
    m_model->setGridRows(count);
    selectFirstRowIfNone();
}

QString FlexGrid::textMatrix(int row, int col) const {
    m_model->checkCell(row, col);
    return m_model->cell(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    m_model->setCell(row, col, text);
}

void FlexGrid::fill(const QVector<QStringList>& dataRows) {
    // The texts at hand serve as the cell function; a short row reads empty.
    m_model->fill(static_cast<int>(dataRows.size()), [dataRows](int row, int col) {
        const QStringList& texts = dataRows[row - 1];
        return col < texts.size() ? texts[col] : QString();
    });
    selectFirstRowIfNone();
}

void FlexGrid::fill(int dataRows, CellText cellText) {
    m_model->fill(dataRows, std::move(cellText));
    selectFirstRowIfNone();
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols())
        throw std::out_of_range("Subscript out of range");
    horizontalHeader()->resizeSection(col, Controls::twips(twips));
}

void FlexGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows())
        throw std::out_of_range("Subscript out of range");
    if (row == 0)
        horizontalHeader()->setMinimumHeight(Controls::twips(twips));
    else
        verticalHeader()->resizeSection(row - 1, Controls::twips(twips));
}

void FlexGrid::setMinRowHeight(int twips) {
    const int pixels = Controls::twips(twips);
    verticalHeader()->setMinimumSectionSize(pixels);
    if (verticalHeader()->defaultSectionSize() < pixels)
        verticalHeader()->setDefaultSectionSize(pixels);
}

QString FlexGrid::selectedKey() const {
    const int row = rowSel();
    return row > 0 ? textMatrix(row, 0) : QString();
}

int FlexGrid::rowSel() const {
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid() || !selectionModel()->isRowSelected(current.row(), {}))
        return 0;
    return current.row() + 1;
}

void FlexGrid::setRowSel(int row) {
    if (row < 1 || row >= rows()) {
        clearSelection();
        return;
    }
    const QModelIndex target = m_model->index(row - 1, firstWideColumn());
    selectionModel()->setCurrentIndex(target,
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void FlexGrid::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> FlexGrid::selectedRows() const {
    // Read by ranges: Ctrl+A on a month selects thousands of rows in one range.
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row + 1;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QStringList FlexGrid::selectedKeys() const {
    QStringList keys;
    for (const int row : selectedRows())
        keys << textMatrix(row, 0);
    return keys;
}

QRect FlexGrid::cellRect(int row, int col) const {
    return visualRect(m_model->index(row - 1, col));
}

// As the old grid did, a filled grid starts on its first data row, so that
// "Edit" without any click opens that row.
void FlexGrid::selectFirstRowIfNone() {
    if (rows() > 1 && cols() > 0 && rowSel() == 0)
        setRowSel(1);
}

// The current cell is kept off the narrow key column, where a focus frame
// would not show.
int FlexGrid::firstWideColumn() const {
    return cols() > 1 ? 1 : 0;
}
