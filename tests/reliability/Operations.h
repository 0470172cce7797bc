#pragma once
// The writes a person makes, each set up in its window on a fresh database and
// run by the click that stores it: what the fault and second-process tests
// make fail, and then check nothing was lost.
#include "../slips/SlipWindowTesting.h"
#include "FlexGrid.h"
#include "GridTesting.h"
#include "frmAcc.h"
#include "frmAccList.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QCheckBox>
#include <QDate>
#include <QPointer>
#include <functional>

namespace Operations {

enum class Kind { NewSlip, UpdatedSlip, DeletedSlip, NewAccount, EditedAccount, DeletedAccount };

inline const char* name(Kind kind) {
    switch (kind) {
    case Kind::NewSlip:
        return "new slip";
    case Kind::UpdatedSlip:
        return "stored slip saved again";
    case Kind::DeletedSlip:
        return "slip deleted from the list";
    case Kind::NewAccount:
        return "new account";
    case Kind::EditedAccount:
        return "edited account";
    case Kind::DeletedAccount:
        return "account deleted from the list";
    }
    return "";
}

// One data row per kind of write, named after it, in the column "kind".
inline void addRows(std::initializer_list<Kind> kinds = {Kind::NewSlip, Kind::UpdatedSlip, Kind::DeletedSlip,
                                                         Kind::NewAccount, Kind::EditedAccount,
                                                         Kind::DeletedAccount}) {
    QTest::addColumn<Kind>("kind");
    for (Kind kind : kinds)
        QTest::newRow(name(kind)) << kind;
}

// A stored slip dated today with two cheque lines; returns its key.
inline int storeTodaysSlip(TestEnv& env) {
    env.exec(QStringLiteral("INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
                            "VALUES (7, '111', 'Asha Traders', 'Fort', '%1', 'Ravi', 'kept')")
                 .arg(QDate::currentDate().toString(Qt::ISODate)));
    const int sid = env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toInt();
    env.exec(QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) VALUES "
                            "(%1, '000101', '2024-01-02', 'Canara', 'Thane', 100), "
                            "(%1, '000102', '2024-01-03', 'HDFC', 'Pune', 250.5)")
                 .arg(sid));
    return sid;
}

// One write, ready in its window: run() clicks it, with the answer its
// question needs queued; contents() is what the window shows.
class Operation {
public:
    // beforeWindows runs once the data is stored, before any window opens.
    Operation(TestEnv& env, Kind kind, const std::function<void()>& beforeWindows = {}) : m_kind(kind) {
        env.createDatabase();
        env.addAccount(QStringLiteral("111"), QStringLiteral("Asha Traders"), QStringLiteral("Fort"));
        const int otherAccount =
            env.addAccount(QStringLiteral("222"), QStringLiteral("Vinod Stores"), QStringLiteral("Vashi"));
        const int storedSlip = storeTodaysSlip(env);
        if (beforeWindows)
            beforeWindows();
        switch (kind) {
        case Kind::NewSlip:
            m_slip = SlipTesting::openSlip();
            fillSlip();
            break;
        case Kind::UpdatedSlip:
            m_slip = SlipTesting::openSlip();
            if (m_slip) {
                // As "Edit" in the slip list opens it.
                m_slip->lblRef->setText(QString::number(storedSlip));
                m_slip->getData();
            }
            fillSlip();
            break;
        case Kind::DeletedSlip:
            Reconnect(); // as the main window does at start: the list opens no connection
            m_slipList = &Forms::get<frmSlipList>();
            showActive(m_slipList);
            QTest::mouseClick(m_slipList->FG->viewport(), Qt::LeftButton, {},
                              m_slipList->FG->cellRect(1, 3).center());
            break;
        case Kind::NewAccount:
        case Kind::EditedAccount:
            m_account = &Forms::get<frmAcc>();
            if (kind == Kind::EditedAccount) {
                m_account->lblRef->setText(QString::number(otherAccount));
                m_account->getData();
            }
            showActive(m_account);
            SlipTesting::fill(m_account->Text1, QStringLiteral("333"));
            SlipTesting::fill(m_account->Text2, QStringLiteral("Typed Name"));
            QTest::keyClick(m_account->Check1, Qt::Key_Space);
            break;
        case Kind::DeletedAccount:
            m_accountList = &Forms::get<frmAccList>();
            showActive(m_accountList);
            QTest::mouseClick(m_accountList->FG->viewport(), Qt::LeftButton, {},
                              m_accountList->FG->cellRect(2, 3).center());
            break;
        }
    }

