#include "BulkData.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "Transaction.h"
#include "modData.h"

#include <QRandomGenerator>
#include <QSqlQuery>

namespace {

void run(QSqlQuery& query) {
    Connection::exec(query);
}

} // namespace

void createBulkDatabase(const QString& path, const BulkDataSpec& spec) {
    Schema::createDatabase(path, kDatabasePassword);
    auto connection = Connection::create();
    connection->open(path, kDatabasePassword);
    QRandomGenerator random(20261208);
    Transaction transaction(connection);
    QSqlQuery account(connection->database());
    Connection::prepare(account, "INSERT INTO tblAcc (accno, accname, branch, active) VALUES (?,?,?,?)");
    for (int a = 1; a <= spec.accounts; ++a) {
        account.addBindValue(QStringLiteral("%1").arg(100000000 + a * 7919, 11, 10, QLatin1Char('0')));
        account.addBindValue(QStringLiteral("Account holder %1").arg(a));
        account.addBindValue(QStringLiteral("Branch %1").arg(a % 12));
        account.addBindValue(a % 10 == 0 ? QStringLiteral("0") : QStringLiteral("1"));
        run(account);
    }
    QSqlQuery slip(connection->database());
    Connection::prepare(slip,
                        "INSERT INTO tblSlip (sid, sno, accno, accName, branch, sdate, depositedBy, remarks) "
                        "VALUES (?,?,?,?,?,?,?,?)");
    QSqlQuery line(connection->database());
    Connection::prepare(line, "INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                              "VALUES (?,?,?,?,?,?)");
    const QDate firstDay = spec.lastDay.addYears(-spec.years).addDays(1);
    const qint64 days = firstDay.daysTo(spec.lastDay) + 1;
    for (int s = 1; s <= spec.slips; ++s) {
        const QDate date = firstDay.addDays((s - 1) * days / spec.slips);
        const int a = 1 + random.bounded(spec.accounts);
        slip.addBindValue(s);
        slip.addBindValue(s);
        slip.addBindValue(QStringLiteral("%1").arg(100000000 + a * 7919, 11, 10, QLatin1Char('0')));
        slip.addBindValue(QStringLiteral("Account holder %1").arg(a));
        slip.addBindValue(QStringLiteral("Branch %1").arg(a % 12));
        slip.addBindValue(date.toString(Qt::ISODate));
        slip.addBindValue(QStringLiteral("Depositor %1").arg(random.bounded(40)));
        slip.addBindValue(QString());
        run(slip);
        const int cheques = 1 + random.bounded(5); // 1..5, 3 on average
        for (int c = 0; c < cheques; ++c) {
            line.addBindValue(s);
            line.addBindValue(QStringLiteral("%1").arg(random.bounded(1000000), 6, 10, QLatin1Char('0')));
            line.addBindValue(date.addDays(-random.bounded(30)).toString(Qt::ISODate));
            line.addBindValue(QStringLiteral("Bank %1").arg(random.bounded(spec.banks)));
            line.addBindValue(QStringLiteral("City %1").arg(random.bounded(spec.cities)));
            line.addBindValue(static_cast<double>(random.bounded(100, 50'000'000)) / 100.0);
            run(line);
        }
    }
    transaction.commit();
    // No ANALYZE: the program never gathers statistics, so neither does a file it
    // grew over the years, and its queries must be quick without them.
}
