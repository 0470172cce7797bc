#pragma once
#include <QStringList>

// cheqora-db export DB --from DATE --to DATE [FILE]: the CSV of the slips
// dated in the range (the slip list's "Export"), to FILE or standard output.
// Returns the exit status: 0 done, 1 failed, 2 wrong usage.
int exportCommand(const QStringList& arguments);
