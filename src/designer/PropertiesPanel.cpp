#include "PropertiesPanel.h"
#include "Controls.h"
#include "ElementNames.h"
#include "MixedSpinBox.h"
#include "PageRenderer.h"
#include "TemplateEditing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

bool any(const Element&) {
    return true;
}

bool isDate(const Element& e) {
    return e.kind == ElementKind::Field && e.column->kind == SlipColumns::Kind::Date;
}

bool isAmount(const Element& e) {
    return e.kind == ElementKind::Total ||
           (e.kind == ElementKind::Field && e.column->kind == SlipColumns::Kind::Amount);
}

bool isWords(const Element& e) {
    return e.kind == ElementKind::Words;
}

bool isText(const Element& e) {
    return e.kind == ElementKind::Text;
}

bool wraps(const Element& e) {
    return e.wrap;
}

QString alignWord(Qt::Alignment align) {
    return (align & Qt::AlignRight)     ? QStringLiteral("right")
           : (align & Qt::AlignHCenter) ? QStringLiteral("center")
                                        : QStringLiteral("left");
}

} // namespace

PropertiesPanel::PropertiesPanel(DesignDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    setObjectName(QStringLiteral("properties"));
    setAccessibleName(QStringLiteral("Properties"));
    m_form = new QFormLayout(this);
    m_what = Controls::make<QLabel>(this, QStringLiteral("lblSelection"), QStringLiteral("Selection"));
    m_what->setWordWrap(true);
    m_form->addRow(m_what);

    spin(X, QStringLiteral("txtX"), QStringLiteral("&X"), 0, 1000, 0.1, QStringLiteral(" mm"));
    spin(Y, QStringLiteral("txtY"), QStringLiteral("&Y"), 0, 1000, 0.1, QStringLiteral(" mm"));
    spin(Width, QStringLiteral("txtWidth"), QStringLiteral("&Width"), TemplateEditing::kMinSizeMm, 1000, 0.1,
         QStringLiteral(" mm"));
    spin(Height, QStringLiteral("txtHeight"), QStringLiteral("&Height"), TemplateEditing::kMinSizeMm, 1000,
         0.1, QStringLiteral(" mm"));

    m_text = Controls::make<QLineEdit>(this, QStringLiteral("txtText"));
    m_form->addRow(QStringLiteral("&Text"), m_text);
    Controls::name(m_text, QStringLiteral("Fixed text"));
    connect(m_text, &QLineEdit::editingFinished, this, [this] {
        const QString value = m_text->text();
        apply(Text, QStringLiteral("Change the text"), isText,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).text = value; });
    });

    m_font = Controls::make<QFontComboBox>(this, QStringLiteral("cmbFont"), QStringLiteral("Font"));
    m_form->addRow(QStringLiteral("&Font"), m_font);
    connect(m_font, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        const QString family = font.family();
        apply(Font, QStringLiteral("Change the font"), any,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).style.family = family; });
    });
    spin(Size, QStringLiteral("txtSize"), QStringLiteral("Si&ze"), 4, 72, 0.5, QStringLiteral(" pt"));

    m_bold = Controls::make<QCheckBox>(this, QStringLiteral("chkBold"), QStringLiteral("Bold"));
    m_bold->setText(QStringLiteral("&Bold"));
    m_form->addRow(QString(), m_bold);
    connect(m_bold, &QCheckBox::clicked, this, [this](bool checked) {
        m_bold->setTristate(false);
        apply(Bold, QStringLiteral("Change bold"), any,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).style.bold = checked; });
    });

    m_align = Controls::make<QComboBox>(this, QStringLiteral("cmbAlign"), QStringLiteral("Alignment"));
    m_align->addItems({QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right")});
    m_form->addRow(QStringLiteral("&Alignment"), m_align);
    connect(m_align, &QComboBox::activated, this, [this](int index) {
        const Qt::Alignment align = index == 2   ? Qt::AlignRight
                                    : index == 1 ? Qt::AlignHCenter
                                                 : Qt::AlignLeft;
        apply(Align, QStringLiteral("Change the alignment"), any,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).style.align = align; });
    });

    spin(Pitch, QStringLiteral("txtPitch"), QStringLiteral("Character &pitch"), 0, 50, 0.1,
         QStringLiteral(" mm"), QStringLiteral("none"));

    m_wrap = Controls::make<QCheckBox>(this, QStringLiteral("chkWrap"), QStringLiteral("Wrap"));
    m_wrap->setText(QStringLiteral("Wra&p into lines"));
    m_form->addRow(QString(), m_wrap);
    connect(m_wrap, &QCheckBox::clicked, this, [this](bool checked) {
        m_wrap->setTristate(false);
        apply(Wrap, QStringLiteral("Change wrapping"), any,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).wrap = checked; });
    });
    spin(LinePitch, QStringLiteral("txtLinePitch"), QStringLiteral("&Line pitch"), 0, 100, 0.1,
         QStringLiteral(" mm"), QStringLiteral("the font's"));
    spin(Indent, QStringLiteral("txtIndent"), QStringLiteral("&Indent"), 0, 1000, 0.1, QStringLiteral(" mm"));

    m_dateFormat =
        Controls::make<QComboBox>(this, QStringLiteral("cmbDateFormat"), QStringLiteral("Date format"));
    m_dateFormat->setEditable(true);
    m_dateFormat->addItems({QStringLiteral("dd-MM-yyyy"), QStringLiteral("ddMMyyyy"),
                            QStringLiteral("dd/MM/yyyy"), QStringLiteral("dd/MM/yy"),
                            QStringLiteral("dd-MMM-yyyy"), QStringLiteral("d MMM yyyy")});
    Controls::name(m_dateFormat, QStringLiteral("Date format"));
    m_form->addRow(QStringLiteral("&Date format"), m_dateFormat);
    connect(m_dateFormat, &QComboBox::currentTextChanged, this, [this] { showSample(); });
    connect(m_dateFormat->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const QString format = m_dateFormat->currentText();
        if (!FieldFormat::datePatternProblem(format).isEmpty())
            return;
        apply(DateFormat, QStringLiteral("Change the date format"), isDate,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).dateFormat = format; });
    });
    connect(m_dateFormat, &QComboBox::activated, this,
            [this] { m_dateFormat->lineEdit()->editingFinished(); });

    m_amountFormat =
        Controls::make<QComboBox>(this, QStringLiteral("cmbAmountFormat"), QStringLiteral("Amount format"));
    m_amountFormat->addItems(
        {QStringLiteral("0.00"), QStringLiteral("#,##0.00"), QStringLiteral("#,##,##0.00")});
    m_form->addRow(QStringLiteral("A&mount format"), m_amountFormat);
    connect(m_amountFormat, &QComboBox::activated, this, [this] {
        const auto pattern = FieldFormat::amountPattern(m_amountFormat->currentText());
        apply(AmountFormat, QStringLiteral("Change the amount format"), isAmount,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).amountPattern = *pattern; });
    });
    m_formatSample =
        Controls::make<QLabel>(this, QStringLiteral("lblFormatSample"), QStringLiteral("Sample"));
    m_form->addRow(QStringLiteral("Sample"), m_formatSample);

    m_numbering =
        Controls::make<QComboBox>(this, QStringLiteral("cmbNumbering"), QStringLiteral("Numbering"));
    m_numbering->addItems(
        {QStringLiteral("Indian (lakh, crore)"), QStringLiteral("International (million)")});
    m_form->addRow(QStringLiteral("&Numbering"), m_numbering);
    connect(m_numbering, &QComboBox::activated, this, [this](int index) {
        const auto numbering =
            index == 1 ? AmountInWords::Numbering::International : AmountInWords::Numbering::Indian;
        apply(Numbering, QStringLiteral("Change the numbering"), isWords,
              [&](ReportTemplate& t, ElementRef ref) { t.element(ref).numbering = numbering; });
    });
    const auto wordsText = [this](QLineEdit*& edit, Property property, const QString& name,
                                  const QString& caption, QString AmountInWords::Currency::*member) {
        edit = Controls::make<QLineEdit>(this, name);
        m_form->addRow(caption, edit);
        Controls::name(edit, QString(caption).remove(QLatin1Char('&')));
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, property, member] {
            const QString value = edit->text().trimmed();
            if (value.isEmpty())
                return refresh();
            apply(property, QStringLiteral("Change the words"), isWords,
                  [&](ReportTemplate& t, ElementRef ref) { t.element(ref).currency.*member = value; });
        });
    };
    wordsText(m_currency, Currency, QStringLiteral("txtCurrency"), QStringLiteral("&Currency"),
              &AmountInWords::Currency::unit);
    wordsText(m_subunit, Subunit, QStringLiteral("txtSubunit"), QStringLiteral("S&ubunit"),
              &AmountInWords::Currency::subunit);

    auto* band = Controls::make<QLabel>(this, QStringLiteral("lblBand"), QStringLiteral("Cheque lines"));
    band->setText(QStringLiteral("<b>Cheque lines</b>"));
    m_form->addRow(band);
    spin(FirstLine, QStringLiteral("txtFirstLine"), QStringLiteral("First li&ne at"), 0, 1000, 0.1,
         QStringLiteral(" mm"));
    spin(BandPitch, QStringLiteral("txtBandPitch"), QStringLiteral("Line pi&tch"), 1, 1000, 0.1,
         QStringLiteral(" mm"));
    spin(LineCount, QStringLiteral("txtLineCount"), QStringLiteral("Lines on the &form"), 1, 50, 1,
         QString());
    m_spins[LineCount]->setDecimals(0);

    connect(&m_document, &DesignDocument::selectionChanged, this, &PropertiesPanel::refresh);
    connect(&m_document, &DesignDocument::layoutChanged, this, &PropertiesPanel::refresh);
    connect(&m_document, &DesignDocument::sampleChanged, this, &PropertiesPanel::refresh);
    refresh();
}

