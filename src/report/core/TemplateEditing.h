#pragma once
#include "ReportTemplate.h"

#include <vector>

// The changes a template designer makes to a template. Every change keeps the
// template loadable as far as boxes go: each element stays on the paper (on
// every cheque line, for the band), and the tables an element needs are listed.
namespace TemplateEditing {

inline constexpr double kMinSizeMm = 1.0;

// A new element of the given kind in the template's default style, with a
// usable size; for a field,
// the column's usual format.
Element newElement(const ReportTemplate& t, ElementKind kind,
                   const std::optional<SlipColumns::Column>& column = {});

// Whether an element of this kind belongs in the cheque-line band.
bool belongsInBand(const Element& element);

// Adds element with its top-left corner at pageTopLeft (millimetres on the
// page; for the band, the line under that point counts). Lists the tables it
// needs and starts a band of five lines when the template has none. Returns
// where it went.
ElementRef add(ReportTemplate& t, Element element, QPointF pageTopLeft);

// Removes the elements; the others keep their order.
void remove(ReportTemplate& t, std::vector<ElementRef> refs);

// An element's box on the page: a band element's on the first cheque line.
QRectF pageBox(const ReportTemplate& t, ElementRef ref);

// Where an element's page box may lie: the paper, or for the band the part of
// the page where it fits on every line.
QRectF allowedArea(const ReportTemplate& t, ElementRef ref);

// Moves the elements by the same distance, shortened so that each stays where
// it may lie. Returns the distance moved.
QPointF move(ReportTemplate& t, const std::vector<ElementRef>& refs, QPointF deltaMm);

// Gives the element a new page box, kept at least kMinSizeMm and where it may lie.
void setPageBox(ReportTemplate& t, ElementRef ref, QRectF pageBoxMm);

// Moves the band's first line and changes its pitch, kept so that every band
// element fits on every line.
void setBand(ReportTemplate& t, double firstLineY, double pitch);

enum class Edge { Left, HCenter, Right, Top, VCenter, Bottom };

// Lines the elements up on the outermost edge (or the middle) of their page boxes.
void align(ReportTemplate& t, const std::vector<ElementRef>& refs, Edge edge);

// Spaces three or more elements evenly between the outermost two.
void distribute(ReportTemplate& t, const std::vector<ElementRef>& refs, Qt::Orientation orientation);

} // namespace TemplateEditing
