#pragma once
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The questions the designer asks through standard dialogs. Tests replace
// them, as they answer message boxes, so that nothing waits for a person.
namespace DesignerDialogs {

struct Number {
    QString title;
    QString label;
    double value = 0;
    double minimum = 0;
    double maximum = 1000;
    int decimals = 1;
};

using OpenFile = std::function<QString(QWidget* parent, const QString& title, const QString& filter)>;
using SaveFile = std::function<QString(QWidget* parent, const QString& title, const QString& proposed,
                                       const QString& filter)>;
using AskNumber = std::function<std::optional<double>(QWidget* parent, const Number& question)>;

QString openFile(QWidget* parent, const QString& title, const QString& filter);
QString saveFile(QWidget* parent, const QString& title, const QString& proposed, const QString& filter);
// Nothing when the person cancels.
std::optional<double> askNumber(QWidget* parent, const Number& question);

void setOpenFile(OpenFile dialog);
void setSaveFile(SaveFile dialog);
void setAskNumber(AskNumber dialog);

} // namespace DesignerDialogs
