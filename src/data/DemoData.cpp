#include "DemoData.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "Statement.h"
#include "Transaction.h"

#include <QStringList>

namespace DemoData {

namespace {

struct DemoAccount {
    const char* number;
    const char* name;
    const char* branch;
    const char* active;
};

const DemoAccount kAccounts[] = {
    {"00123456789", "Sharma Traders", "MG Road", "1"},
    {"50100234567", "Sharma Traders - Payroll", "Connaught Place", "1"},
    {"31234567890", "Old Current Account", "Karol Bagh", "0"},
};

const char* const kBanks[] = {"State Bank of India",  "HDFC Bank", "ICICI Bank",
                              "Punjab National Bank", "Axis Bank", "Canara Bank"};
const char* const kCities[] = {"New Delhi", "Mumbai", "Gurugram", "Noida", "Jaipur"};
const char* const kDepositors[] = {"Ramesh Kumar", "Anita Singh", "Mohan Lal"};

} // namespace

void createDemoDatabase(const QString& path, const QString& password, const QDate& today) {
    Schema::createDatabase(path, password);
    auto connection = Connection::create();
    connection->open(path, password);
    Transaction transaction(connection);
    Statement account(*connection,
                      QStringLiteral("INSERT INTO tblAcc (accno, accname, branch, active) VALUES (?,?,?,?)"));
    for (const DemoAccount& a : kAccounts)
        account.run({QString::fromUtf8(a.number), QString::fromUtf8(a.name), QString::fromUtf8(a.branch),
                     QString::fromUtf8(a.active)});

    Statement slip(*connection, QStringLiteral("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, "
                                               "depositedBy, remarks) VALUES (?,?,?,?,?,?,?)"));
    Statement line(*connection, QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, "
                                               "amount) VALUES (?,?,?,?,?,?)"));
    const int slipCount = 20;
    for (int n = 0; n < slipCount; ++n) {
        // Spread over the last nine days, the newest slips today; only active accounts.
        const QDate date = today.addDays(-(slipCount - 1 - n) / 2);
        const DemoAccount& a = kAccounts[n % 2];
        slip.run({n + 1, QString::fromUtf8(a.number), QString::fromUtf8(a.name), QString::fromUtf8(a.branch),
                  date.toString(Qt::ISODate), QString::fromUtf8(kDepositors[n % 3]),
                  n % 4 == 0 ? QStringLiteral("Collection from counter") : QString()});
        const qint64 sid = slip.lastInsertId();
        const int cheques = 1 + (n * 7) % 5;
        for (int c = 0; c < cheques; ++c) {
            const int amountCents = 50000 + ((n * 37 + c * 101) % 400) * 2575;
            line.run({sid, QStringLiteral("%1").arg(100200 + n * 10 + c, 6, 10, QLatin1Char('0')),
                      date.addDays(-c).toString(Qt::ISODate), QString::fromUtf8(kBanks[(n + c) % 6]),
                      QString::fromUtf8(kCities[(n + 2 * c) % 5]), amountCents / 100.0});
        }
    }
    transaction.commit();
}

} // namespace DemoData
