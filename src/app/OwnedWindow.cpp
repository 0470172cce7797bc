#include "OwnedWindow.h"
#include "Forms.h"

#include <QWidget>

void showOwned(QWidget* form, QWidget* owner) {
    if (owner && !form->parentWidget() && form != owner->window())
        form->setParent(owner->window(), form->windowFlags() | Qt::Window);
    Forms::showForward(form);
}
