#pragma once

class QWidget;

// Shows form as a separate, non-modal window that stays in front of owner (the
// main window), or brings it forward when it is shown already. A window that
// has an owner keeps it; with no owner the form simply shows on its own.
void showOwned(QWidget* form, QWidget* owner);
