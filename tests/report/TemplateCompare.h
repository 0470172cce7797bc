#pragma once
// Two templates compared field by field, with where they first differ, so a
// writer that drops or changes anything is caught.
#include "ReportTemplate.h"

#include <QDir>
#include <QStringList>
#include <cmath>

namespace TemplateCompare {

inline bool near(double a, double b) {
    return std::abs(a - b) < 0.051; // lengths are written to 0.1 mm
}

inline bool nearBox(const QRectF& a, const QRectF& b) {
    return near(a.x(), b.x()) && near(a.y(), b.y()) && near(a.width(), b.width()) &&
           near(a.height(), b.height());
}

inline QString elementDifference(const Element& a, const Element& b) {
    QStringList d;
    if (a.kind != b.kind)
        d << "kind";
    if (!nearBox(a.box, b.box))
        d << "box";
    if (!(a.style == b.style))
        d << "style";
    if (a.text != b.text)
        d << "text";
    if (a.column.has_value() != b.column.has_value() ||
        (a.column && (a.column->table != b.column->table || a.column->column != b.column->column)))
        d << "column";
    if (a.dateFormat != b.dateFormat)
        d << "date format";
    if (a.amountPattern != b.amountPattern)
        d << "amount format";
    if (a.numbering != b.numbering || a.currency.unit != b.currency.unit ||
        a.currency.subunit != b.currency.subunit)
        d << "words";
    if (!near(a.characterPitch, b.characterPitch))
        d << "pitch";
    if (a.wrap != b.wrap || !near(a.linePitch, b.linePitch) || !near(a.firstLineIndent, b.firstLineIndent))
        d << "wrap";
    return d.join(", ");
}

// Empty when a and b print alike; otherwise what differs first.
inline QString difference(const ReportTemplate& a, const ReportTemplate& b) {
    if (a.name != b.name)
        return "name";
    if (!near(a.paper.width(), b.paper.width()) || !near(a.paper.height(), b.paper.height()) ||
        a.orientation != b.orientation)
        return "paper";
    if (!near(a.printOffset.x(), b.printOffset.x()) || !near(a.printOffset.y(), b.printOffset.y()))
        return "offset";
    if (a.background.has_value() != b.background.has_value() ||
        (a.background && (QDir::cleanPath(a.background->path) != QDir::cleanPath(b.background->path) ||
                          !nearBox(a.background->box, b.background->box))))
        return "background";
    if (a.tables.size() != b.tables.size())
        return "tables";
    for (size_t i = 0; i < a.tables.size(); ++i) {
        if (a.tables[i].name != b.tables[i].name || a.tables[i].dataSource != b.tables[i].dataSource ||
            a.tables[i].password != b.tables[i].password)
            return QString("table %1").arg(i + 1);
    }
    if (a.parameters.size() != b.parameters.size())
        return "parameters";
    for (size_t i = 0; i < a.parameters.size(); ++i) {
        const TemplateParameter& p = a.parameters[i];
        const TemplateParameter& q = b.parameters[i];
        if (p.name != q.name || p.kindCode != q.kindCode || p.textAttribute != q.textAttribute ||
            p.values != q.values)
            return QString("parameter %1").arg(i + 1);
    }
    if (a.selection != b.selection)
        return "selection";
    if (!(a.defaults == b.defaults))
        return "defaults";
    if (a.lines.lineCount != b.lines.lineCount || !near(a.lines.firstLineY, b.lines.firstLineY) ||
        !near(a.lines.pitch, b.lines.pitch))
        return "band";
    for (bool inBand : {false, true}) {
        if (a.list(inBand).size() != b.list(inBand).size())
            return inBand ? "band elements" : "elements";
        for (size_t i = 0; i < a.list(inBand).size(); ++i) {
            const QString d = elementDifference(a.list(inBand)[i], b.list(inBand)[i]);
            if (!d.isEmpty())
                return QString("%1element %2: %3").arg(inBand ? "band " : "").arg(i + 1).arg(d);
        }
    }
    return QString();
}

} // namespace TemplateCompare
