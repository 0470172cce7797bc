#include "UnsavedInput.h"
#include "MsgBox.h"

#include <QWidget>

bool mayDiscardInput(QWidget* window) {
    const auto* holder = dynamic_cast<const HoldsInput*>(window);
    if (!holder || !holder->hasUnsavedInput())
        return true;
    const QString question =
        QStringLiteral("\"%1\" holds changes that are not saved. Discard them?").arg(window->windowTitle());
    return MsgBox::show(question, MsgBox::Buttons::YesNo, MsgBox::Button::No, window) == MsgBox::Button::Yes;
}
