#include "Schema.h"
#include "DbError.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Schema {

QStringList creationStatements() {
    return {
        // Column order is part of the contract: the windows address fields by ordinal.
        "CREATE TABLE tblAcc (id INTEGER PRIMARY KEY AUTOINCREMENT, accno TEXT, accname TEXT, "
        "branch TEXT, active TEXT)",
        "CREATE TABLE tblSlip (sid INTEGER PRIMARY KEY AUTOINCREMENT, sno INTEGER, accno TEXT, "
        "accName TEXT, branch TEXT, sdate TEXT, depositedBy TEXT, remarks TEXT)",
        "CREATE TABLE tblSlipDetails (sdid INTEGER PRIMARY KEY AUTOINCREMENT, sid INTEGER, chqno TEXT, "
        "chqdate TEXT, bank TEXT, city TEXT, amount NUMERIC)",
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

// The columns the windows address by ordinal, in their order.
struct TableColumns {
    QString table;
    QStringList columns;
};

const QList<TableColumns>& expectedColumns() {
    static const QList<TableColumns> tables{
        {QStringLiteral("tblAcc"), {"id", "accno", "accname", "branch", "active"}},
        {QStringLiteral("tblSlip"),
         {"sid", "sno", "accno", "accName", "branch", "sdate", "depositedBy", "remarks"}},
        {QStringLiteral("tblSlipDetails"), {"sdid", "sid", "chqno", "chqdate", "bank", "city", "amount"}},
    };
    return tables;
}

// A column missing or out of place would put values into the wrong fields, so
// such a file is refused when it opens rather than at some later save.
void checkColumns(QSqlDatabase& db) {
    for (const TableColumns& expected : expectedColumns()) {
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(expected.table)))
            throw DbError(info.lastError().text());
        QStringList found;
        while (info.next())
            found << info.value(1).toString();
        for (qsizetype i = 0; i < expected.columns.size(); ++i) {
            if (i < found.size() && found[i].compare(expected.columns[i], Qt::CaseInsensitive) == 0)
                continue;
            throw DbError(QStringLiteral("The table %1 lacks the column %2: its column %3 is %4.")
                              .arg(expected.table, expected.columns[i])
                              .arg(i + 1)
                              .arg(i < found.size() ? found[i] : QStringLiteral("missing")));
        }
    }
}

} // namespace

void checkDatabase(QSqlDatabase& db, const QString& password) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type='table'")))
        throw DbError(QStringLiteral("'%1' is not a Cheqora database: %2")
                          .arg(db.databaseName(), query.lastError().text()));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString();
    for (const char* required : {"tblacc", "tblslip", "tblslipdetails"}) {
        if (!tables.contains(QLatin1String(required)))
            throw DbError(QStringLiteral("The database has no table %1.").arg(QLatin1String(required)));
    }
    checkColumns(db);
    if (!tables.contains(QStringLiteral("cheqoraaccess")) ||
        !query.exec(QStringLiteral("SELECT salt, hash FROM cheqoraAccess")) || !query.next() ||
        passwordHash(query.value(0).toString(), password) != query.value(1).toString())
        throw DbError(QStringLiteral("Not a valid password."));
}

} // namespace Schema