MixedSpinBox* PropertiesPanel::spin(Property property, const QString& name, const QString& caption,
                                    double minimum, double maximum, double step, const QString& suffix,
                                    const QString& offText) {
    auto* box = new MixedSpinBox(this, minimum, maximum, step, suffix, offText);
    box->setObjectName(name);
    Controls::name(box, QString(caption).remove(QLatin1Char('&')));
    m_form->addRow(caption, box);
    m_spins[property] = box;
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, property, minimum](double value) {
        if (value < minimum - 1e-9)
            return; // the blank of differing values
        switch (property) {
        case X:
        case Y:
        case Width:
        case Height:
            return applyBox(property, value);
        case Size:
            return apply(Size, QStringLiteral("Change the size"), any,
                         [&](ReportTemplate& t, ElementRef ref) { t.element(ref).style.sizePt = value; });
        case Pitch:
            return apply(Pitch, QStringLiteral("Change the character pitch"), any,
                         [&](ReportTemplate& t, ElementRef ref) {
                             t.element(ref).characterPitch = value > 0 ? std::max(0.5, value) : 0.0;
                         });
        case LinePitch:
            return apply(LinePitch, QStringLiteral("Change the line pitch"), wraps,
                         [&](ReportTemplate& t, ElementRef ref) {
                             t.element(ref).linePitch = value > 0 ? std::max(1.0, value) : 0.0;
                         });
        case Indent:
            return apply(Indent, QStringLiteral("Change the indent"), wraps,
                         [&](ReportTemplate& t, ElementRef ref) {
                             Element& e = t.element(ref);
                             e.firstLineIndent = std::min(value, e.box.width());
                         });
        case FirstLine:
        case BandPitch:
        case LineCount:
            m_document.change(
                QStringLiteral("Change the cheque lines"),
                [&](ReportTemplate& t) {
                    if (property == LineCount)
                        t.lines.lineCount = int(value);
                    TemplateEditing::setBand(t, property == FirstLine ? value : t.lines.firstLineY,
                                             property == BandPitch ? value : t.lines.pitch);
                },
                std::nullopt, DesignDocument::kProperty + int(property));
            return refresh();
        default:
            break;
        }
    });
    return box;
}

