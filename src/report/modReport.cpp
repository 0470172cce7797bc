#include "modReport.h"
#include "Forms.h"
#include "ReportError.h"
#include "SlipData.h"
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

const QVariant& valueAt(const QVariantList& values, qint16 position) {
    if (position < 1 || position > values.size())
        throw ReportError(
            QStringLiteral("Subscript out of range: the parameter field at position %1 of '%2' has no "
                           "value; %3 value(s) were given.")
                .arg(QString::number(position), g_Report->filePath(), QString::number(values.size())));
    return values[position - 1];
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

    for (DatabaseTable& table : g_Report->database().tables()) {
        table.connectionProperties().item(QStringLiteral("DSN")).setValue(SlipData::kDataSource);
        table.connectionProperties().item(QStringLiteral("Password")).setValue(g_ReportPassword);
    }

    g_Report->setPromptForMissingParameterValues(false);
    g_Report->discardSavedData();

    // Touching the viewer window loads it (hidden) when it is not loaded yet.
    g_Report->setDialogParentWindow(Forms::get<frmReport>().hWnd());

    qint16 n = 0;
    for (ParameterField& field : g_Report->parameterFields()) {
        ++n;
        if (g_Report->parameterFields().item(n).kindCode() == 0) {
            field.setTextAttribute(QStringLiteral("True"));
            field.clearCurrentValues();
            field.addCurrentValue(valueAt(parameterValues, n));
        } else if (g_Report->parameterFields().item(n).kindCode() == 2) {
            field.addCurrentValue(valueAt(parameterValues, n));
        }
    }
}
