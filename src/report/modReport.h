#pragma once
#include "ReportEngine.h"

#include <QString>
#include <QVariantList>
#include <memory>

// The report runner: prepares a template for the viewer. It shows nothing; the
// caller binds g_Report to frmReport's CViewer and shows frmReport.

// The engine, created by the first ShowReport and kept for the whole run.
extern std::shared_ptr<ReportEngine> g_ReportEngine;
// The report the latest ShowReport opened.
extern std::shared_ptr<Report> g_Report;
// The logon password every table of the report gets: the database password.
extern QString g_ReportPassword;

// Opens the template at reportPath into g_Report; a non-blank selectionFormula
// replaces the template's own selection (passed untrimmed); every table logs
// on to "slipODBC" with g_ReportPassword; frmReport is loaded (hidden) and
// owns the engine's dialogs; parameter field n (counting from 1) takes
// parameterValues[n - 1]: kind code 0 replaces its values, 2 adds to them,
// other codes leave it alone. Catches nothing: ReportError or DbError go to
// the caller unchanged, and what was done before the failure stays.
void ShowReport(const QString& reportPath, const QString& selectionFormula,
                const QVariantList& parameterValues);
