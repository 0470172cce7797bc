#include "SampleSlip.h"
#include "Statement.h"
#include "modData.h"

#include <QDate>

namespace SampleSlip {

SlipRecord builtIn() {
    const QString accno = QStringLiteral("00123456789012");
    const QString name =
        QStringLiteral("Shree Venkateshwara Agro Industries and Cold Storage Private Limited");
    const QString branch = QStringLiteral("Mahatma Gandhi Road, Secunderabad");
    SlipRecord slip;
    slip.slip = {{"sid", 9999},
                 {"sno", 12345},
                 {"accno", accno},
                 {"accName", name},
                 {"branch", branch},
                 {"sdate", QStringLiteral("2024-12-28")},
                 {"depositedBy", QStringLiteral("Ramachandran Venkataraman")},
                 {"remarks", QStringLiteral("Collection from the counter, second batch")}};
    slip.account = {{"id", 1}, {"accno", accno}, {"accname", name}, {"branch", branch}, {"active", 1}};
    struct Cheque {
        const char* number;
        const char* date;
        const char* bank;
        const char* city;
        double amount;
    };
    // 87,77,777.77 in all: its words fill two lines of a slip.
    const Cheque cheques[] = {
        {"000123", "2024-12-20", "State Bank of India", "Hyderabad", 1777777.77},
        {"458712", "2024-12-21", "Housing Development Finance Corporation Bank", "Thiruvananthapuram",
         2500000},
        {"990017", "2024-12-22", "ICICI Bank", "Mumbai", 1500000},
        {"310245", "2024-12-23", "Punjab National Bank", "New Delhi", 1999999.99},
        {"876501", "2024-12-24", "Bank of Baroda", "Vadodara", 1000000.01},
    };
    int line = 1;
    for (const Cheque& c : cheques)
        slip.lines.push_back({{"sdid", line++},
                              {"sid", 9999},
                              {"chqno", QString::fromLatin1(c.number)},
                              {"chqdate", QString::fromLatin1(c.date)},
                              {"bank", QString::fromLatin1(c.bank)},
                              {"city", QString::fromLatin1(c.city)},
                              {"amount", c.amount}});
    return slip;
}

QString accountNumber(const Connection& connection, qint64 accountKey) {
    Statement query(connection, QStringLiteral("SELECT accno FROM tblAcc WHERE id = ?"));
    query.bind({accountKey});
    return query.next() ? query.value(0).toString() : QString();
}

qint64 latestSlipKey(const Connection& connection, const QString& accno, qint64 sno) {
    QStringList where{QStringLiteral("1 = 1")};
    QVariantList values;
    if (!accno.isEmpty()) {
        where << QStringLiteral("accno = ?");
        values << accno;
    }
    if (sno != 0) {
        where << QStringLiteral("sno = ?");
        values << sno;
    }
    Statement query(connection, QStringLiteral("SELECT max(sid) FROM tblSlip WHERE ") +
                                    where.join(QStringLiteral(" AND ")));
    query.bind(values);
    return query.next() ? query.value(0).toLongLong() : 0;
}

SlipRecord stored(qint64 sid) {
    std::vector<TableLogon> logons;
    for (const QString& table :
         {SlipColumns::kSlipTable, SlipColumns::kLineTable, SlipColumns::kAccountTable})
        logons.push_back({table, SlipData::kDataSource, kDatabasePassword});
    const std::vector<BoundCondition> conditions{
        {*SlipColumns::column(SlipColumns::kSlipTable, QStringLiteral("sid")), {sid}}};
    return SlipData::read(QStringLiteral("sample slip"), logons, conditions, 0).front();
}

} // namespace SampleSlip
