#include "ReportSetup.h"
#include "ReportError.h"

namespace ReportSetup {

namespace {

const QVariant& valueAt(const Report& report, const QVariantList& values, qint16 position) {
    if (position < 1 || position > values.size())
        throw ReportError(
            QStringLiteral("Subscript out of range: the parameter field at position %1 of '%2' has no "
                           "value; %3 value(s) were given.")
                .arg(QString::number(position), report.filePath(), QString::number(values.size())));
    return values[position - 1];
}

} // namespace

void logOn(Report& report, const QString& password) {
    for (DatabaseTable& table : report.database().tables()) {
        table.connectionProperties().item(QStringLiteral("DSN")).setValue(SlipData::kDataSource);
        table.connectionProperties().item(QStringLiteral("Password")).setValue(password);
    }
}

void fillParameters(Report& report, const QVariantList& values) {
    qint16 n = 0;
    for (ParameterField& field : report.parameterFields()) {
        ++n;
        if (report.parameterFields().item(n).kindCode() == 0) {
            field.setTextAttribute(QStringLiteral("True"));
            field.clearCurrentValues();
            field.addCurrentValue(valueAt(report, values, n));
        } else if (report.parameterFields().item(n).kindCode() == 2) {
            field.addCurrentValue(valueAt(report, values, n));
        }
    }
}

} // namespace ReportSetup
