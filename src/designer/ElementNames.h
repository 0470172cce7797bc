#pragma once
#include "ReportTemplate.h"
#include "SlipColumns.h"

#include <QString>

// What the designer calls the things a template can place, as the operator
// reads them in the palette, the properties and the announcements.
namespace ElementNames {

// "Date (tblSlip.sdate)", "Total", "Fixed text "X"" ...
QString label(const Element& element);

// The column in plain words: "Cheque date", "Account name".
QString columnLabel(const SlipColumns::Column& column);

// An element with its place, as a screen reader announces it:
// "Date (tblSlip.sdate), cheque line, x 160.0 mm, y 3.0 mm, 44.0 by 6.0 mm".
QString announcement(const ReportTemplate& t, ElementRef ref, bool overflowing);

} // namespace ElementNames
