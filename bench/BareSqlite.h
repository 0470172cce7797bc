#pragma once
#include <QString>
#include <QVariantList>

struct sqlite3;

// The database reached through the SQLite C interface alone, without Qt's SQL
// layer: what the lower bounds of the benchmark are measured with.
class BareSqlite {
public:
    explicit BareSqlite(const QString& path);
    ~BareSqlite();
    BareSqlite(const BareSqlite&) = delete;
    BareSqlite& operator=(const BareSqlite&) = delete;

    // Prepares sql, binds the values, steps through every row reading every
    // column (text as text, numbers as numbers) and returns the row count.
    // Throws std::runtime_error with SQLite's message.
    int rows(const char* sql, const QVariantList& bindings = {});
    // Runs statements without result rows.
    void exec(const char* sql);
    long long lastInsertId() const;

private:
    sqlite3* m_db = nullptr;
};
