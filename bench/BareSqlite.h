#pragma once
#include <QString>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct pg_conn;

// The database reached through its engine's C interface alone (SQLite's, or
// libpq for a postgresql:// address), without the program's data layer or
// Qt's SQL layer: what the lower bounds of the benchmark are measured with.
class Bare {
public:
    static std::unique_ptr<Bare> open(const QString& database);
    virtual ~Bare() = default;

    // Runs sql with the values bound, reads every column of every row (text
    // as text, numbers as numbers) and returns the row count. Throws
    // std::runtime_error with the engine's message.
    virtual int rows(const char* sql, const QVariantList& bindings = {}) = 0;
    // Runs statements without result rows.
    virtual void exec(const char* sql) = 0;
    // An insert of one row; returns the key it was given (column keyColumn).
    virtual long long insert(const char* sql, const QVariantList& bindings, const char* keyColumn) = 0;
    // Begins a write transaction, as the program's saves do.
    virtual void beginWrite() = 0;
};

class BareSqlite : public Bare {
public:
    explicit BareSqlite(const QString& path);
    ~BareSqlite() override;
    BareSqlite(const BareSqlite&) = delete;
    BareSqlite& operator=(const BareSqlite&) = delete;

    int rows(const char* sql, const QVariantList& bindings = {}) override;
    void exec(const char* sql) override;
    long long insert(const char* sql, const QVariantList& bindings, const char* keyColumn) override;
    void beginWrite() override { exec("BEGIN IMMEDIATE"); }

private:
    sqlite3* m_db = nullptr;
};

class BarePg : public Bare {
public:
    explicit BarePg(const QString& address);
    ~BarePg() override;
    BarePg(const BarePg&) = delete;
    BarePg& operator=(const BarePg&) = delete;

    int rows(const char* sql, const QVariantList& bindings = {}) override;
    void exec(const char* sql) override;
    long long insert(const char* sql, const QVariantList& bindings, const char* keyColumn) override;
    void beginWrite() override { exec("BEGIN"); }

private:
    pg_conn* m_db = nullptr;
};
