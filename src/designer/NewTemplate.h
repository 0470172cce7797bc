#pragma once
#include "ReportTemplate.h"

#include <QSizeF>
#include <QString>
#include <vector>

// How a new template starts: from a copy of another one, or empty on a paper.
namespace NewTemplate {

struct Paper {
    QString name;
    QSizeF size; // millimetres, as laid out
};

// A4, A5 (both ways) and the slip sizes of the templates Cheqora ships.
const std::vector<Paper>& presets();

// An empty template for filePath: the paper, the slip table and the slip-key
// parameter that printing fills; no elements yet.
ReportTemplate empty(const QSizeF& paper, const QString& filePath);

// The template at sourcePath, to be saved as filePath; throws ReportError.
ReportTemplate copyOf(const QString& sourcePath, const QString& filePath);

// The account a template file belongs to by its name (pv<key>.rpt); 0 for another name.
qint64 accountKeyOf(const QString& filePath);

// Reports/pv<key>.rpt beside the executable.
QString templatePath(qint64 accountKey);

} // namespace NewTemplate
