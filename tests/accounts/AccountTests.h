#pragma once
#include "Forms.h"
#include "MsgBox.h"
#include "TestEnv.h"
#include "WindowTesting.h"

#include <QSqlQuery>
#include <QStringList>
#include <QTest>

// What tblAcc holds for one account: accno, accname, branch, active (null as
// "<null>"), or nothing when the account is not stored.
inline QStringList storedAccount(TestEnv& env, int key) {
    QSqlQuery query(env.check()->database());
    query.prepare(QStringLiteral("SELECT accno, accname, branch, active FROM tblAcc WHERE id = ?"));
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return {};
    QStringList fields;
    for (int i = 0; i < 4; ++i)
        fields << (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
    return fields;
}

// The key of the account stored last.
inline int lastAccountKey(TestEnv& env) {
    return env.scalar(QStringLiteral("SELECT max(id) FROM tblAcc")).toInt();
}
