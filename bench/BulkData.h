#pragma once
#include <QDate>
#include <QString>

// Builds a large database quickly for the benchmarks: slips spread evenly over
// the years up to lastDay, 1 to 5 cheques each (3 on average), drawn on a set of
// banks and cities, for a set of accounts.
struct BulkDataSpec {
    int slips = 1'000'000;
    int accounts = 50;
    int banks = 200;
    int cities = 300;
    int years = 10;
    QDate lastDay = QDate::currentDate();
};

void createBulkDatabase(const QString& path, const BulkDataSpec& spec);
