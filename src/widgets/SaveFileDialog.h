#pragma once
#include <QString>
#include <functional>

class QWidget;

// The system's "save as" dialog, which tests replace.
namespace SaveFileDialog {

// Asks where to save, proposing proposed; empty text when the person cancels.
QString ask(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter);

// Test hook standing in for the dialog (empty text: cancelled); an empty
// function brings the system's dialog back.
using Dialog = std::function<QString(QWidget* parent, const QString& proposed)>;
void setDialog(Dialog dialog);

} // namespace SaveFileDialog
