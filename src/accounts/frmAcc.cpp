#include "frmAcc.h"
#include "Controls.h"
#include "DbError.h"
#include "Transaction.h"
#include "WindowHelpers.h"
#include "modData.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSelectAccount = QStringLiteral("Select * from tblAcc where id=?");

// The key in lblRef goes into SQL only as a whole number.
int accountKey(const QString& text) {
    bool ok = false;
    const int key = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("The account key \"%1\" is not a whole number.").arg(text));
    return key;
}

// The "Active" box's value as stored: 0 not ticked, 1 ticked, 2 greyed
// (Qt counts a greyed box 1 and a ticked one 2).
int activeValue(Qt::CheckState state) {
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

// The stored active flag as the box shows it; an empty flag counts as not ticked.
Qt::CheckState activeState(const QVariant& stored) {
    const QString text = stored.isNull() ? QString() : stored.toString().trimmed();
    if (text.isEmpty())
        return Qt::Unchecked;
    bool ok = false;
    const int value = text.toInt(&ok);
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked}) {
        if (ok && value == activeValue(state))
            return state;
    }
    throw DbError(QStringLiteral("The stored active flag \"%1\" is not 0, 1 or 2.").arg(text));
}

} // namespace

frmAcc::frmAcc() {
    buildControls();
    Form_Load();
}

frmAcc::~frmAcc() = default;

void frmAcc::buildControls() {
    setUpDialogWindow(this, QStringLiteral("frmAcc"), QStringLiteral("Account Master"));

    const QStringList captions = {QStringLiteral("Account Number"), QStringLiteral("Account Name"),
                                  QStringLiteral("Branch")};
    Text1 = Controls::make<QLineEdit>(this, QStringLiteral("Text1"));
    Text2 = Controls::make<QLineEdit>(this, QStringLiteral("Text2"));
    Text3 = Controls::make<QLineEdit>(this, QStringLiteral("Text3"));
    const std::array<QLineEdit*, 3> texts = {Text1, Text2, Text3};

    auto* fields = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        Label1[i] = Controls::make<QLabel>(this, Controls::arrayName(QStringLiteral("Label1"), i));
        Label1[i]->setText(captions[i]);
        Controls::caption(Label1[i], texts[i]);
        texts[i]->setMinimumWidth(260);
        fields->addWidget(Label1[i], i, 0);
        fields->addWidget(texts[i], i, 1);
    }
    Check1 = Controls::make<QCheckBox>(this, QStringLiteral("Check1"), QStringLiteral("Active"));
    Check1->setText(QStringLiteral("Active"));
    // A new account starts active.
    Check1->setChecked(true);
    fields->addWidget(Check1, 3, 1);

    lblRef = Controls::make<QLabel>(this, QStringLiteral("lblRef"), QStringLiteral("Account key"));
    lblRef->hide();

    Command2 = Controls::button(this, QStringLiteral("Command2"), QStringLiteral("Save"));
    Command1 = Controls::button(this, QStringLiteral("Command1"), QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command2);
    setTabOrder(Command2, Command1);
    setTabOrder(Command1, Check1);

    connect(Command2, &QPushButton::clicked, this, &frmAcc::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAcc::Command1_Click);
}

void frmAcc::Form_Load() {
    Reconnect();
    markInputStored();
}

QStringList frmAcc::inputState() const {
    return {Text1->text(), Text2->text(), Text3->text(), QString::number(Check1->checkState())};
}

void frmAcc::closeEvent(QCloseEvent* event) {
    if (!m_closeWithoutAsking && !mayDiscardInput(this))
        event->ignore();
}

bool frmAcc::getData() {
    return guarded(this, [this] {
        const int key = accountKey(lblRef->text());
        rs = std::make_unique<Recordset>();
        rs->Open(kSelectAccount, g_Connection, {key});
        if (rs->RecordCount() < 1)
            return;
        // Everything is read before anything is shown, so a failure changes no field.
        const QString number = rs->FieldText(1);
        const QString name = rs->FieldText(2);
        const QString branch = rs->FieldText(3);
        const Qt::CheckState active = activeState(rs->Fields(4));
        Text1->setText(number);
        Text2->setText(name);
        Text3->setText(branch);
        Check1->setCheckState(active);
        markInputStored();
    });
}

void frmAcc::saveData() {
    writeAccount([this] {
        rs->Open(QStringLiteral("Select * from tblAcc"), g_Connection);
        rs->AddNew();
        return true;
    });
}

void frmAcc::updateData() {
    writeAccount([this] {
        rs->Open(kSelectAccount, g_Connection, {accountKey(lblRef->text())});
        // The account was deleted meanwhile: nothing to write, the window stays.
        return rs->RecordCount() > 0;
    });
}

void frmAcc::writeAccount(const std::function<bool()>& openRow) {
    bool written = false;
    guarded(this, [&] {
        rs = std::make_unique<Recordset>();
        Transaction transaction(g_Connection);
        if (!openRow())
            return;
        rs->SetField(1, Text1->text());
        rs->SetField(2, Text2->text());
        rs->SetField(3, Text3->text());
        rs->SetField(4, activeValue(Check1->checkState()));
        rs->Update();
        transaction.commit();
        written = true;
    });
    if (written) {
        m_closeWithoutAsking = true;
        close();
    }
}

void frmAcc::Command2_Click() {
    // "0" is a key like any other; only empty text means a new account.
    if (lblRef->text().isEmpty())
        saveData();
    else
        updateData();
}

void frmAcc::Command1_Click() {
    // "Close" discards what was typed without a question.
    m_closeWithoutAsking = true;
    close();
}
