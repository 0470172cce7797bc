#include "DatabaseCopy.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "SqliteLink.h"
#include "Statement.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>

namespace DatabaseCopy {

namespace {

struct CopiedTable {
    const char* name;
    const char* key;
    int columns;
};

// In the order that keeps every slip's lines after it.
const CopiedTable kTables[] = {{"tblAcc", "id", 5}, {"tblSlip", "sid", 8}, {"tblSlipDetails", "sdid", 7}};

// Rows per insert statement: few round trips to a server, well within
// SQLite's limit of values per statement.
constexpr int kRowsPerInsert = 200;

QString insertText(const CopiedTable& table, const QStringList& columns, int rows) {
    QStringList marks(table.columns, QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(QLatin1String(table.name), columns.join(QLatin1Char(',')),
             QStringList(rows, row).join(QLatin1Char(',')));
}

qint64 copyTable(const Connection& from, const Connection& to, const CopiedTable& table) {
    Statement read(from, QStringLiteral("SELECT * FROM %1 ORDER BY %2")
                             .arg(QLatin1String(table.name), QLatin1String(table.key)));
    read.bind({});
    const QStringList columns = read.columnNames();
    if (columns.size() != table.columns)
        throw DbError(QStringLiteral("The table %1 has %2 columns.")
                          .arg(QLatin1String(table.name))
                          .arg(columns.size()));
    Statement fullInsert(to, insertText(table, columns, kRowsPerInsert));
    QVariantList values;
    int pending = 0;
    qint64 copied = 0;
    const auto flush = [&](Statement& insert) {
        insert.run(values);
        copied += pending;
        values.clear();
        pending = 0;
    };
    while (read.next()) {
        for (int i = 0; i < table.columns; ++i)
            values << read.value(i);
        if (++pending == kRowsPerInsert)
            flush(fullInsert);
    }
    if (pending > 0) {
        Statement lastInsert(to, insertText(table, columns, pending));
        flush(lastInsert);
    }
    // A key the source gave once and lost with its row is not given again either.
    to.link().keepKeysAbove(QLatin1String(table.name), QLatin1String(table.key),
                            from.link().lastKey(QLatin1String(table.name), QLatin1String(table.key)));
    return copied;
}

QStringList rowsOf(const Connection& connection, const QString& sql) {
    Statement query(connection, sql);
    QStringList rows;
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 3; ++i)
            fields << (query.value(i).isNull() ? QStringLiteral("NULL") : query.value(i).toString());
        rows << fields.join(QLatin1Char(' '));
    }
    return rows;
}

// What both must agree on: the rows of each table, and each slip's lines and
// their total in whole hundredths.
void verify(const Connection& from, const Connection& to) {
    const QString counts =
        QStringLiteral("SELECT (SELECT count(*) FROM tblAcc), (SELECT count(*) FROM tblSlip), "
                       "(SELECT count(*) FROM tblSlipDetails)");
    const QString totals = QStringLiteral("SELECT sid, count(*), sum(cents(amount)) FROM tblSlipDetails "
                                          "GROUP BY sid ORDER BY sid");
    for (const QString& sql : {counts, totals}) {
        const QStringList source = rowsOf(from, sql), copy = rowsOf(to, sql);
        if (source == copy)
            continue;
        qsizetype i = 0;
        while (i < source.size() && i < copy.size() && source[i] == copy[i])
            ++i;
        throw DbError(QStringLiteral("The copy differs from the source (%1: source \"%2\", copy \"%3\"); "
                                     "nothing was copied.")
                          .arg(sql == counts ? QStringLiteral("accounts, slips and lines counted")
                                             : QStringLiteral("slip key, lines and total in hundredths"),
                               source.value(i, QStringLiteral("none")),
                               copy.value(i, QStringLiteral("none"))));
    }
}

void requireEmpty(const Connection& target) {
    Statement held(target, QStringLiteral("SELECT (SELECT count(*) FROM tblSlip), (SELECT count(*) FROM "
                                          "tblSlipDetails), (SELECT count(*) FROM tblAcc)"));
    held.next();
    if (held.value(0).toLongLong() + held.value(1).toLongLong() + held.value(2).toLongLong() > 0)
        throw DbError(
            QStringLiteral("'%1' holds %2 slips, %3 cheque lines and %4 accounts already: a copy goes "
                           "only into an empty Cheqora database. Nothing was copied.")
                .arg(target.path())
                .arg(held.value(0).toLongLong())
                .arg(held.value(1).toLongLong())
                .arg(held.value(2).toLongLong()));
}

std::shared_ptr<Connection> openTarget(const QString& target, const QString& password) {
    auto connection = Connection::create();
    try {
        connection->open(target, password);
    } catch (const DbError& error) {
        if (!isServerAddress(target))
            throw;
        throw DbError(QStringLiteral("%1\n(An empty database on the server gets Cheqora's tables with "
                                     "\"cheqora-db init ADDRESS\".)")
                          .arg(error.description()));
    }
    return connection;
}

Copied copyInto(const QString& source, const QString& target, const QString& password) {
    auto from = Connection::create();
    from->open(source, password);
    auto to = openTarget(target, password);
    Transaction transaction(to);
    requireEmpty(*to);
    // One moment of the source, however its users save meanwhile.
    from->link().beginSnapshot();
    Copied copied;
    try {
        copied.accounts = copyTable(*from, *to, kTables[0]);
        copied.slips = copyTable(*from, *to, kTables[1]);
        copied.lines = copyTable(*from, *to, kTables[2]);
        verify(*from, *to);
    } catch (...) {
        from->link().rollback();
        throw;
    }
    from->link().rollback();
    transaction.commit();
    return copied;
}

} // namespace

Copied copy(const QString& source, const QString& target, const QString& password) {
    const bool newFile =
        !isServerAddress(target) && !QFileInfo::exists(target) && !QFileInfo(target).isSymLink();
    if (newFile)
        Schema::createDatabase(target, password);
    try {
        return copyInto(source, target, password);
    } catch (...) {
        if (newFile)
            removeDatabaseFiles(target);
        throw;
    }
}

} // namespace DatabaseCopy
