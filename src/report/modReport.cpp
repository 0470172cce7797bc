#include "modReport.h"
#include "Forms.h"
#include "ReportSetup.h"
#include "frmReport.h"
#include "modData.h"

std::shared_ptr<ReportEngine> g_ReportEngine;
std::shared_ptr<Report> g_Report;
QString g_ReportPassword;

namespace {

// Blank means empty or spaces only; other white space counts as text.
bool isBlank(const QString& formula) {
    for (const QChar c : formula) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

void ShowReport(const QString& reportPath, const QString& selectionFormula,
                const QVariantList& parameterValues) {
    g_ReportPassword = kDatabasePassword;
    if (!g_ReportEngine)
        g_ReportEngine = std::make_shared<ReportEngine>();
    g_Report = g_ReportEngine->openReport(reportPath, ReportEngine::kOpenAsTemporaryCopy);

    if (!isBlank(selectionFormula))
        g_Report->setRecordSelectionFormula(selectionFormula);

    ReportSetup::logOn(*g_Report, g_ReportPassword);

    g_Report->setPromptForMissingParameterValues(false);
    g_Report->discardSavedData();

    // Touching the viewer window loads it (hidden) when it is not loaded yet.
    g_Report->setDialogParentWindow(Forms::get<frmReport>().hWnd());

    ReportSetup::fillParameters(*g_Report, parameterValues);
}
