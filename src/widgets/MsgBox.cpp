#include "MsgBox.h"
#include "AppInfo.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MsgBox {

namespace {

struct TestState {
    bool on = false;
    QList<Button> answers;
    QList<Shown> shown;
};

TestState& testState() {
    static TestState state;
    return state;
}

QMessageBox::StandardButton standardButton(Button button) {
    switch (button) {
    case Button::Yes:
        return QMessageBox::Yes;
    case Button::No:
        return QMessageBox::No;
    case Button::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

Button show(const QString& text, Buttons buttons, Button defaultButton, QWidget* parent) {
    TestState& state = testState();
    if (state.on) {
        state.shown.append({text, buttons, defaultButton});
        return state.answers.isEmpty() ? defaultButton : state.answers.takeFirst();
    }
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text,
                    buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(standardButton(defaultButton));
    const int result = box.exec();
    if (result == QMessageBox::Yes)
        return Button::Yes;
    if (result == QMessageBox::No)
        return Button::No;
    return Button::Ok;
}

bool askYesNo(const QString& text, QWidget* parent) {
    return show(text, Buttons::YesNo, Button::Yes, parent) == Button::Yes;
}

void setTestMode(bool on) {
    testState().on = on;
    testState().answers.clear();
}

void setNextAnswer(Button answer) {
    testState().answers.append(answer);
}

const QList<Shown>& shown() {
    return testState().shown;
}

void clearShown() {
    testState().shown.clear();
}

} // namespace MsgBox
