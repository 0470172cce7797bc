// other_operator FOLDER: another operator at another PC, working on the
// database of the application folder FOLDER (its data.mdb holds the account
// 111). It opens a slip window, which proposes the next serial number, saves
// one slip of one cheque with that number and prints "saved <sno>".
#include "Forms.h"
#include "MsgBox.h"
#include "Settings.h"
#include "frmSlip.h"
#include "modData.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: other_operator FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    setApplicationFolder(folder);
    Settings::useFile(folder + QStringLiteral("/other-settings.ini"));
    MsgBox::setTestMode(true);
    frmSlip& form = Forms::get<frmSlip>();
    const QString serial = form.txtSno->text();
    form.cmbAcc->setEditText(QStringLiteral("111"));
    form.Text1[0]->setText(QStringLiteral("777777"));
    form.Amount[0]->setText(QStringLiteral("70.00"));
    MsgBox::setNextAnswer(MsgBox::Button::No); // "Do you want to print"
    form.Command2_Click();
    if (MsgBox::shown().size() != 1) {
        std::fprintf(stderr, "other_operator: %s\n", qPrintable(MsgBox::shown().last().text));
        return 1;
    }
    std::printf("saved %s\n", qPrintable(serial));
    return 0;
}
