#include "OrphanLines.h"
#include "Connection.h"
#include "Statement.h"
#include "Transaction.h"

#include <QDate>

namespace OrphanLines {

namespace {

QList<Group> groups(const Connection& connection) {
    Statement query(connection, QStringLiteral("SELECT sid, count(*) FROM tblSlipDetails WHERE sid NOT IN "
                                               "(SELECT sid FROM tblSlip) GROUP BY sid ORDER BY sid"));
    QList<Group> found;
    while (query.next())
        found.append({query.value(0).toLongLong(), query.value(1).toInt()});
    return found;
}

std::shared_ptr<Connection> open(const QString& path, const QString& password) {
    auto connection = Connection::create();
    connection->open(path, password);
    return connection;
}

} // namespace

QList<Group> find(const QString& path, const QString& password) {
    return groups(*open(path, password));
}

QList<Repair> repair(const QString& path, const QString& password) {
    const auto connection = open(path, password);
    Transaction transaction(connection);
    QList<Repair> repairs;
    qint64 serial = 0;
    {
        Statement highest(*connection, QStringLiteral("SELECT coalesce(max(sno), -1) FROM tblSlip"));
        highest.next();
        serial = highest.value(0).toLongLong();
    }
    Statement slip(
        *connection,
        QStringLiteral("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
                       "VALUES (?, '', '', '', ?, '', ?)"));
    Statement move(*connection, QStringLiteral("UPDATE tblSlipDetails SET sid = ? WHERE sid = ?"));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (const Group& group : groups(*connection)) {
        slip.run({++serial, today,
                  QStringLiteral("Cheque lines of slip %1, which was deleted; recovered on %2")
                      .arg(group.oldKey)
                      .arg(today)});
        const qint64 newKey = slip.lastInsertId();
        move.run({newKey, group.oldKey});
        repairs.append({group, newKey, serial});
    }
    transaction.commit();
    return repairs;
}

} // namespace OrphanLines
