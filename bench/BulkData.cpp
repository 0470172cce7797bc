#include "BulkData.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "Statement.h"
#include "Transaction.h"
#include "modData.h"

#include <QRandomGenerator>

void createBulkDatabase(const QString& path, const BulkDataSpec& spec) {
    Schema::createDatabase(path, kDatabasePassword);
    auto connection = Connection::create();
    connection->open(path, kDatabasePassword);
    QRandomGenerator random(20261208);
    Transaction transaction(connection);
    Statement account(*connection, "INSERT INTO tblAcc (accno, accname, branch, active) VALUES (?,?,?,?)");
    for (int a = 1; a <= spec.accounts; ++a) {
        account.run({QStringLiteral("%1").arg(100000000 + a * 7919, 11, 10, QLatin1Char('0')),
                     QStringLiteral("Account holder %1").arg(a), QStringLiteral("Branch %1").arg(a % 12),
                     a % 10 == 0 ? QStringLiteral("0") : QStringLiteral("1")});
    }
    Statement slip(*connection, "INSERT INTO tblSlip (sid, sno, accno, accName, branch, sdate, depositedBy, "
                                "remarks) VALUES (?,?,?,?,?,?,?,?)");
    Statement line(*connection, "INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                "VALUES (?,?,?,?,?,?)");
    const QDate firstDay = spec.lastDay.addYears(-spec.years).addDays(1);
    const qint64 days = firstDay.daysTo(spec.lastDay) + 1;
    for (int s = 1; s <= spec.slips; ++s) {
        const QDate date = firstDay.addDays((s - 1) * days / spec.slips);
        const int a = 1 + random.bounded(spec.accounts);
        // Braced lists are evaluated in order, so the random draws keep their sequence.
        slip.run({s, s, QStringLiteral("%1").arg(100000000 + a * 7919, 11, 10, QLatin1Char('0')),
                  QStringLiteral("Account holder %1").arg(a), QStringLiteral("Branch %1").arg(a % 12),
                  date.toString(Qt::ISODate), QStringLiteral("Depositor %1").arg(random.bounded(40)),
                  QString()});
        const int cheques = 1 + random.bounded(5); // 1..5, 3 on average
        for (int c = 0; c < cheques; ++c) {
            line.run({s, QStringLiteral("%1").arg(random.bounded(1000000), 6, 10, QLatin1Char('0')),
                      date.addDays(-random.bounded(30)).toString(Qt::ISODate),
                      QStringLiteral("Bank %1").arg(random.bounded(spec.banks)),
                      QStringLiteral("City %1").arg(random.bounded(spec.cities)),
                      static_cast<double>(random.bounded(100, 50'000'000)) / 100.0});
        }
    }
    // New slips follow the keys given here, also on a server.
    connection->link().keepKeysAbove(QStringLiteral("tblSlip"), QStringLiteral("sid"), spec.slips);
    transaction.commit();
    // No ANALYZE: the program never gathers statistics, so neither does a file it
    // grew over the years, and its queries must be quick without them.
}
