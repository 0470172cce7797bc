#pragma once
#include <QLabel>
#include <QString>
#include <QWidget>

// Small helpers every window uses to name its controls: the given name becomes
// the objectName (Text1(0) is "Text1_0"), and every input gets an accessible name.
namespace Controls {

template <class Widget>
Widget* make(QWidget* parent, const QString& objectName, const QString& accessibleName = {}) {
    auto* widget = new Widget(parent);
    widget->setObjectName(objectName);
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

// The name of element index of a control array: Text1(3) -> "Text1_3".
inline QString arrayName(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

// Makes label the buddy caption of input and names the input after it.
inline void caption(QLabel* label, QWidget* input) {
    label->setBuddy(input);
    if (input->accessibleName().isEmpty())
        input->setAccessibleName(label->text().remove(QLatin1Char('&')).trimmed());
}

// Twips (1/1440 inch) to pixels at 96 dots per inch.
constexpr int twips(int value) {
    return value / 15;
}

} // namespace Controls
