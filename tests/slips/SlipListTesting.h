#pragma once
// Helpers for the slip list tests: slips stored as another program may have
// left them, and the list opened on the connection the main window opens.
#include "SlipWindowTesting.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QDate>
#include <QSqlQuery>

namespace SlipTesting {

// Stores a slip dated date with one line per amount (a number, or text as another
// program may leave it) and returns its key.
inline int addSlip(TestEnv& env, int sno, const QDate& date, const QString& accName,
                   const QVariantList& amounts, const QString& accno = QStringLiteral("111")) {
    QSqlQuery slip(env.check()->database());
    slip.prepare(
        QStringLiteral("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
                       "VALUES (?, ?, ?, 'Fort', ?, 'Ravi', '')"));
    slip.addBindValue(sno);
    slip.addBindValue(accno);
    slip.addBindValue(accName);
    slip.addBindValue(date.toString(Qt::ISODate));
    if (!slip.exec())
        return 0;
    const int sid = slip.lastInsertId().toInt();
    for (int i = 0; i < amounts.size(); ++i) {
        QSqlQuery line(env.check()->database());
        line.prepare(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                    "VALUES (?, ?, ?, 'HDFC Bank', 'Mumbai', ?)"));
        line.addBindValue(sid);
        line.addBindValue(QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')));
        line.addBindValue(date.toString(Qt::ISODate));
        line.addBindValue(amounts[i]);
        line.exec();
    }
    return sid;
}

// The list works on the connection the main window opened at start.
inline frmSlipList* openList() {
    if (!g_Connection || g_Connection->State() != 1)
        Reconnect();
    frmSlipList& list = Forms::get<frmSlipList>();
    return showActive(&list) ? &list : nullptr;
}

} // namespace SlipTesting
