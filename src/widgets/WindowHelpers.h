#pragma once
#include <QString>
#include <exception>
#include <functional>

class QWidget;

// What the windows of Cheqora have in common besides their controls.

// Names and titles window and makes it a dialog-style window without minimize
// and maximize buttons, which Escape closes. The window's layout fixes its size.
void setUpDialogWindow(QWidget* window, const QString& objectName, const QString& title);

// Shows form as a separate, non-modal window that stays in front of owner (the
// main window), or brings it forward when it is shown already. A window that
// has an owner keeps it; with no owner the form simply shows on its own.
void showOwned(QWidget* form, QWidget* owner);

// Shows a caught failure's own description in the message box, with OK.
void showFailure(const std::exception& error, QWidget* parent);

// Runs an event handler's work; a failure is shown with its description and the
// window stays as the work left it. Tells whether the work ran to its end.
bool guarded(QWidget* parent, const std::function<void()>& action);
