#pragma once
#include <QDate>
#include <QString>

// Fills a new database with a small, believable office: three accounts (one
// inactive) and about twenty slips over the days up to today.
namespace DemoData {

void createDemoDatabase(const QString& path, const QString& password,
                        const QDate& today = QDate::currentDate());

} // namespace DemoData
