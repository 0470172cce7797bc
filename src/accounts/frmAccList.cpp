#include "frmAccList.h"
#include "Controls.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "MsgBox.h"
#include "Transaction.h"
#include "WindowHelpers.h"
#include "frmAcc.h"
#include "modData.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Why an account that slips carry is kept: every stored slip must stay printable.
QString deletionRefused(const QString& accountNumber, int slips) {
    const QString carried = slips == 1 ? QStringLiteral("1 stored slip carries")
                                       : QStringLiteral("%1 stored slips carry").arg(slips);
    return QStringLiteral("The account %1 cannot be deleted: %2 its account number.\r\n"
                          "To stop using the account, open it with \"Edit\" and untick \"Active\" instead.")
        .arg(accountNumber, carried);
}

} // namespace

frmAccList::frmAccList() {
    buildControls();
    Form_Load();
}

frmAccList::~frmAccList() = default;

void frmAccList::buildControls() {
    setUpDialogWindow(this, QStringLiteral("frmAccList"), QStringLiteral("Account List"));

    FG = Controls::make<FlexGrid>(this, QStringLiteral("FG"), QStringLiteral("Accounts"));
    FG->setMinimumSize(700, 340);

    Command4 = Controls::button(this, QStringLiteral("Command4"), QStringLiteral("Add New"));
    Command3 = Controls::button(this, QStringLiteral("Command3"), QStringLiteral("Edit"));
    Command2 = Controls::button(this, QStringLiteral("Command2"), QStringLiteral("Delete"));
    Command1 = Controls::button(this, QStringLiteral("Command1"), QStringLiteral("Close"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {Command4, Command3, Command2, Command1})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FG);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command4, &QPushButton::clicked, this, &frmAccList::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &frmAccList::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &frmAccList::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAccList::Command1_Click);
    connect(FG, &FlexGrid::DblClick, this, &frmAccList::FG_DblClick);
}

void frmAccList::Form_Load() {
    Reconnect();
    setFG();
    addFG();
}

void frmAccList::setFG() {
    FG->setCols(5);
    FG->setColWidth(0, 200);
    FG->setColWidth(1, 500);
    FG->setColWidth(2, 2000);
    FG->setColWidth(3, 3000);
    FG->setColWidth(4, 4000);
    FG->setRowHeight(0, 400);
    FG->setTextMatrix(0, 1, QStringLiteral("SN"));
    FG->setTextMatrix(0, 2, QStringLiteral("Account No"));
    FG->setTextMatrix(0, 3, QStringLiteral("Account Name"));
    FG->setTextMatrix(0, 4, QStringLiteral("Branch"));
}

void frmAccList::addFG() {
    setFG();
    // While loading, the window is not shown yet: a failure's box goes over the active one.
    const bool listed = guarded(isVisible() ? this : nullptr, [this] {
        rs = std::make_unique<Recordset>();
        rs->Open(QStringLiteral("SElect * from tblAcc"), g_Connection);
        QVector<QStringList> rows;
        rows.reserve(rs->RecordCount());
        for (int i = 0; i < rs->RecordCount(); ++i) {
            rows.append({rs->FieldText(0), QString::number(rs->AbsolutePosition()), rs->FieldText(1),
                         rs->FieldText(2), rs->FieldText(3)});
            rs->MoveNext();
        }
        FG->fill(rows);
    });
    if (!listed)
        FG->setRows(1);
}

void frmAccList::Command4_Click() {
    showOwned(&Forms::get<frmAcc>(), parentWidget());
}

void frmAccList::Command3_Click() {
    const QString key = FG->selectedKey();
    if (key.isEmpty())
        return;
    frmAcc& master = Forms::get<frmAcc>();
    if (!mayDiscardInput(&master))
        return;
    const QString previousKey = master.lblRef->text();
    master.lblRef->setText(key);
    if (!master.getData()) {
        // Keep an open master consistent with the fields it still shows.
        master.lblRef->setText(previousKey);
        if (!master.isVisible())
            master.close();
        return;
    }
    showOwned(&master, parentWidget());
}

void frmAccList::FG_DblClick() {
    Command3_Click();
}

frmAccList::AccountUse frmAccList::accountUse(int key) {
    rs = std::make_unique<Recordset>();
    rs->Open(QStringLiteral("Select * from tblAcc where id=?"), g_Connection, {key});
    if (rs->RecordCount() < 1)
        return {};
    // The stored number counts, not the list's copy: the list may be older.
    AccountUse use{true, rs->FieldText(1), 0};
    rs = std::make_unique<Recordset>();
    rs->Open(QStringLiteral("Select count(*) from tblSlip where accno=?"), g_Connection, {use.number});
    use.slips = rs->Fields(0).toInt();
    return use;
}

void frmAccList::Command2_Click() {
    const QString key = FG->selectedKey();
    if (key.isEmpty())
        return;
    const int id = key.toInt();
    bool refresh = false;
    guarded(this, [&] {
        AccountUse use = accountUse(id);
        if (use.exists && use.slips == 0) {
            if (MsgBox::show(QStringLiteral("Do you want to delete the account"), MsgBox::Buttons::YesNo,
                             MsgBox::Button::No, this) != MsgBox::Button::Yes)
                return;
            Transaction transaction(g_Connection);
            // Looked at again under the write lock: while the question was open, another
            // copy of the program may have stored a slip for the account.
            use = accountUse(id);
            if (use.exists && use.slips == 0) {
                rs = std::make_unique<Recordset>();
                rs->Open(QStringLiteral("Delete from tblAcc where id=?"), g_Connection, {id});
            }
            transaction.commit();
        }
        if (use.slips > 0) {
            MsgBox::show(deletionRefused(use.number, use.slips), MsgBox::Buttons::Ok, MsgBox::Button::Ok,
                         this);
            return;
        }
        refresh = true;
    });
    if (refresh)
        addFG();
}

void frmAccList::Command1_Click() {
    close();
}
