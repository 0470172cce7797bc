#pragma once
#include <QString>

// The benchmark's database of `slips` slips at path, built once (about 45 s
// for a million) and reused while it holds that many slips. Returns whether it
// had to be built.
bool ensureBenchDatabase(const QString& path, int slips);

// The folder the program runs from during the benchmark: path.txt naming the
// database, the report templates, the settings file.
void prepareApplicationFolder(const QString& folder, const QString& databasePath);
