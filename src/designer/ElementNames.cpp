#include "ElementNames.h"
#include "TemplateEditing.h"

namespace ElementNames {

namespace {

struct Named {
    const char* table;
    const char* column;
    const char* label;
};

constexpr Named kLabels[] = {
    {"tblAcc", "id", "Account key"},
    {"tblAcc", "accno", "Account number"},
    {"tblAcc", "accname", "Account name"},
    {"tblAcc", "branch", "Branch"},
    {"tblAcc", "active", "Account active"},
    {"tblSlip", "sid", "Slip key"},
    {"tblSlip", "sno", "Sr. No"},
    {"tblSlip", "accno", "Account number on the slip"},
    {"tblSlip", "accName", "Account name on the slip"},
    {"tblSlip", "branch", "Branch on the slip"},
    {"tblSlip", "sdate", "Date"},
    {"tblSlip", "depositedBy", "Deposited by"},
    {"tblSlip", "remarks", "Remarks"},
    {"tblSlipDetails", "sdid", "Cheque line key"},
    {"tblSlipDetails", "sid", "Slip key of the line"},
    {"tblSlipDetails", "chqno", "Cheque number"},
    {"tblSlipDetails", "chqdate", "Cheque date"},
    {"tblSlipDetails", "bank", "Bank"},
    {"tblSlipDetails", "city", "City"},
    {"tblSlipDetails", "amount", "Amount"},
};

QString mm(double value) {
    return QString::number(value, 'f', 1);
}

} // namespace

QString columnLabel(const SlipColumns::Column& column) {
    for (const Named& n : kLabels) {
        if (column.table == QLatin1String(n.table) && column.column == QLatin1String(n.column))
            return QString::fromLatin1(n.label);
    }
    return column.column;
}

QString label(const Element& e) {
    switch (e.kind) {
    case ElementKind::Text:
        return QStringLiteral("Fixed text \"%1\"").arg(e.text);
    case ElementKind::Field:
        return QStringLiteral("%1 (%2.%3)").arg(columnLabel(*e.column), e.column->table, e.column->column);
    case ElementKind::Total:
        return QStringLiteral("Total");
    case ElementKind::Count:
        return QStringLiteral("Number of cheques");
    case ElementKind::Words:
        return QStringLiteral("Amount in words");
    }
    return QString();
}

QString announcement(const ReportTemplate& t, ElementRef ref, bool overflowing) {
    const QRectF box = TemplateEditing::pageBox(t, ref);
    QString text = label(t.element(ref));
    if (ref.inBand)
        text += QStringLiteral(", cheque line");
    text += QStringLiteral(", x %1 mm, y %2 mm, %3 by %4 mm")
                .arg(mm(box.x()), mm(box.y()), mm(box.width()), mm(box.height()));
    if (overflowing)
        text += QStringLiteral(", text does not fit");
    return text;
}

} // namespace ElementNames
