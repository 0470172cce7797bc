#pragma once
#include "Connection.h"

#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

// A small updatable result set in the manner the windows use: open on an SQL
// text, read fields by ordinal, walk the rows, add or change a row and store it.
//
// A "select * from <table> ..." result is updatable: AddNew / SetField / Update
// insert a row (whose new key is then readable at ordinal 0), and SetField /
// Update on a current row rewrite that row by its key in ordinal 0. Any other
// statement (a deletion, say) simply runs. Values in '?' placeholders are bound,
// never spliced into the text. All rows are read when the recordset opens, so it
// holds no lock on the file afterwards.
class Recordset {
public:
    void Open(const QString& sql, std::shared_ptr<Connection> connection, const QVariantList& bindings = {});

    int RecordCount() const { return static_cast<int>(m_rows.size()); }
    int FieldCount() const { return static_cast<int>(m_columns.size()); }
    // 1-based position of the current row.
    int AbsolutePosition() const { return m_position + 1; }
    bool atEnd() const { return m_position >= RecordCount(); }
    void MoveNext();

    // Field of the current row; throws DbError past the end or for an unknown ordinal.
    QVariant Fields(int ordinal) const;
    // The field as text; an empty (null) value is empty text.
    QString FieldText(int ordinal) const;

    // A field of any row (0-based) as read, wherever the cursor stands: for a
    // list that keeps its result and reads a row only when it shows it.
    // Throws DbError outside the result.
    const QVariant& value(int row, int ordinal) const;
    // The same as text; an empty (null) value is empty text.
    QString text(int row, int ordinal) const;

    void AddNew();
    void SetField(int ordinal, const QVariant& value);
    void Update();

private:
    // Finds the table of a "select * from <table>" result on first need; throws
    // DbError for any other result.
    void requireUpdatable();
    void insertRow();
    void updateRow();

    std::shared_ptr<Connection> m_connection;
    QString m_selectSql; // the text of a result with columns; empty otherwise
    QString m_table;
    QStringList m_columns;
    std::vector<QVariantList> m_rows;
    int m_position = 0;
    bool m_adding = false;
    std::vector<std::pair<int, QVariant>> m_pending;
};
