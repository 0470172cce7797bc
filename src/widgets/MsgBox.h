#pragma once
#include <QList>
#include <QString>

class QWidget;

// Every message box of Cheqora: title "Cheqora", no icon, OK or Yes/No.
// Tests switch it to test mode: nothing is shown, each box is recorded and
// answered by the next queued answer (or its default button).
namespace MsgBox {

enum class Button { Ok, Yes, No };
enum class Buttons { Ok, YesNo };

Button show(const QString& text, Buttons buttons = Buttons::Ok, Button defaultButton = Button::Ok,
            QWidget* parent = nullptr);

// Shorthand for a Yes/No question with Yes as the default.
bool askYesNo(const QString& text, QWidget* parent = nullptr);

struct Shown {
    QString text;
    Buttons buttons;
    Button defaultButton;
};

void setTestMode(bool on);
void setNextAnswer(Button answer);
// The boxes shown since the last clear, oldest first.
const QList<Shown>& shown();
void clearShown();

} // namespace MsgBox
