#include "Recordset.h"
#include "DbError.h"
#include "Statement.h"

#include <QDate>
#include <QRegularExpression>

namespace {

// Dates are stored as ISO text so that they compare and sort as text.
QVariant toStored(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    return value;
}

// A field as text; an empty (null) value is empty text.
QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

QString updatableTable(const QString& sql) {
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\w+)\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(sql);
    if (!match.hasMatch() || sql.contains(QStringLiteral(" join "), Qt::CaseInsensitive))
        return QString();
    return match.captured(1);
}

} // namespace

void Recordset::Open(const QString& sql, std::shared_ptr<Connection> connection,
                     const QVariantList& bindings) {
    m_connection = std::move(connection);
    m_selectSql.clear();
    m_table.clear();
    m_columns.clear();
    m_rows.clear();
    m_position = 0;
    m_adding = false;
    m_pending.clear();
    if (!m_connection || m_connection->State() != 1)
        throw DbError(QStringLiteral("The connection is not open."));

    Statement statement(*m_connection, sql);
    QVariantList stored;
    for (const QVariant& value : bindings)
        stored << toStored(value);
    statement.bind(stored);
    m_columns = statement.columnNames();
    const int columns = FieldCount();
    while (statement.next()) {
        if (columns == 0)
            continue; // a statement without result rows simply runs
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << statement.value(i);
        m_rows.push_back(std::move(row));
    }
    if (columns > 0)
        m_selectSql = sql;
}

void Recordset::MoveNext() {
    if (m_position < RecordCount())
        ++m_position;
}

QVariant Recordset::Fields(int ordinal) const {
    const QVariant& stored = value(m_position, ordinal);
    for (const auto& [pendingOrdinal, pendingValue] : m_pending) {
        if (pendingOrdinal == ordinal)
            return toStored(pendingValue);
    }
    return stored;
}

QString Recordset::FieldText(int ordinal) const {
    return textOf(Fields(ordinal));
}

QString Recordset::text(int row, int ordinal) const {
    return textOf(value(row, ordinal));
}

const QVariant& Recordset::value(int row, int ordinal) const {
    if (ordinal < 0 || ordinal >= FieldCount())
        throw DbError(QStringLiteral("Item cannot be found in the collection (field %1).").arg(ordinal));
    if (row < 0 || row >= RecordCount())
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_rows[row][ordinal];
}

void Recordset::requireUpdatable() {
    if (m_table.isEmpty())
        m_table = updatableTable(m_selectSql);
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("The recordset cannot be updated."));
}

void Recordset::AddNew() {
    requireUpdatable();
    m_pending.clear();
    m_rows.push_back(QVariantList(FieldCount()));
    m_position = RecordCount() - 1;
    m_adding = true;
}

void Recordset::SetField(int ordinal, const QVariant& value) {
    requireUpdatable();
    this->value(m_position, ordinal); // the same checks as reading the field
    m_pending.emplace_back(ordinal, value);
}

void Recordset::Update() {
    requireUpdatable();
    if (atEnd())
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    if (m_adding)
        insertRow();
    else
        updateRow();
    m_pending.clear();
    m_adding = false;
}

void Recordset::insertRow() {
    QStringList names;
    QStringList marks;
    for (const auto& [ordinal, value] : m_pending) {
        names << m_columns[ordinal];
        marks << QStringLiteral("?");
    }
    // The stored row comes back, so ordinal 0 holds the new key and the other
    // fields hold what the database made of the values.
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING *").arg(m_table)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING *")
                                  .arg(m_table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QVariantList values;
    for (const auto& [ordinal, value] : m_pending)
        values << toStored(value);
    Statement insert(*m_connection, sql);
    insert.bind(values);
    QVariantList row(FieldCount());
    if (insert.next()) {
        for (int i = 0; i < FieldCount(); ++i)
            row[i] = insert.value(i);
    }
    while (insert.next()) {
    }
    m_rows[m_position] = row;
}

void Recordset::updateRow() {
    if (m_pending.empty())
        return;
    QStringList assignments;
    for (const auto& [ordinal, value] : m_pending)
        assignments << m_columns[ordinal] + QStringLiteral("=?");
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                            .arg(m_table, assignments.join(QLatin1Char(',')), m_columns[0]);
    QVariantList values;
    for (const auto& [ordinal, value] : m_pending)
        values << toStored(value);
    values << m_rows[m_position][0];
    Statement(*m_connection, sql).run(values);
    for (const auto& [ordinal, value] : m_pending)
        m_rows[m_position][ordinal] = toStored(value);
}
