#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <limits>
#include <type_traits>

// Small helpers every window uses to name its controls: the given name becomes
// the objectName (Text1(0) is "Text1_0"), and every input gets an accessible name.
namespace Controls {

// The accessible name of an input. An editable combo takes its typing in its
// line edit, which gets the name too.
inline void name(QWidget* input, const QString& accessibleName) {
    input->setAccessibleName(accessibleName);
    if (auto* combo = qobject_cast<QComboBox*>(input); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(accessibleName);
}

// No text box limits the length of its text (Qt's stops at 32767 characters).
inline void unlimited(QLineEdit* edit) {
    edit->setMaxLength(std::numeric_limits<int>::max());
}

template <class Widget>
Widget* make(QWidget* parent, const QString& objectName, const QString& accessibleName = {}) {
    auto* widget = new Widget(parent);
    widget->setObjectName(objectName);
    if (!accessibleName.isEmpty())
        name(widget, accessibleName);
    if constexpr (std::is_base_of_v<QLineEdit, Widget>)
        unlimited(widget);
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
        name(input, label->text().remove(QLatin1Char('&')).trimmed());
}

// A caption as it reads, without its mnemonic marks: "Save && Print" reads
// "Save & Print", "&Open" reads "Open".
inline QString plainCaption(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size())
            break;
        plain += caption[i];
    }
    return plain;
}

// A push button showing caption, named for screen readers after it.
inline QPushButton* button(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* pushButton = make<QPushButton>(parent, objectName, plainCaption(caption));
    pushButton->setText(caption);
    return pushButton;
}

// A label that shows a figure: screen readers read the caption with the figure.
inline void showFigure(QLabel* label, const QString& caption, const QString& figure) {
    label->setText(figure);
    label->setAccessibleName(figure.isEmpty() ? caption : caption + QLatin1Char(' ') + figure);
}

// Twips (1/1440 inch) to pixels at 96 dots per inch.
constexpr int twips(int value) {
    return value / 15;
}

} // namespace Controls
