#pragma once
#include "Forms.h"
#include "MsgBox.h"
#include "TestEnv.h"
#include "WindowTesting.h"

#include <QStringList>
#include <QTest>

// What tblAcc holds for one account: accno, accname, branch, active (null as
// "<null>"), or nothing when the account is not stored.
inline QStringList storedAccount(TestEnv& env, int key) {
    const auto rows =
        env.rows(QStringLiteral("SELECT accno, accname, branch, active FROM tblAcc WHERE id = ?"), {key});
    if (rows.isEmpty())
        return {};
    QStringList fields;
    for (int i = 0; i < 4; ++i)
        fields << (rows[0][i].isNull() ? QStringLiteral("<null>") : rows[0][i].toString());
    return fields;
}

// The key of the account stored last.
inline int lastAccountKey(TestEnv& env) {
    return env.scalar(QStringLiteral("SELECT max(id) FROM tblAcc")).toInt();
}
