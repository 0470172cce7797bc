#include "WindowHelpers.h"
#include "Forms.h"
#include "MsgBox.h"

#include <QShortcut>
#include <QWidget>

void setUpDialogWindow(QWidget* window, const QString& objectName, const QString& title) {
    window->setObjectName(objectName);
    window->setWindowTitle(title);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void showOwned(QWidget* form, QWidget* owner) {
    if (owner && !form->parentWidget() && form != owner->window())
        form->setParent(owner->window(), form->windowFlags() | Qt::Window);
    Forms::showForward(form);
}

void showFailure(const std::exception& error, QWidget* parent) {
    MsgBox::show(QString::fromUtf8(error.what()), MsgBox::Buttons::Ok, MsgBox::Button::Ok, parent);
}

bool guarded(QWidget* parent, const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        showFailure(error, parent);
        return false;
    }
}
