#pragma once
#include <QMainWindow>

class QAction;

// The main window: the File menu from which every other window opens.
class SlipMain : public QMainWindow {
    Q_OBJECT
public:
    SlipMain();

    void crAcc_Click();
    void accList_Click();
    void print_Click();
    void about_Click();

    static QString aboutText();

protected:
    // Closing the main window closes every window and so ends the program;
    // a window holding unsaved input asks first and may keep it open.
    void closeEvent(QCloseEvent* event) override;

private:
    void MDIForm_Load();
};

// Shows the connection error through the message box helper before the program ends.
void installConnectionFailureMessage();
