#pragma once
#include "ReportTemplate.h"

#include <QString>
#include <optional>
#include <vector>

// Everything a template can place: fixed text, the total, the number of
// cheques, the amount in words and every column of tblSlip, tblAcc and the
// cheque lines. Each has an id the palette drags and the view drops.
namespace PaletteItems {

struct Item {
    QString id; // "text", "total", "count", "words" or "field:<table>.<column>"
    QString label;
    QString group;
};

const std::vector<Item>& all();

// A new element for the id, in the template's style; nothing for an unknown id.
std::optional<Element> create(const ReportTemplate& t, const QString& id);

} // namespace PaletteItems
