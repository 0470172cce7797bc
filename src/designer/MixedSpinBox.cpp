#include "MixedSpinBox.h"

#include <QSignalBlocker>

MixedSpinBox::MixedSpinBox(QWidget* parent, double minimum, double maximum, double step,
                           const QString& suffix, const QString& offText)
    : QDoubleSpinBox(parent), m_minimum(minimum), m_offText(offText) {
    setRange(minimum, maximum);
    setSingleStep(step);
    setDecimals(1);
    setSuffix(suffix);
    setKeyboardTracking(false);
    setSpecialValueText(offText);
    setAccelerated(true);
}

void MixedSpinBox::setLowest(double minimum) {
    m_minimum = minimum;
    if (!m_mixed)
        setMinimum(minimum);
}

void MixedSpinBox::showValue(double value) {
    const QSignalBlocker quiet(this);
    m_mixed = false;
    setMinimum(m_minimum);
    setSpecialValueText(m_offText);
    setValue(value);
}

void MixedSpinBox::showMixed() {
    const QSignalBlocker quiet(this);
    m_mixed = true;
    // One step below the range shows as a blank until a value is chosen.
    setMinimum(m_minimum - singleStep());
    setSpecialValueText(QStringLiteral(" "));
    setValue(minimum());
}