    // The window is open and ready (false when it could not be shown).
    bool ready() const { return m_slip || m_slipList || m_account || m_accountList; }

    void run() {
        switch (m_kind) {
        case Kind::NewSlip:
        case Kind::UpdatedSlip:
            MsgBox::setNextAnswer(MsgBox::Button::No); // print: no; the window reopens empty
            SlipTesting::click(m_slip->Command2);
            break;
        case Kind::DeletedSlip:
            MsgBox::setNextAnswer(MsgBox::Button::Yes);
            SlipTesting::click(m_slipList->Command2);
            break;
        case Kind::NewAccount:
        case Kind::EditedAccount:
            SlipTesting::click(m_account->Command2);
            break;
        case Kind::DeletedAccount:
            MsgBox::setNextAnswer(MsgBox::Button::Yes);
            SlipTesting::click(m_accountList->Command2);
            break;
        }
    }

    // The questions a successful run asks.
    QStringList questions() const {
        switch (m_kind) {
        case Kind::NewSlip:
        case Kind::UpdatedSlip:
            return {QStringLiteral("Do you want to print")};
        case Kind::DeletedSlip:
            return {QStringLiteral("Do you want to delete the entry")};
        case Kind::DeletedAccount:
            return {QStringLiteral("Do you want to delete the account")};
        case Kind::NewAccount:
        case Kind::EditedAccount:
            break;
        }
        return {};
    }

    QStringList contents() const {
        if (m_slip)
            return SlipTesting::snapshot(*m_slip);
        if (m_slipList)
            return gridRows(m_slipList->FG);
        if (m_account)
            return {m_account->lblRef->text(), m_account->Text1->text(), m_account->Text2->text(),
                    m_account->Text3->text(), QString::number(m_account->Check1->checkState())};
        return gridRows(m_accountList->FG);
    }

    // The window is still open, as a failed write leaves it.
    bool stillOpen() const {
        for (const QWidget* window :
             {static_cast<QWidget*>(m_slip), static_cast<QWidget*>(m_slipList),
              static_cast<QWidget*>(m_account), static_cast<QWidget*>(m_accountList)}) {
            if (window)
                return window->isVisible();
        }
        return false;
    }

private:
    void fillSlip() {
        if (!m_slip)
            return;
        SlipTesting::chooseFromList(m_slip->cmbAcc, QStringLiteral("111"));
        SlipTesting::fillLine(*m_slip, 0, QStringLiteral("123"), QStringLiteral("HDFC Bank"),
                              QStringLiteral("Mumbai"), QStringLiteral("500"));
        SlipTesting::fillLine(*m_slip, 1, QStringLiteral("124"), QString(), QString(), QStringLiteral("20"));
        SlipTesting::fillLine(*m_slip, 2, QStringLiteral("125"), QString(), QString(),
                              QStringLiteral("30.25"));
        SlipTesting::fill(m_slip->Text2, QStringLiteral("Meena"));
        m_slip->Command2->setFocus();
    }

    Kind m_kind;
    // Guarded: a write that succeeds may close its window.
    QPointer<frmSlip> m_slip;
    QPointer<frmSlipList> m_slipList;
    QPointer<frmAcc> m_account;
    QPointer<frmAccList> m_accountList;
};

// The statements one successful run of the write sends, up to and including
// its COMMIT (what follows the commit - refreshing a list, reopening a window -
// no longer decides what is stored).
inline QStringList statementsOfOneRun(Kind kind) {
    TestEnv env;
    Operation operation(env, kind);
    if (!operation.ready())
        return {};
    auto statements = std::make_shared<QStringList>();
    Connection::setFaultInjector([statements](const QString& sql) {
        statements->append(sql);
        return false;
    });
    operation.run();
    Connection::setFaultInjector({});
    if (shownTexts() != operation.questions())
        return {};
    const qsizetype commit = statements->indexOf(QStringLiteral("COMMIT"));
    return commit < 0 ? QStringList() : statements->mid(0, commit + 1);
}

} // namespace Operations
