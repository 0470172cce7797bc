#pragma once
#include "ReportTemplate.h"
#include "SelectionFormula.h"
#include "SlipData.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The report engine's objects as the report runner drives them: an engine
// opens a template into a report; the report carries its record selection,
// its tables with their connection properties, its parameter fields and the
// data it has read.

class ConnectionProperty {
public:
    explicit ConnectionProperty(QString name, QVariant value = {})
        : m_name(std::move(name)), m_value(std::move(value)) {}
    const QString& name() const { return m_name; }
    const QVariant& value() const { return m_value; }
    void setValue(const QVariant& value) { m_value = value; }

private:
    QString m_name;
    QVariant m_value;
};

// Every table has exactly the properties "DSN" (the data source it reads)
// and "Password" (the logon password).
class ConnectionProperties {
public:
    ConnectionProperties(const QString& table, const QString& filePath, const QString& dataSource,
                         const QString& password);
    // The property by name, without regard to case; throws ReportError for another name.
    ConnectionProperty& item(const QString& name);
    const ConnectionProperty& item(const QString& name) const;

private:
    QString m_table;
    QString m_file;
    std::vector<ConnectionProperty> m_properties;
};

class DatabaseTable {
public:
    DatabaseTable(const TemplateTable& table, const QString& filePath)
        : m_name(table.name), m_properties(table.name, filePath, table.dataSource, table.password) {}
    const QString& name() const { return m_name; }
    ConnectionProperties& connectionProperties() { return m_properties; }
    const ConnectionProperties& connectionProperties() const { return m_properties; }

private:
    QString m_name;
    ConnectionProperties m_properties;
};

class ReportDatabase {
public:
    std::vector<DatabaseTable>& tables() { return m_tables; }
    const std::vector<DatabaseTable>& tables() const { return m_tables; }

private:
    std::vector<DatabaseTable> m_tables;
};

class ParameterField {
public:
    explicit ParameterField(const TemplateParameter& p)
        : m_name(p.name), m_kindCode(p.kindCode), m_text(p.textAttribute), m_values(p.values) {}
    const QString& name() const { return m_name; }
    // 0: one value, replaced on each run; 2: a list that runs add to; other codes: not filled by the runner.
    int kindCode() const { return m_kindCode; }
    // A free text attribute the field carries; the runner marks the fields it fills with "True".
    const QString& textAttribute() const { return m_text; }
    void setTextAttribute(const QString& text) { m_text = text; }
    const QVariantList& currentValues() const { return m_values; }
    void clearCurrentValues() { m_values.clear(); }
    void addCurrentValue(const QVariant& value) { m_values.append(value); }

private:
    QString m_name;
    int m_kindCode;
    QString m_text;
    QVariantList m_values;
};

class ParameterFields {
public:
    int count() const { return static_cast<int>(m_fields.size()); }
    // The field at position 1..count(); throws ReportError for another position.
    ParameterField& item(int position);
    std::vector<ParameterField>::iterator begin() { return m_fields.begin(); }
    std::vector<ParameterField>::iterator end() { return m_fields.end(); }
    std::vector<ParameterField>::const_iterator begin() const { return m_fields.begin(); }
    std::vector<ParameterField>::const_iterator end() const { return m_fields.end(); }

private:
    friend class Report;
    std::vector<ParameterField> m_fields;
};

class Report {
public:
    explicit Report(ReportTemplate definition);

    const QString& filePath() const { return m_definition.filePath; }
    const ReportTemplate& definition() const { return m_definition; }

    // Replaces the template's own selection; throws ReportError for a formula
    // outside the supported subset or one naming unknown tables or parameters.
    void setRecordSelectionFormula(const QString& formula);
    const QString& recordSelectionFormula() const { return m_selectionFormula; }

    ReportDatabase& database() { return m_database; }
    const ReportDatabase& database() const { return m_database; }

    // When on, a parameter field the selection needs but that has no value is
    // asked for through the prompt given to slips(); when off (or with no
    // prompt) it is an error. On for a freshly opened report.
    void setPromptForMissingParameterValues(bool prompt) { m_promptForMissing = prompt; }
    bool promptsForMissingParameterValues() const { return m_promptForMissing; }

    // Gives the report its slips, as if read already: the template designer
    // previews its sample slip this way.
    void setSavedData(std::vector<SlipRecord> slips) { m_slips = std::move(slips); }

    // Forgets the data read so far, so that the next slips() reads afresh.
    void discardSavedData() { m_slips.reset(); }
    bool hasSavedData() const { return m_slips.has_value(); }

    // The window that owns the engine's dialogs (the parameter prompt), as an
    // opaque window id; 0 for none.
    void setDialogParentWindow(quintptr window) { m_dialogParent = window; }
    quintptr dialogParentWindow() const { return m_dialogParent; }

    ParameterFields& parameterFields() { return m_parameters; }
    const ParameterFields& parameterFields() const { return m_parameters; }

    // Asks for a missing parameter value; nothing when the person cancels.
    using ParameterPrompt =
        std::function<std::optional<QVariant>(const ParameterField& field, quintptr parent)>;

    // The slips to print, one page each, read on first use and kept until
    // discardSavedData(). Throws ReportError (a failed logon, a missing
    // parameter value, no slip selected) or DbError.
    const std::vector<SlipRecord>& slips(const ParameterPrompt& prompt = {});

private:
    std::vector<BoundCondition> boundConditions(const ParameterPrompt& prompt);

    ReportTemplate m_definition;
    QString m_selectionFormula;
    std::vector<SelectionFormula::Condition> m_selection;
    ReportDatabase m_database;
    ParameterFields m_parameters;
    bool m_promptForMissing = true;
    quintptr m_dialogParent = 0;
    std::optional<std::vector<SlipRecord>> m_slips;
};

class ReportEngine {
public:
    // The mode that reads the template into memory once; the report never touches the file again.
    static constexpr qint16 kOpenAsTemporaryCopy = 1;

    // Loads the template at path; throws ReportError naming the file for a
    // missing, unreadable or malformed template, or an unknown open mode.
    std::shared_ptr<Report> openReport(const QString& path, qint16 openMode = kOpenAsTemporaryCopy);
};
