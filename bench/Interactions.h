#pragma once
#include "Measure.h"

#include <QDate>
#include <QString>
#include <vector>

class Bare;

// What the interactions work on, found in the benchmark database.
struct BenchContext {
    QString databasePath;
    QStringList accountNumbers; // two active accounts to choose between
    QDate monthFrom;            // a whole month with slips
    QDate monthTo;
    qint32 reportSlip = 0;  // a slip in the middle of the database, to print
    QString reportTemplate; // its account's template
    qint32 highestSlipBefore = 0;
};

// Call after the application folder is in place (the report template goes there).
BenchContext findBenchContext(const QString& databasePath);

// The interactions of the program with their lower bounds. They run on
// g_Connection (opened by the caller) and the windows' shared instances; the
// slip list of the month stays shown afterwards (see closeBenchWindows).
std::vector<Interaction> programInteractions(const BenchContext& context, Bare& bare);

// The interactions that must come last: the month's slip list.
Interaction monthList(const BenchContext& context, Bare& bare);

void closeBenchWindows();

// Removes the slips the saves added, so the database stays as it was built.
void removeBenchSlips(const BenchContext& context, Bare& bare);