void PropertiesPanel::apply(Property property, const QString& what,
                            const std::function<bool(const Element&)>& appliesTo,
                            const std::function<void(ReportTemplate&, ElementRef)>& edit) {
    const std::vector<ElementRef> selection = m_document.selection();
    m_document.change(
        what,
        [&](ReportTemplate& t) {
            for (const ElementRef ref : selection) {
                if (appliesTo(t.element(ref)))
                    edit(t, ref);
            }
        },
        std::nullopt, DesignDocument::kProperty + int(property));
    refresh();
}

void PropertiesPanel::applyBox(Property property, double value) {
    static const std::map<Property, QString> names = {{X, QStringLiteral("Change x")},
                                                      {Y, QStringLiteral("Change y")},
                                                      {Width, QStringLiteral("Change the width")},
                                                      {Height, QStringLiteral("Change the height")}};
    apply(property, names.at(property), any, [&](ReportTemplate& t, ElementRef ref) {
        QRectF box = TemplateEditing::pageBox(t, ref);
        if (property == X)
            box.moveLeft(value);
        else if (property == Y)
            box.moveTop(value);
        else if (property == Width)
            box.setWidth(value);
        else
            box.setHeight(value);
        TemplateEditing::setPageBox(t, ref, box);
    });
}

QString PropertiesPanel::sampleText(const QString& dateFormat, const QString& amountFormat) const {
    const ReportTemplate& t = m_document.layout();
    for (const ElementRef ref : m_document.selection()) {
        Element e = t.element(ref);
        const bool date = isDate(e);
        if (!date && !isAmount(e))
            continue;
        if (date) {
            if (const QString problem = FieldFormat::datePatternProblem(dateFormat); !problem.isEmpty())
                return problem;
            e.dateFormat = dateFormat;
        } else if (const auto pattern = FieldFormat::amountPattern(amountFormat)) {
            e.amountPattern = *pattern;
        }
        const SlipRecord& slip = m_document.sample();
        const QVariantMap* line = ref.inBand && !slip.lines.empty() ? &slip.lines.front() : nullptr;
        return PageRenderer::elementText(e, slip, line);
    }
    return QString();
}

