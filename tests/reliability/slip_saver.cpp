// slip_saver FOLDER SEED: saves slips through the slip window, one after the
// other, until it is killed. FOLDER is the application folder (its data.mdb
// holds the account 111). Each slip's remark records how many cheque lines it
// has ("lines=3"); about every third save reopens a stored slip, as "Edit" in
// the slip list does, and stores it again with another number of lines.
//
// Output, one line each: "ready" once the program runs, "saving" as "Save &&
// Print" is clicked and "saved <sid>" when the save has returned. Any message
// other than the print question ends the program with a description.
#include "Forms.h"
#include "MsgBox.h"
#include "Settings.h"
#include "frmSlip.h"
#include "modData.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "slip_saver: %s\n", qPrintable(why));
    std::exit(2);
}

// Fills the window with a slip of `lines` cheque lines; the others stay empty.
void fillSlip(frmSlip& form, int lines, QRandomGenerator& random) {
    static const QStringList banks{"HDFC Bank", "Canara Bank", "State Bank", "Axis Bank"};
    static const QStringList cities{"Mumbai", "Pune", "Thane"};
    form.cmbAcc->setEditText(QStringLiteral("111"));
    form.txtAccName->setText(QStringLiteral("Asha Traders"));
    form.txtBranch->setText(QStringLiteral("Fort"));
    // Dated years back, so the slip list refreshed after each save stays short.
    form.dt->setDate(QDate(2020, 1, 1).addDays(random.bounded(365)));
    form.Text2->setText(QStringLiteral("Ravi"));
    form.Text3->setPlainText(QStringLiteral("lines=%1").arg(lines));
    for (int i = 0; i < 5; ++i) {
        form.Text1[i]->setText(i < lines ? QString::number(100000 + random.bounded(900000)) : QString());
        form.Bank[i]->setEditText(banks[random.bounded(banks.size())]);
        form.City[i]->setEditText(cities[random.bounded(cities.size())]);
        form.Amount[i]->setText(QString::number(1 + random.bounded(99999)) + QStringLiteral(".50"));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3)
        fail(QStringLiteral("usage: slip_saver FOLDER SEED"));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    setApplicationFolder(folder);
    Settings::useFile(folder + QStringLiteral("/settings.ini"));
    MsgBox::setTestMode(true);
    setConnectionFailureHandler([](const QString& message) { fail(message); });
    QRandomGenerator random(QString::fromLocal8Bit(argv[2]).toUInt());

    std::vector<QString> saved;
    say(QStringLiteral("ready"));
    for (;;) {
        frmSlip& form = Forms::get<frmSlip>();
        if (!saved.empty() && random.bounded(3) == 0) {
            form.lblRef->setText(saved[random.bounded(static_cast<quint32>(saved.size()))]);
            form.getData();
        }
        fillSlip(form, 1 + random.bounded(5), random);

        MsgBox::clearShown();
        MsgBox::setNextAnswer(MsgBox::Button::No); // the window then reopens for the next slip
        QPointer<frmSlip> window(&form);
        say(QStringLiteral("saving"));
        form.Command2->click();
        if (MsgBox::shown().size() != 1 || MsgBox::shown()[0].text != QLatin1String("Do you want to print"))
            fail(QStringLiteral("the save showed \"%1\"")
                     .arg(MsgBox::shown().isEmpty() ? QString() : MsgBox::shown().back().text));
        // The closed window is deleted only below, so its key is still readable.
        const QString sid = window->lblRef->text();
        say(QStringLiteral("saved ") + sid);
        saved.push_back(sid);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
