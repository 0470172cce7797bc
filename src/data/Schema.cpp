#include "Schema.h"
#include "Connection.h"
#include "DbError.h"
#include "PgLink.h"
#include "Statement.h"

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
    // On a server: keys as SQLite's AUTOINCREMENT gives them (keyStatements); text
    // compared and sorted by its bytes, as in SQLite; amounts exact to the hundredth.
    const char* serverType;
};

// The three tables and their columns in order. The order is part of the
// contract: the windows address fields by ordinal.
struct Table {
    const char* name;
    QList<Column> columns;
};

const char* const kServerKey = "bigint PRIMARY KEY"; // given by keyStatements()
const char* const kServerText = "text COLLATE \"C\"";

const QList<Table>& cheqoraTables() {
    static const QList<Table> tables{
        {"tblAcc",
         {{"id", "INTEGER PRIMARY KEY AUTOINCREMENT", kServerKey},
          {"accno", "TEXT", kServerText},
          {"accname", "TEXT", kServerText},
          {"branch", "TEXT", kServerText},
          {"active", "TEXT", kServerText}}},
        {"tblSlip",
         {{"sid", "INTEGER PRIMARY KEY AUTOINCREMENT", kServerKey},
          {"sno", "INTEGER", "bigint"},
          {"accno", "TEXT", kServerText},
          {"accName", "TEXT", kServerText},
          {"branch", "TEXT", kServerText},
          {"sdate", "TEXT", kServerText},
          {"depositedBy", "TEXT", kServerText},
          {"remarks", "TEXT", kServerText}}},
        {"tblSlipDetails",
         {{"sdid", "INTEGER PRIMARY KEY AUTOINCREMENT", kServerKey},
          {"sid", "INTEGER", "bigint"},
          {"chqno", "TEXT", kServerText},
          {"chqdate", "TEXT", kServerText},
          {"bank", "TEXT", kServerText},
          {"city", "TEXT", kServerText},
          {"amount", "NUMERIC", "numeric(15,2)"}}},
    };
    return tables;
}

QString lowerName(const Table& table) {
    return QString::fromLatin1(table.name).toLower();
}

// A server's keys behave as SQLite's AUTOINCREMENT keys: a row stored
// without a key (or with NULL) gets one more than the largest key the table
// ever had, and a row stored with a larger key of its own moves that on. A
// key is never given twice, also after its row is deleted.
QStringList keyStatements(const Table& table) {
    const QString name = QString::fromLatin1(table.name).toLower();
    const QString key = QLatin1String(table.columns[0].name);
    const QString sequence = name + QLatin1Char('_') + key + QStringLiteral("_seq");
    return {
        QStringLiteral("CREATE SEQUENCE %1 OWNED BY %2.%3").arg(sequence, name, key),
        QStringLiteral("CREATE FUNCTION %1_key() RETURNS trigger LANGUAGE plpgsql AS $$\n"
                       "DECLARE sequence text := quote_ident(TG_TABLE_SCHEMA) || '.%2';\n"
                       "BEGIN\n"
                       "  IF NEW.%3 IS NULL THEN\n"
                       "    NEW.%3 := nextval(sequence);\n"
                       "  ELSIF NEW.%3 > coalesce(pg_sequence_last_value(sequence::regclass), 0) THEN\n"
                       "    PERFORM setval(sequence, NEW.%3);\n"
                       "  END IF;\n"
                       "  RETURN NEW;\n"
                       "END $$")
            .arg(name, sequence, key),
        QStringLiteral("CREATE TRIGGER %1_key BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION %1_key()")
            .arg(name),
    };
}

} // namespace

QStringList creationStatements(Engine engine) {
    const bool server = engine == Engine::Postgres;
    QStringList statements;
    for (const Table& table : cheqoraTables()) {
        QStringList columns;
        for (const Column& column : table.columns)
            columns << QLatin1String(column.name) + QLatin1Char(' ') +
                           QLatin1String(server ? column.serverType : column.type);
        statements << QStringLiteral("CREATE TABLE %1 (%2)")
                          .arg(QLatin1String(table.name), columns.join(QStringLiteral(", ")));
        if (server)
            statements << keyStatements(table);
    }
    if (server)
        statements << QStringList{
            // The slip list's format(sdate,'yyyy-MM-dd') means here what it means in SQLite, whose
            // format() is printf: an ISO date comes out unchanged. Unlike the server's own
            // format() it may be indexed; found in the schema before the built-in one.
            "CREATE FUNCTION format(text, text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
            "AS 'SELECT pg_catalog.format($1, $2)'",
            // An amount in whole hundredths, as the SQLite connections' cents() gives it.
            "CREATE FUNCTION cents(numeric) RETURNS bigint LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE "
            "AS 'SELECT round($1 * 100)::bigint'",
        };
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

namespace {

QString newVerifierSalt() {
    return QString::number(QRandomGenerator::system()->generate64(), 16);
}

// An empty database on a server gets the tables, functions and indexes in
// one transaction: all of them, or none when anything fails.
void createOnServer(const QString& address, const QString& password) {
    PgLink link(address);
    auto existing = link.prepare(link.tableColumnsSql());
    existing->bind({});
    while (existing->next()) {
        const QString table = existing->value(0).toString();
        for (const Table& cheqora : cheqoraTables()) {
            if (table == lowerName(cheqora) || table == QLatin1String("cheqoraaccess"))
                throw DbError(QStringLiteral("The database holds the table %1 already; nothing was changed.")
                                  .arg(table));
        }
    }
    link.execute(QStringLiteral("BEGIN"));
    try {
        for (const QString& sql : creationStatements(Engine::Postgres))
            link.execute(sql);
        const QString salt = newVerifierSalt();
        auto verifier = link.prepare(QStringLiteral("INSERT INTO cheqoraAccess (salt, hash) VALUES (?, ?)"));
        verifier->bind({salt, passwordHash(salt, password)});
        verifier->next();
        link.commit();
    } catch (...) {
        link.rollback();
        throw;
    }
}

} // namespace

void createDatabase(const QString& path, const QString& password) {
    if (isServerAddress(path))
        return createOnServer(path, password);
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
        for (const QString& sql : creationStatements(Engine::Sqlite))
            exec(query, sql);
        const QString salt = newVerifierSalt();
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

void checkDatabase(const Connection& connection, const QString& password) {
    // Every table with its columns in order, in one query: this runs at every reconnect.
    QMap<QString, QStringList> tables;
    try {
        Statement query(connection, connection.link().tableColumnsSql());
        while (query.next())
            tables[query.value(0).toString()] << query.value(1).toString();
    } catch (const DbError& error) {
        throw DbError(
            QStringLiteral("'%1' is not a Cheqora database: %2").arg(connection.path(), error.description()));
    }
    for (const Table& required : cheqoraTables()) {
        if (!tables.contains(lowerName(required)))
            throw DbError(QStringLiteral("The database has no table %1.").arg(lowerName(required)));
    }
    checkColumns(tables);
    if (!tables.contains(QStringLiteral("cheqoraaccess")))
        throw DbError(QStringLiteral("Not a valid password."));
    Statement verifier(connection, QStringLiteral("SELECT salt, hash FROM cheqoraAccess"));
    if (!verifier.next() ||
        passwordHash(verifier.value(0).toString(), password) != verifier.value(1).toString())
        throw DbError(QStringLiteral("Not a valid password."));
}

} // namespace Schema