void PropertiesPanel::showSample() {
    Controls::showFigure(m_formatSample, QStringLiteral("Sample"),
                         sampleText(m_dateFormat->currentText(), m_amountFormat->currentText()));
}

void PropertiesPanel::refresh() {
    const ReportTemplate& t = m_document.layout();
    const std::vector<ElementRef>& selection = m_document.selection();
    const bool some = !selection.empty();
    if (!some)
        Controls::showFigure(m_what, QStringLiteral("Selection"), QStringLiteral("Nothing selected"));
    else if (selection.size() == 1)
        Controls::showFigure(m_what, QStringLiteral("Selection"),
                             ElementNames::label(t.element(selection.front())));
    else
        Controls::showFigure(m_what, QStringLiteral("Selection"),
                             QStringLiteral("%1 elements").arg(selection.size()));

    // The value the selected elements share, or nothing when they differ.
    const auto shared = [&](const std::function<bool(const Element&)>& appliesTo,
                            const std::function<QVariant(ElementRef)>& value) -> std::optional<QVariant> {
        std::optional<QVariant> found;
        bool differs = false;
        for (const ElementRef ref : selection) {
            if (!appliesTo(t.element(ref)))
                continue;
            const QVariant v = value(ref);
            if (found && *found != v)
                differs = true;
            found = v;
        }
        if (differs)
            return QVariant();
        return found;
    };
    const auto applies = [&](const std::function<bool(const Element&)>& test) {
        return std::any_of(selection.begin(), selection.end(),
                           [&](ElementRef r) { return test(t.element(r)); });
    };
    const auto showSpin = [&](Property p, const std::optional<QVariant>& v, bool visible) {
        m_form->setRowVisible(m_spins[p], visible);
        if (!v || !v->isValid())
            m_spins[p]->showMixed();
        else
            m_spins[p]->showValue(v->toDouble());
    };
    const auto box = [&](ElementRef r) { return TemplateEditing::pageBox(t, r); };
    showSpin(X, shared(any, [&](ElementRef r) { return std::round(box(r).x() * 10) / 10; }), some);
    showSpin(Y, shared(any, [&](ElementRef r) { return std::round(box(r).y() * 10) / 10; }), some);
    showSpin(Width, shared(any, [&](ElementRef r) { return std::round(box(r).width() * 10) / 10; }), some);
    showSpin(Height, shared(any, [&](ElementRef r) { return std::round(box(r).height() * 10) / 10; }), some);
    showSpin(Size, shared(any, [&](ElementRef r) { return t.element(r).style.sizePt; }), some);
    showSpin(Pitch, shared(any, [&](ElementRef r) { return t.element(r).characterPitch; }), some);
    const bool wrapped = applies(wraps);
    showSpin(LinePitch, shared(wraps, [&](ElementRef r) { return t.element(r).linePitch; }), wrapped);
    showSpin(Indent, shared(wraps, [&](ElementRef r) { return t.element(r).firstLineIndent; }), wrapped);

    const auto check = [&](QCheckBox* flag, const std::optional<QVariant>& v) {
        const QSignalBlocker quiet(flag);
        m_form->setRowVisible(flag, some);
        flag->setTristate(!v || !v->isValid());
        flag->setCheckState(!v || !v->isValid() ? Qt::PartiallyChecked
                            : v->toBool()       ? Qt::Checked
                                                : Qt::Unchecked);
    };
    check(m_bold, shared(any, [&](ElementRef r) { return t.element(r).style.bold; }));
    check(m_wrap, shared(any, [&](ElementRef r) { return t.element(r).wrap; }));

    const auto choose = [&](QComboBox* combo, const std::optional<QVariant>& v, bool visible) {
        const QSignalBlocker quiet(combo);
        m_form->setRowVisible(combo, visible);
        if (!v || !v->isValid())
            combo->setCurrentIndex(-1);
        else
            combo->setCurrentText(v->toString());
        if (combo->isEditable() && (!v || !v->isValid()))
            combo->setEditText(QString());
    };
    {
        const QSignalBlocker quiet(m_font);
        m_form->setRowVisible(m_font, some);
        const auto family = shared(any, [&](ElementRef r) { return t.element(r).style.family; });
        if (family && family->isValid())
            m_font->setCurrentFont(QFont(family->toString()));
        else
            m_font->setEditText(QString());
    }
    choose(m_align, shared(any, [&](ElementRef r) { return alignWord(t.element(r).style.align); }), some);
    choose(m_dateFormat, shared(isDate, [&](ElementRef r) { return t.element(r).dateFormat; }),
           applies(isDate));
    choose(m_amountFormat,
           shared(isAmount,
                  [&](ElementRef r) { return FieldFormat::amountPatternText(t.element(r).amountPattern); }),
           applies(isAmount));
    m_form->setRowVisible(m_formatSample, applies(isDate) || applies(isAmount));
    showSample();
    {
        const QSignalBlocker quiet(m_numbering);
        m_form->setRowVisible(m_numbering, applies(isWords));
        const auto numbering = shared(isWords, [&](ElementRef r) { return int(t.element(r).numbering); });
        m_numbering->setCurrentIndex(numbering && numbering->isValid() ? numbering->toInt() : -1);
    }
    const auto line = [&](QLineEdit* edit, const std::optional<QVariant>& v, bool visible) {
        const QSignalBlocker quiet(edit);
        m_form->setRowVisible(edit, visible);
        edit->setText(v && v->isValid() ? v->toString() : QString());
    };
    line(m_text, shared(isText, [&](ElementRef r) { return t.element(r).text; }), applies(isText));
    line(m_currency, shared(isWords, [&](ElementRef r) { return t.element(r).currency.unit; }),
         applies(isWords));
    line(m_subunit, shared(isWords, [&](ElementRef r) { return t.element(r).currency.subunit; }),
         applies(isWords));

    const bool band = t.lines.lineCount > 0;
    showSpin(FirstLine, QVariant(t.lines.firstLineY), band);
    showSpin(BandPitch, QVariant(t.lines.pitch), band);
    showSpin(LineCount, QVariant(t.lines.lineCount), band);
    for (QWidget* w : findChildren<QLabel*>(QStringLiteral("lblBand")))
        w->setVisible(band);
}
