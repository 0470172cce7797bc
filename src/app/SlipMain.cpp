#include "SlipMain.h"
#include "AppInfo.h"
#include "Forms.h"
#include "MsgBox.h"
#include "WindowHelpers.h"
#include "frmAcc.h"
#include "frmAccList.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

SlipMain::SlipMain() {
    setObjectName(QStringLiteral("SlipMain"));
    setWindowTitle(kAppTitle);
    resize(1024, 700);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    auto addItem = [&](const char* name, const QString& caption) {
        QAction* action = file->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    connect(addItem("crAcc", QStringLiteral("Create Account Master")), &QAction::triggered, this,
            &SlipMain::crAcc_Click);
    connect(addItem("accList", QStringLiteral("Account List")), &QAction::triggered, this,
            &SlipMain::accList_Click);
    file->addSeparator()->setObjectName(QStringLiteral("line"));
    connect(addItem("print", QStringLiteral("Print Slip")), &QAction::triggered, this,
            &SlipMain::print_Click);
    // "Report" carries no action: shown greyed out.
    addItem("report", QStringLiteral("Report"))->setEnabled(false);
    connect(addItem("about", QStringLiteral("About")), &QAction::triggered, this, &SlipMain::about_Click);

    MDIForm_Load();
}

void SlipMain::MDIForm_Load() {
    Reconnect();
}

void SlipMain::crAcc_Click() {
    showOwned(&Forms::get<frmAcc>(), this);
}

void SlipMain::accList_Click() {
    showOwned(&Forms::get<frmAccList>(), this);
}

void SlipMain::print_Click() {
    showOwned(&Forms::get<frmSlipList>(), this);
}

void SlipMain::closeEvent(QCloseEvent* event) {
    if (!Forms::closeOthers(this))
        event->ignore();
}

QString SlipMain::aboutText() {
    return QStringLiteral("Devloped by Quorvane\r\nCall ") + kDeveloperPhone;
}

void SlipMain::about_Click() {
    MsgBox::show(aboutText(), MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
}

void installConnectionFailureMessage() {
    setConnectionFailureHandler([](const QString& message) { MsgBox::show(message); });
}
