#include "Statement.h"
#include "Connection.h"
#include "DbError.h"

#include <QDate>
#include <sqlite3.h>

namespace {

// What Qt's SQLite driver binds as NULL.
bool isNullValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDate:
        return !value.toDate().isValid();
    default:
        return false;
    }
}

} // namespace

Statement::Statement(const Connection& connection, const QString& sql) : m_db(connection.handle()) {
    if (!m_db)
        throw DbError(QStringLiteral("The connection is not open."));
    Connection::checkFault(sql);
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int code = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_statement, &tail);
    if (code != SQLITE_OK)
        fail(code);
    if (!m_statement)
        throw DbError(QStringLiteral("The statement is empty."));
    // One text, one statement: a second one would otherwise be dropped unseen.
    if (!QByteArray(tail).trimmed().isEmpty()) {
        sqlite3_finalize(m_statement);
        throw DbError(QStringLiteral("Unable to execute multiple statements at a time"));
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

void Statement::bind(const QVariantList& values) {
    sqlite3_reset(m_statement);
    if (values.size() != sqlite3_bind_parameter_count(m_statement))
        throw DbError(QStringLiteral("Parameter count mismatch"));
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values[i];
        const int position = i + 1;
        int code = SQLITE_OK;
        if (isNullValue(value)) {
            code = sqlite3_bind_null(m_statement, position);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                code = sqlite3_bind_int64(m_statement, position, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                code = sqlite3_bind_double(m_statement, position, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                code = sqlite3_bind_blob(m_statement, position, bytes.constData(), int(bytes.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = value.toString().toUtf8();
                code = sqlite3_bind_text(m_statement, position, text.constData(), int(text.size()),
                                         SQLITE_TRANSIENT);
            }
            }
        }
        if (code != SQLITE_OK)
            fail(code);
    }
}

void Statement::run(const QVariantList& values) {
    bind(values);
    while (next()) {
    }
}

bool Statement::next() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    fail(code);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_statement);
}

QStringList Statement::columnNames() const {
    QStringList names;
    for (int i = 0; i < columnCount(); ++i)
        names << QString::fromUtf8(sqlite3_column_name(m_statement, i)).remove(QLatin1Char('"'));
    return names;
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement, column));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
    }
    }
}

qint64 Statement::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

void Statement::fail(int code) const {
    throw Connection::describe(code, QString::fromUtf8(sqlite3_errmsg(m_db)));
}
