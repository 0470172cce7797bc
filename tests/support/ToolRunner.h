#pragma once
#include <QString>
#include <QStringList>

// Runs cheqora-db, or another program built beside the tests: its exit status,
// or -1 when it did not end within a minute; output gets what it printed
// (standard output, then standard error). asAnotherUser runs it as a user the
// test's chmod restricts: root, whom file permissions do not stop, as nobody.
int runTool(const QStringList& arguments, QString* output = nullptr, bool asAnotherUser = false,
            const QString& program = QStringLiteral("cheqora-db"));
