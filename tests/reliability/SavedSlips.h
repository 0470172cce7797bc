#pragma once
// What a saving program that was stopped left behind: the check the kill and
// server-stop tests make after each stop.
#include "Backup.h"
#include "DbError.h"
#include "Statement.h"
#include "modData.h"

#include <QSet>
#include <QStringList>

// What is wrong with the database a stopped program left: a slip not whole,
// lines without their slip, a slip reported saved but not stored. Empty when
// nothing is.
inline QStringList problemsIn(const QString& path, const QSet<QString>& reportedSaved) {
    QStringList problems;
    try {
        Backup::checkDatabase(path, kDatabasePassword);
    } catch (const DbError& error) {
        problems << error.description();
    }
    auto connection = Connection::create();
    connection->open(path, kDatabasePassword);
    // Every slip has exactly the lines its remark announces.
    Statement query(*connection,
                    QStringLiteral("SELECT s.sid, s.remarks, (SELECT count(*) FROM tblSlipDetails d "
                                   "WHERE d.sid = s.sid) FROM tblSlip s"));
    QSet<QString> stored;
    while (query.next()) {
        const QString sid = query.value(0).toString();
        stored << sid;
        const QString lines = QStringLiteral("lines=") + query.value(2).toString();
        if (query.value(1).toString() != lines)
            problems << QStringLiteral("slip %1 announces %2 but has %3")
                            .arg(sid, query.value(1).toString(), lines);
    }
    Statement orphans(*connection, QStringLiteral("SELECT count(*) FROM tblSlipDetails WHERE sid NOT IN "
                                                  "(SELECT sid FROM tblSlip)"));
    if (orphans.next() && orphans.value(0).toInt() != 0)
        problems << QStringLiteral("%1 cheque lines without their slip").arg(orphans.value(0).toInt());
    for (const QString& sid : reportedSaved) {
        if (!stored.contains(sid))
            problems << QStringLiteral("slip %1 was reported saved but is not stored").arg(sid);
    }
    return problems;
}
