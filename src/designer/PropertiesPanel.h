#pragma once
#include "DesignDocument.h"

#include <QWidget>
#include <functional>

class MixedSpinBox;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

// The properties of the selected elements: box, style, character pitch,
// wrapping, formats and the words of the amount; and the cheque-line band.
// With several elements selected, a property shows a value where they agree,
// and a change goes to every element it applies to.
class PropertiesPanel : public QWidget {
    Q_OBJECT
public:
    explicit PropertiesPanel(DesignDocument& document, QWidget* parent = nullptr);

    // Shows what the document holds now.
    void refresh();

private:
    enum Property {
        X,
        Y,
        Width,
        Height,
        Font,
        Size,
        Bold,
        Align,
        Pitch,
        Wrap,
        LinePitch,
        Indent,
        Text,
        DateFormat,
        AmountFormat,
        Numbering,
        Currency,
        Subunit,
        FirstLine,
        BandPitch,
        LineCount
    };

    // One undo step (merged with more of the same property) that runs edit on
    // each selected element it applies to.
    void apply(Property property, const QString& what, const std::function<bool(const Element&)>& appliesTo,
               const std::function<void(ReportTemplate&, ElementRef)>& edit);
    void applyBox(Property property, double value);
    MixedSpinBox* spin(Property property, const QString& name, const QString& caption, double minimum,
                       double maximum, double step, const QString& suffix, const QString& offText = {});
    QString sampleText(const QString& dateFormat, const QString& amountFormat) const;
    void showSample();

    DesignDocument& m_document;
    QFormLayout* m_form = nullptr;
    QLabel* m_what = nullptr;
    std::map<Property, MixedSpinBox*> m_spins;
    QFontComboBox* m_font = nullptr;
    QCheckBox* m_bold = nullptr;
    QComboBox* m_align = nullptr;
    QCheckBox* m_wrap = nullptr;
    QLineEdit* m_text = nullptr;
    QComboBox* m_dateFormat = nullptr;
    QComboBox* m_amountFormat = nullptr;
    QLabel* m_formatSample = nullptr;
    QComboBox* m_numbering = nullptr;
    QLineEdit* m_currency = nullptr;
    QLineEdit* m_subunit = nullptr;
};
