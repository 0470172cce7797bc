#include "ReportEngine.h"
#include "ReportError.h"
#include "TemplateLoader.h"

ConnectionProperties::ConnectionProperties(const QString& table, const QString& filePath,
                                           const QString& dataSource, const QString& password)
    : m_table(table), m_file(filePath) {
    m_properties.emplace_back(QStringLiteral("DSN"), dataSource);
    m_properties.emplace_back(QStringLiteral("Password"), password);
}

ConnectionProperty& ConnectionProperties::item(const QString& name) {
    return const_cast<ConnectionProperty&>(std::as_const(*this).item(name));
}

const ConnectionProperty& ConnectionProperties::item(const QString& name) const {
    for (const ConnectionProperty& p : m_properties) {
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return p;
    }
    throw ReportError::inTemplate(
        m_file, QStringLiteral("table %1 has no connection property \"%2\"; it has \"DSN\" and \"Password\"")
                    .arg(m_table, name));
}

ParameterField& ParameterFields::item(int position) {
    if (position < 1 || position > count())
        throw ReportError(QStringLiteral("There is no parameter field at position %1; the report has %2.")
                              .arg(position)
                              .arg(count()));
    return m_fields[size_t(position - 1)];
}

Report::Report(ReportTemplate definition) : m_definition(std::move(definition)) {
    for (const TemplateTable& t : m_definition.tables)
        m_database.tables().emplace_back(t, m_definition.filePath);
    for (const TemplateParameter& p : m_definition.parameters)
        m_parameters.m_fields.emplace_back(p);
    m_selection = SelectionFormula::parse(m_definition.selection, m_definition.filePath);
}

void Report::setRecordSelectionFormula(const QString& formula) {
    m_selection = TemplateLoader::checkedSelection(m_definition, formula);
    m_selectionFormula = formula;
}

std::vector<BoundCondition> Report::boundConditions(const ParameterPrompt& prompt) {
    std::vector<BoundCondition> bound;
    for (const SelectionFormula::Condition& c : m_selection) {
        if (c.parameter.isEmpty()) {
            bound.push_back({c.column, {c.literal}});
            continue;
        }
        ParameterField* field = nullptr;
        for (ParameterField& p : m_parameters) {
            if (p.name().compare(c.parameter, Qt::CaseInsensitive) == 0)
                field = &p;
        }
        if (!field)
            throw ReportError::inTemplate(
                filePath(), QStringLiteral("the parameter field {?%1} does not exist").arg(c.parameter));
        if (field->currentValues().isEmpty() && m_promptForMissing && prompt) {
            if (const auto answer = prompt(*field, m_dialogParent))
                field->addCurrentValue(*answer);
        }
        if (field->currentValues().isEmpty())
            throw ReportError::inTemplate(
                filePath(), QStringLiteral("the parameter field \"%1\" has no value").arg(field->name()));
        bound.push_back({c.column, field->currentValues()});
    }
    return bound;
}

const std::vector<SlipRecord>& Report::slips(const ParameterPrompt& prompt) {
    if (!m_slips) {
        std::vector<TableLogon> logons;
        for (const DatabaseTable& t : m_database.tables())
            logons.push_back({t.name(),
                              t.connectionProperties().item(QStringLiteral("DSN")).value().toString(),
                              t.connectionProperties().item(QStringLiteral("Password")).value().toString()});
        const int maxLines = m_definition.lines.lineCount;
        m_slips = SlipData::read(filePath(), logons, boundConditions(prompt), maxLines);
    }
    return *m_slips;
}

std::shared_ptr<Report> ReportEngine::openReport(const QString& path, qint16 openMode) {
    if (openMode != 0 && openMode != kOpenAsTemporaryCopy)
        throw ReportError::inTemplate(
            path, QStringLiteral("the open mode %1 is unknown; use 0 or 1").arg(openMode));
    return std::make_shared<Report>(TemplateLoader::load(path));
}
