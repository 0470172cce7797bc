#include "Schema.h"
#include "DbError.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Schema {

namespace {

struct Column {
    const char* name;
    const char* type;
};

// The three tables and their columns in order. The order is part of the
// contract: the windows address fields by ordinal.
struct Table {
    const char* name;
    QList<Column> columns;
};

const QList<Table>& cheqoraTables() {
    static const QList<Table> tables{
        {"tblAcc",
         {{"id", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"accno", "TEXT"},
          {"accname", "TEXT"},
          {"branch", "TEXT"},
          {"active", "TEXT"}}},
        {"tblSlip",
         {{"sid", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"sno", "INTEGER"},
          {"accno", "TEXT"},
          {"accName", "TEXT"},
          {"branch", "TEXT"},
          {"sdate", "TEXT"},
          {"depositedBy", "TEXT"},
          {"remarks", "TEXT"}}},
        {"tblSlipDetails",
         {{"sdid", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"sid", "INTEGER"},
          {"chqno", "TEXT"},
          {"chqdate", "TEXT"},
          {"bank", "TEXT"},
          {"city", "TEXT"},
          {"amount", "NUMERIC"}}},
    };
    return tables;
}

QString lowerName(const Table& table) {
    return QString::fromLatin1(table.name).toLower();
}

} // namespace

QStringList creationStatements() {
    QStringList statements;
    for (const Table& table : cheqoraTables()) {
        QStringList columns;
        for (const Column& column : table.columns)
            columns << QLatin1String(column.name) + QLatin1Char(' ') + QLatin1String(column.type);
        statements << QStringLiteral("CREATE TABLE %1 (%2)")
                          .arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
    }
    return statements + QStringList{
                            "CREATE INDEX idxAccNo ON tblAcc (accno)",
                            // The slip list selects by format(sdate,'yyyy-MM-dd'). SQLite's own format() is
                            // deterministic, so this index stays right whichever SQLite tool writes the file.
                            "CREATE INDEX idxSlipListDate ON tblSlip (format(sdate, 'yyyy-MM-dd'))",
                            "CREATE INDEX idxSlipSno ON tblSlip (sno)",
                            "CREATE INDEX idxDetailsSid ON tblSlipDetails (sid, amount)",
                            "CREATE INDEX idxDetailsBank ON tblSlipDetails (bank)",
                            "CREATE INDEX idxDetailsCity ON tblSlipDetails (city)",
                            // Not encryption: an access check standing in for the database password.
                            "CREATE TABLE cheqoraAccess (salt TEXT NOT NULL, hash TEXT NOT NULL)",
                        };
}

QString passwordHash(const QString& salt, const QString& password) {
    const QByteArray bytes = (salt + QLatin1Char(':') + password).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

namespace {

void exec(QSqlQuery& query, const QString& sql) {
    if (!query.exec(sql))
        throw DbError(query.lastError().text());
}

} // namespace

void createDatabase(const QString& path, const QString& password) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("'%1' exists already; it is not overwritten.").arg(path));
    const QString name = QStringLiteral("cheqora-create-%1").arg(QUuid::createUuid().toString());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw DbError(db.lastError().text());
        QSqlQuery query(db);
        // WAL with full sync: a committed slip survives a crash or power loss.
        exec(query, QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(query, QStringLiteral("BEGIN"));
        for (const QString& sql : creationStatements())
            exec(query, sql);
        const QString salt = QString::number(QRandomGenerator::system()->generate64(), 16);
        query.prepare(QStringLiteral("INSERT INTO cheqoraAccess (salt, hash) VALUES (?, ?)"));
        query.addBindValue(salt);
        query.addBindValue(passwordHash(salt, password));
        if (!query.exec())
            throw DbError(query.lastError().text());
        exec(query, QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

namespace {

// A column missing or out of place would put values into the wrong fields, so
// such a file is refused when it opens rather than at some later save.
void checkColumns(const QMap<QString, QStringList>& found) {
    for (const Table& table : cheqoraTables()) {
        const QStringList columns = found.value(lowerName(table));
        for (qsizetype i = 0; i < table.columns.size(); ++i) {
            const QLatin1String expected(table.columns[i].name);
            if (i < columns.size() && columns[i].compare(expected, Qt::CaseInsensitive) == 0)
                continue;
            throw DbError(QStringLiteral("The table %1 lacks the column %2: its column %3 is %4.")
                              .arg(QLatin1String(table.name), expected)
                              .arg(i + 1)
                              .arg(i < columns.size() ? columns[i] : QStringLiteral("missing")));
        }
    }
}

} // namespace

void checkDatabase(QSqlDatabase& db, const QString& password) {
    // Every table with its columns in order, in one query: this runs at every reconnect.
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral("SELECT lower(m.name), p.name FROM sqlite_master m JOIN "
                           "pragma_table_info(m.name) p WHERE m.type='table' ORDER BY m.name, p.cid")))
        throw DbError(QStringLiteral("'%1' is not a Cheqora database: %2")
                          .arg(db.databaseName(), query.lastError().text()));
    QMap<QString, QStringList> tables;
    while (query.next())
        tables[query.value(0).toString()] << query.value(1).toString();
    for (const Table& required : cheqoraTables()) {
        if (!tables.contains(lowerName(required)))
            throw DbError(QStringLiteral("The database has no table %1.").arg(lowerName(required)));
    }
    checkColumns(tables);
    if (!tables.contains(QStringLiteral("cheqoraaccess")) ||
        !query.exec(QStringLiteral("SELECT salt, hash FROM cheqoraAccess")) || !query.next() ||
        passwordHash(query.value(0).toString(), password) != query.value(1).toString())
        throw DbError(QStringLiteral("Not a valid password."));
}

} // namespace Schema
