#pragma once
#include "ReportTemplate.h"
#include "SelectionFormula.h"

#include <QByteArray>
#include <QString>

// Reads a report template file (JSON, see docs/report-templates.md). Every
// problem - a missing or unreadable file, text that is not JSON, a wrong type,
// a figure outside its range, an unknown key - throws ReportError naming the
// file and what is wrong; nothing is guessed.
namespace TemplateLoader {

// Bounds that keep a damaged file from exhausting the machine.
inline constexpr qint64 kMaxFileBytes = 1024 * 1024;
inline constexpr int kMaxElements = 500;
inline constexpr double kMinPaperMm = 20;
inline constexpr double kMaxPaperMm = 1000;
inline constexpr int kMaxImagePixels = 12000; // per side

ReportTemplate load(const QString& filePath);

// The template held in contents, as if read from filePath (whose folder
// holds the background image).
ReportTemplate parse(const QByteArray& contents, const QString& filePath);

// The conditions of a selection formula for the template t; throws ReportError
// unless each reads a table t lists and names a parameter field t has.
std::vector<SelectionFormula::Condition> checkedSelection(const ReportTemplate& t, const QString& formula);

} // namespace TemplateLoader
