#pragma once
#include <QDoubleSpinBox>

// A spin box for a property of several elements: it shows the value they
// share, or nothing when their values differ. The lowest value may stand for
// "none" with a word of its own (offText).
class MixedSpinBox : public QDoubleSpinBox {
public:
    MixedSpinBox(QWidget* parent, double minimum, double maximum, double step, const QString& suffix,
                 const QString& offText = {});

    void showValue(double value);
    void showMixed();
    bool isMixed() const { return m_mixed; }
    void setLowest(double minimum);

private:
    double m_minimum;
    QString m_offText;
    bool m_mixed = false;
};
