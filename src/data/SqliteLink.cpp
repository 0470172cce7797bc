#include "SqliteLink.h"
#include "CentsFunction.h"
#include "Connection.h"
#include "DbError.h"
#include "NullBinding.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <sqlite3.h>
#include <unistd.h>

const QStringList& databaseFileSuffixes() {
    static const QStringList suffixes{QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                      QStringLiteral("-journal")};
    return suffixes;
}

void removeDatabaseFiles(const QString& path) {
    for (const QString& suffix : databaseFileSuffixes())
        QFile::remove(path + suffix);
}

namespace {

int linkCounter = 0;

// Whether this process can store into the file: the file itself, and beside it
// SQLite's -wal and -shm files (its folder, unless they are there already).
bool canWrite(const QString& file) {
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    return writable(file) &&
           (writable(QFileInfo(file).absolutePath()) ||
            (writable(file + QStringLiteral("-wal")) && writable(file + QStringLiteral("-shm"))));
}

class SqliteStatement : public PreparedStatement {
public:
    SqliteStatement(sqlite3* db, const QString& sql) : m_db(db) {
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
    ~SqliteStatement() override { sqlite3_finalize(m_statement); }

    void bind(const QVariantList& values) override {
        sqlite3_reset(m_statement);
        if (values.size() != sqlite3_bind_parameter_count(m_statement))
            throw DbError(QStringLiteral("Parameter count mismatch"));
        for (int i = 0; i < values.size(); ++i) {
            const int code = bindOne(i + 1, values[i]);
            if (code != SQLITE_OK)
                fail(code);
        }
    }

    bool next() override {
        const int code = sqlite3_step(m_statement);
        if (code == SQLITE_ROW)
            return true;
        if (code == SQLITE_DONE)
            return false;
        fail(code);
    }

    QStringList columnNames() override {
        QStringList names;
        for (int i = 0; i < sqlite3_column_count(m_statement); ++i)
            names << QString::fromUtf8(sqlite3_column_name(m_statement, i)).remove(QLatin1Char('"'));
        return names;
    }

    QVariant value(int column) const override {
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

    qint64 lastInsertId() override { return sqlite3_last_insert_rowid(m_db); }

private:
    int bindOne(int position, const QVariant& value) {
        if (isNullBinding(value))
            return sqlite3_bind_null(m_statement, position);
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return sqlite3_bind_int64(m_statement, position, value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(m_statement, position, value.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return sqlite3_bind_blob(m_statement, position, bytes.constData(), int(bytes.size()),
                                     SQLITE_TRANSIENT);
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            return sqlite3_bind_text(m_statement, position, text.constData(), int(text.size()),
                                     SQLITE_TRANSIENT);
        }
        }
    }

    [[noreturn]] void fail(int code) const {
        throw Connection::describe(code, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace

SqliteLink::SqliteLink(const QString& path) : m_name(QStringLiteral("cheqora-%1").arg(++linkCounter)) {
    if (path.isEmpty())
        throw DbError(QStringLiteral("No database file is named."));
    const QFileInfo info(path);
    // The driver would create a missing file; a missing file is a failed open instead.
    if (!info.exists())
        throw DbError(QStringLiteral("The database file '%1' does not exist.").arg(path));
    if (!info.isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path));

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // A second copy of the program may hold the write lock for a moment.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    m_db.setDatabaseName(path);
    const QString file = info.canonicalFilePath();
    if (!canWrite(file)) {
        // Read only. With no -wal file beside it no other copy is at work on it,
        // and SQLite reads it as it stands (immutable): it then creates no -wal
        // and -shm files, which it could not in a read-only folder and would
        // otherwise leave behind with the file's read-only permissions.
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        if (!QFileInfo::exists(file + QStringLiteral("-wal"))) {
            options += QStringLiteral(";QSQLITE_OPEN_URI");
            m_db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
                                 QStringLiteral("?immutable=1"));
        }
    }
    m_db.setConnectOptions(options);
    if (!m_db.open()) {
        const QString error = m_db.lastError().text();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(error);
    }
}

SqliteLink::~SqliteLink() {
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

sqlite3* SqliteLink::handle() const {
    if (!m_db.isValid() || !m_db.isOpen())
        return nullptr;
    const QVariant handle = m_db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

std::unique_ptr<PreparedStatement> SqliteLink::prepare(const QString& sql) {
    sqlite3* db = handle();
    if (!db)
        throw DbError(QStringLiteral("The connection is not open."));
    return std::make_unique<SqliteStatement>(db, sql);
}

void SqliteLink::execute(const QString& sql) {
    Connection::checkFault(sql);
    auto statement = prepare(sql);
    statement->bind({});
    while (statement->next()) {
    }
}

void SqliteLink::prepareForUse() {
    QString reason;
    try {
        execute(QStringLiteral("PRAGMA synchronous=FULL"));
        Connection::checkFault(QStringLiteral("PRAGMA synchronous"));
        auto readBack = prepare(QStringLiteral("PRAGMA synchronous"));
        const QString level = readBack->next() ? readBack->value(0).toString() : QString();
        if (level.toInt() < 2) // FULL or EXTRA
            reason = QStringLiteral("synchronous stays at %1").arg(level);
    } catch (const DbError& error) {
        reason = error.description();
    }
    if (!reason.isEmpty())
        m_writeRefusal = DbMessages::notDurable(reason);
    registerCentsFunction(handle());
}

void SqliteLink::beginWrite() {
    // IMMEDIATE takes the write lock now, so a busy file is found before any change.
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteLink::beginSnapshot() {
    // In WAL mode a read transaction sees the file as of its first read.
    execute(QStringLiteral("BEGIN"));
    execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

void SqliteLink::commit() {
    execute(QStringLiteral("COMMIT"));
}

void SqliteLink::rollback() noexcept {
    // Straight to SQLite, past the tests' fault hook.
    sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

QString SqliteLink::tableColumnsSql() const {
    return QStringLiteral("SELECT lower(m.name), p.name FROM sqlite_master m JOIN "
                          "pragma_table_info(m.name) p WHERE m.type='table' ORDER BY m.name, p.cid");
}

QStringList SqliteLink::integrityProblems() {
    auto check = prepare(QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (check->next())
        problems << check->value(0).toString();
    if (problems == QStringList{QStringLiteral("ok")})
        return {};
    return problems;
}

qint64 SqliteLink::lastKey(const QString& table, const QString&) {
    auto query = prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE lower(name) = lower(?)"));
    query->bind({table});
    return query->next() ? query->value(0).toLongLong() : 0;
}

void SqliteLink::keepKeysAbove(const QString& table, const QString&, qint64 key) {
    // AUTOINCREMENT keeps the largest key it gave in sqlite_sequence.
    auto update = prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"));
    update->bind({key, table});
    update->next();
    auto insert = prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?, ? WHERE NOT "
                                         "EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?)"));
    insert->bind({table, key, table});
    insert->next();
}
