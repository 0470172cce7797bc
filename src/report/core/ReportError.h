#pragma once
#include "ElementRef.h"

#include <QDir>
#include <QString>
#include <optional>
#include <stdexcept>

// A failure of the report engine: a template that cannot be used, a selection
// it does not understand, a logon that fails, a parameter without a value.
// description() is what the operator is shown.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& description) : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }

    // "Report template '<file>': <problem>" - every template error names its file.
    static ReportError inTemplate(const QString& filePath, const QString& problem) {
        return ReportError(
            QStringLiteral("Report template '%1': %2").arg(QDir::toNativeSeparators(filePath), problem));
    }

    // The element at fault, when the problem lies in one.
    const std::optional<ElementRef>& element() const { return m_element; }
    ReportError& at(const ElementRef& element) {
        m_element = element;
        return *this;
    }

private:
    std::optional<ElementRef> m_element;
};
