#include "PaletteItems.h"
#include "ElementNames.h"
#include "TemplateEditing.h"

namespace PaletteItems {

namespace {

const QString kFieldPrefix = QStringLiteral("field:");

QString groupOf(const QString& table) {
    if (table == SlipColumns::kSlipTable)
        return QStringLiteral("Slip (tblSlip)");
    if (table == SlipColumns::kAccountTable)
        return QStringLiteral("Account (tblAcc)");
    return QStringLiteral("Cheque lines (tblSlipDetails)");
}

} // namespace

const std::vector<Item>& all() {
    static const std::vector<Item> items = [] {
        const QString computed = QStringLiteral("Figures and text");
        std::vector<Item> list{{QStringLiteral("total"), QStringLiteral("Total"), computed},
                               {QStringLiteral("count"), QStringLiteral("Number of cheques"), computed},
                               {QStringLiteral("words"), QStringLiteral("Amount in words"), computed},
                               {QStringLiteral("text"), QStringLiteral("Fixed text"), computed}};
        for (const QString& table :
             {SlipColumns::kSlipTable, SlipColumns::kAccountTable, SlipColumns::kLineTable}) {
            for (const SlipColumns::Column& c : SlipColumns::all()) {
                if (c.table == table)
                    list.push_back({kFieldPrefix + c.table + QLatin1Char('.') + c.column,
                                    ElementNames::columnLabel(c), groupOf(c.table)});
            }
        }
        return list;
    }();
    return items;
}

std::optional<Element> create(const ReportTemplate& t, const QString& id) {
    using TemplateEditing::newElement;
    if (id == QLatin1String("text"))
        return newElement(t, ElementKind::Text);
    if (id == QLatin1String("total"))
        return newElement(t, ElementKind::Total);
    if (id == QLatin1String("count"))
        return newElement(t, ElementKind::Count);
    if (id == QLatin1String("words"))
        return newElement(t, ElementKind::Words);
    if (id.startsWith(kFieldPrefix)) {
        if (const auto column = SlipColumns::qualified(id.mid(kFieldPrefix.size())))
            return newElement(t, ElementKind::Field, column);
    }
    return std::nullopt;
}

} // namespace PaletteItems
