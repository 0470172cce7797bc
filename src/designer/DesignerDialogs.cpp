#include "DesignerDialogs.h"

#include <QFileDialog>
#include <QInputDialog>

namespace DesignerDialogs {

namespace {

OpenFile& openDialog() {
    static OpenFile dialog = [](QWidget* parent, const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    };
    return dialog;
}

SaveFile& saveDialog() {
    static SaveFile dialog = [](QWidget* parent, const QString& title, const QString& proposed,
                                const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, proposed, filter);
    };
    return dialog;
}

AskNumber& numberDialog() {
    static AskNumber dialog = [](QWidget* parent, const Number& q) -> std::optional<double> {
        bool ok = false;
        const double value =
            QInputDialog::getDouble(parent, q.title, q.label, q.value, q.minimum, q.maximum, q.decimals, &ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    };
    return dialog;
}

} // namespace

QString openFile(QWidget* parent, const QString& title, const QString& filter) {
    return openDialog()(parent, title, filter);
}

QString saveFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter) {
    return saveDialog()(parent, title, proposed, filter);
}

std::optional<double> askNumber(QWidget* parent, const Number& question) {
    return numberDialog()(parent, question);
}

void setOpenFile(OpenFile dialog) {
    openDialog() = std::move(dialog);
}

void setSaveFile(SaveFile dialog) {
    saveDialog() = std::move(dialog);
}

void setAskNumber(AskNumber dialog) {
    numberDialog() = std::move(dialog);
}

} // namespace DesignerDialogs
