#pragma once
#include "ReportEngine.h"

#include <QString>
#include <QVariantList>

// What the report runner does to an opened template before it is read: the
// tables log on and the parameter fields take the caller's values. The one
// slip's print and the print of many slips prepare their reports alike.
namespace ReportSetup {

// Every table of report logs on to "slipODBC" with password.
void logOn(Report& report, const QString& password);

// Parameter field n (counting from 1) takes values[n - 1]: kind code 0
// replaces its values (and its text attribute becomes "True"), 2 adds to
// them, other codes leave it alone. Throws ReportError for a field to fill
// that has no value in values; the fields before it keep what they were given.
void fillParameters(Report& report, const QVariantList& values);

} // namespace ReportSetup
