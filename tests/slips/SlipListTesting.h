#pragma once
// Helpers for the slip list tests: slips stored as another program may have
// left them, and the list opened on the connection the main window opens.
#include "SlipWindowTesting.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QDate>

namespace SlipTesting {

// Stores a slip dated date with one line per amount (a number, or text as another
// program may leave it) and returns its key.
inline int addSlip(TestEnv& env, int sno, const QDate& date, const QString& accName,
                   const QVariantList& amounts, const QString& accno = QStringLiteral("111")) {
    const auto slip = env.rows(
        QStringLiteral("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
                       "VALUES (?, ?, ?, 'Fort', ?, 'Ravi', '') RETURNING sid"),
        {sno, accno, accName, date.toString(Qt::ISODate)});
    const int sid = slip.value(0).value(0).toInt();
    for (int i = 0; i < amounts.size(); ++i)
        env.rows(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                "VALUES (?, ?, ?, 'HDFC Bank', 'Mumbai', ?)"),
                 {sid, QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')), date.toString(Qt::ISODate),
                  amounts[i]});
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
