#pragma once
#include "ReportTemplate.h"

#include <QByteArray>
#include <QString>

// Writes a report template in the format TemplateLoader reads
// (docs/report-templates.md): keys in a fixed order, two-space indentation,
// lengths rounded to 0.1 mm, style keys only where an element differs from the
// template's "defaults". Loading what it writes gives the same template.
namespace TemplateWriter {

// The file text of t as it would be saved at filePath (the background image is
// named relative to that file's folder).
QByteArray toJson(const ReportTemplate& t, const QString& filePath);

// Checks the text with the loader that prints (its ReportError names the
// element at fault), keeps the previous file as filePath + ".bak", then writes
// through a temporary file renamed over the old one, so that a failure leaves
// the old file whole. Throws ReportError; nothing is written then.
void save(const ReportTemplate& t, const QString& filePath);

} // namespace TemplateWriter
