#include "SaveFileDialog.h"

#include <QFileDialog>

namespace SaveFileDialog {

namespace {

Dialog& replacement() {
    static Dialog dialog;
    return dialog;
}

} // namespace

QString ask(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter) {
    if (replacement())
        return replacement()(parent, proposed);
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

void setDialog(Dialog dialog) {
    replacement() = std::move(dialog);
}

} // namespace SaveFileDialog
