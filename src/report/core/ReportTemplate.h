#pragma once
#include "AmountInWords.h"
#include "ElementRef.h"
#include "FieldFormat.h"
#include "SlipColumns.h"

#include <QImage>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

// A report template as loaded from its file: the paper, what it reads and
// where each figure is printed. All lengths are millimetres from the top-left
// corner of the paper. docs/report-templates.md describes the file format.

struct TemplateTable {
    QString name; // tblSlip, tblSlipDetails or tblAcc
    QString dataSource;
    QString password;
};

struct TemplateParameter {
    QString name;
    int kindCode = 0; // 0 one value, 2 a list of values, other codes are not filled by the runner
    QString textAttribute;
    QVariantList values;
};

enum class ElementKind {
    Text,  // fixed text
    Field, // a column of tblSlip, tblAcc or (in the line band) tblSlipDetails
    Total, // the sum of the slip's cheque amounts
    Count, // the number of cheques on the slip
    Words, // the total in words
};

struct TextStyle {
    QString family;
    double sizePt = 10;
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft;
    bool operator==(const TextStyle&) const = default;
};

// The style of a template without "defaults".
inline const TextStyle kBuiltInStyle{QStringLiteral("Arial"), 10, false, Qt::AlignLeft};

struct Element {
    ElementKind kind = ElementKind::Text;
    QRectF box; // within the line band, y is measured from the top of the line
    TextStyle style;
    QString text;                               // Text
    std::optional<SlipColumns::Column> column;  // Field
    QString dateFormat;                         // date columns
    FieldFormat::AmountPattern amountPattern{}; // amount columns and Total
    AmountInWords::Numbering numbering{};       // Words
    AmountInWords::Currency currency;           // Words
    double characterPitch = 0;                  // 0: the font's own spacing
    bool wrap = false;                          // break into lines across the box
    double linePitch = 0;                       // wrapped lines; 0: the font's line height
    double firstLineIndent = 0;                 // wrapped lines
};

struct LineBand {
    double firstLineY = 0;
    double pitch = 0;
    int lineCount = 0; // 0: the template prints no cheque lines
    std::vector<Element> elements;
};

struct Background {
    QString path; // the image file, resolved beside the template
    QImage image;
    QRectF box;
};

struct ReportTemplate {
    QString filePath;
    QString name;
    QSizeF paper;                                                 // as laid out: width across, height down
    QPageLayout::Orientation orientation = QPageLayout::Portrait; // how the sheet goes into the printer
    QPointF printOffset;
    std::optional<Background> background;
    std::vector<TemplateTable> tables;
    std::vector<TemplateParameter> parameters;
    QString selection;
    TextStyle defaults = kBuiltInStyle; // the style every element starts from
    std::vector<Element> elements;
    LineBand lines;

    bool readsTable(const QString& table) const {
        for (const TemplateTable& t : tables) {
            if (t.name == table)
                return true;
        }
        return false;
    }

    // The list an element belongs to.
    std::vector<Element>& list(bool inBand) { return inBand ? lines.elements : elements; }
    const std::vector<Element>& list(bool inBand) const { return inBand ? lines.elements : elements; }
    Element& element(ElementRef ref) { return list(ref.inBand)[size_t(ref.index)]; }
    const Element& element(ElementRef ref) const { return list(ref.inBand)[size_t(ref.index)]; }

    // The parameter field of that name (in any case); null when there is none.
    const TemplateParameter* parameter(const QString& parameterName) const {
        for (const TemplateParameter& p : parameters) {
            if (p.name.compare(parameterName, Qt::CaseInsensitive) == 0)
                return &p;
        }
        return nullptr;
    }
};
