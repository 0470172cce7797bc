#include "BareSqlite.h"

#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void check(sqlite3* db, int code, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void bind(sqlite3* db, sqlite3_stmt* statement, int position, const QVariant& value) {
    int code = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        code = sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    case QMetaType::Double:
        code = sqlite3_bind_double(statement, position, value.toDouble());
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        code = sqlite3_bind_text(statement, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
    check(db, code, "bind");
}

} // namespace

BareSqlite::BareSqlite(const QString& path) {
    const int code = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("open: " + message);
    }
    sqlite3_busy_timeout(m_db, 5000);
    // The same durability as the program's own connection.
    exec("PRAGMA synchronous=FULL");
}

BareSqlite::~BareSqlite() {
    sqlite3_close(m_db);
}

int BareSqlite::rows(const char* sql, const QVariantList& bindings) {
    sqlite3_stmt* statement = nullptr;
    check(m_db, sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr), "prepare");
    int count = 0;
    try {
        for (int i = 0; i < bindings.size(); ++i)
            bind(m_db, statement, i + 1, bindings[i]);
        int code;
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
            ++count;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_TEXT)
                    sqlite3_column_text(statement, c);
            }
        }
        check(m_db, code, "step");
    } catch (...) {
        sqlite3_finalize(statement);
        throw;
    }
    sqlite3_finalize(statement);
    return count;
}

void BareSqlite::exec(const char* sql) {
    check(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), "exec");
}

long long BareSqlite::insert(const char* sql, const QVariantList& bindings, const char*) {
    rows(sql, bindings);
    return sqlite3_last_insert_rowid(m_db);
}

BarePg::BarePg(const QString& address) {
    m_db = PQconnectdb(address.toUtf8().constData());
    if (PQstatus(m_db) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(m_db);
        PQfinish(m_db);
        throw std::runtime_error("connect: " + message);
    }
    // The same durability as the program's own connection.
    exec("SET synchronous_commit = on");
}

BarePg::~BarePg() {
    PQfinish(m_db);
}

namespace {

// Parameters as text beside the statement: one round trip, the server types them.
PGresult* runPg(pg_conn* db, const std::string& sql, const QVariantList& bindings) {
    QByteArray numbered;
    int n = 0;
    for (const char c : sql) {
        if (c == '?')
            numbered += '$' + QByteArray::number(++n);
        else
            numbered += c;
    }
    std::vector<QByteArray> texts;
    std::vector<const char*> values;
    for (const QVariant& value : bindings)
        texts.push_back(value.typeId() == QMetaType::Double
                            ? QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
                            : value.toString().toUtf8());
    for (size_t i = 0; i < texts.size(); ++i)
        values.push_back(bindings[int(i)].isNull() ? nullptr : texts[i].constData());
    PGresult* result = PQexecParams(db, numbered.constData(), n, nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error("statement: " + message);
    }
    return result;
}

} // namespace

int BarePg::rows(const char* sql, const QVariantList& bindings) {
    PGresult* result = runPg(m_db, sql, bindings);
    const int count = PQntuples(result);
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < PQnfields(result); ++c)
            PQgetvalue(result, r, c);
    }
    PQclear(result);
    return count;
}

void BarePg::exec(const char* sql) {
    PQclear(runPg(m_db, sql, {}));
}

long long BarePg::insert(const char* sql, const QVariantList& bindings, const char* keyColumn) {
    PGresult* result = runPg(m_db, std::string(sql) + " RETURNING " + keyColumn, bindings);
    const long long key = std::atoll(PQgetvalue(result, 0, 0));
    PQclear(result);
    return key;
}

std::unique_ptr<Bare> Bare::open(const QString& database) {
    if (database.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive))
        return std::make_unique<BarePg>(database);
    return std::make_unique<BareSqlite>(database);
}
