#include "frmSlip.h"
#include "Amount.h"
#include "AutoCompleteHook.h"
#include "ChequeNumber.h"
#include "Controls.h"
#include "DatePicker.h"
#include "DesignLayout.h"
#include "Settings.h"
#include "WindowHelpers.h"
#include "modData.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTextDocument>

// The window: controls, focus order, load step, lookups and the fields that
// rewrite or remember their text when the focus leaves them.

namespace {

const QString kSettingsApp = QStringLiteral("slip");
const QString kSettingsSection = QStringLiteral("printed");
const QString kSettingsKey = QStringLiteral("name");

// Cheque line i stands at y = 40 + 24 i inside the frame.
constexpr int kFirstLineY = 40;
constexpr int kLinePitch = 24;

QLabel* addLabel(QWidget* parent, const DesignLayout& layout, const QString& name, const QString& text,
                 const QRect& design) {
    auto* label = Controls::make<QLabel>(parent, name);
    label->setText(text);
    layout.place(label, design.x(), design.y(), design.width(), design.height());
    return label;
}

// A label that captions an input: its buddy, and the input's accessible name.
struct Caption {
    const char* name;
    const char* text;
    QRect design;
    QWidget* input;
};

void addCaption(QWidget* parent, const DesignLayout& layout, const Caption& caption) {
    QLabel* label =
        addLabel(parent, layout, QLatin1String(caption.name), QLatin1String(caption.text), caption.design);
    Controls::caption(label, caption.input);
}

} // namespace

frmSlip::frmSlip(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmSlip"));
    setWindowTitle(QStringLiteral("Print Slip"));
    setFont(DesignLayout::designFont());
    createControls();
    setFocusOrder();
    cmbAcc->setFocus();
    Form_Load();
}

void frmSlip::createControls() {
    const DesignLayout layout(font());
    setFixedSize(layout.scaled(659), layout.scaled(384));
    createHeader(layout);
    auto* frame = Controls::make<QFrame>(this, QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    layout.place(frame, 8, 80, 641, 169);
    createChequeLines(layout, frame);
    createFooter(layout);
}

void frmSlip::createHeader(const DesignLayout& layout) {
    cmbAcc = Controls::make<QComboBox>(this, QStringLiteral("cmbAcc"));
    installAutoComplete(cmbAcc);
    setCmbAccTag(QString());
    connect(cmbAcc, &QComboBox::activated, this, &frmSlip::cmbAcc_Click);
    layout.place(cmbAcc, 112, 24, 225, 22);
    txtAccName = Controls::make<QLineEdit>(this, QStringLiteral("txtAccName"));
    layout.place(txtAccName, 112, 48, 281, 21);
    txtSno = Controls::make<QLineEdit>(this, QStringLiteral("txtSno"));
    layout.place(txtSno, 552, 0, 97, 21);
    // A number the operator types is theirs: it is never changed for them.
    connect(txtSno, &QLineEdit::textEdited, this, [this] { m_proposedSerial.clear(); });
    txtBranch = Controls::make<QLineEdit>(this, QStringLiteral("txtBranch"));
    layout.place(txtBranch, 552, 24, 97, 21);
    dt = Controls::make<DatePicker>(this, QStringLiteral("dt"));
    layout.placeFitting(dt, 552, 48, 97, 21);

    const std::array<Caption, 5> captions{{
        {"Label1_0", "Select Account", {16, 24, 105, 21}, cmbAcc},
        {"Label1_1", "Account Name", {16, 48, 97, 21}, txtAccName},
        {"Label3", "Sr. No", {448, 0, 105, 17}, txtSno},
        {"Label1_3", "Branch", {448, 24, 105, 21}, txtBranch},
        {"Label1_2", "Date", {448, 48, 105, 21}, dt},
    }};
    for (const Caption& caption : captions)
        addCaption(this, layout, caption);

    // The slip key: never shown to the operator.
    lblRef = Controls::make<QLabel>(this, QStringLiteral("lblRef"), QStringLiteral("Slip key"));
    layout.place(lblRef, 8, 16, 1, 9);
    lblRef->hide();
}

void frmSlip::createChequeLines(const DesignLayout& layout, QFrame* frame) {
    struct Column {
        QString heading;
        int x;
        int width;
    };
    const std::array<Column, 5> columns{{{QStringLiteral("Cheque No"), 8, 81},
                                         {QStringLiteral("Cheque Date"), 96, 81},
                                         {QStringLiteral("Drawn Bank"), 184, 217},
                                         {QStringLiteral("City"), 408, 129},
                                         {QStringLiteral("Amount "), 544, 89}}};
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const QString name = Controls::arrayName(QStringLiteral("Label2"), c);
        QLabel* heading =
            addLabel(frame, layout, name, columns[c].heading, {columns[c].x, 16, columns[c].width, 17});
        if (c == 4)
            heading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    // Each line's controls are named with their line: "Drawn Bank, line 2".
    auto accessible = [&](int column, int line) {
        return columns[column].heading.trimmed() + QStringLiteral(", line ") + QString::number(line + 1);
    };
    m_bankList = new QStringListModel(this);
    m_cityList = new QStringListModel(this);
    for (int i = 0; i < kChequeLines; ++i) {
        const int y = kFirstLineY + kLinePitch * i;
        Text1[i] = Controls::make<QLineEdit>(frame, Controls::arrayName(QStringLiteral("Text1"), i),
                                             accessible(0, i));
        layout.place(Text1[i], 8, y, 81, 21);
        Text1[i]->installEventFilter(this);

        chqDate[i] = Controls::make<DatePicker>(frame, Controls::arrayName(QStringLiteral("chqDate"), i),
                                                accessible(1, i));
        layout.placeFitting(chqDate[i], 96, y, 81, 21);

        Bank[i] = Controls::make<QComboBox>(frame, Controls::arrayName(QStringLiteral("Bank"), i),
                                            accessible(2, i));
        installAutoComplete(Bank[i]);
        Bank[i]->setModel(m_bankList);
        layout.place(Bank[i], 184, y, 217, 22);

        City[i] = Controls::make<QComboBox>(frame, Controls::arrayName(QStringLiteral("City"), i),
                                            accessible(3, i));
        installAutoComplete(City[i]);
        City[i]->setModel(m_cityList);
        layout.place(City[i], 408, y, 129, 22);

        Amount[i] = Controls::make<QLineEdit>(frame, Controls::arrayName(QStringLiteral("Amount"), i),
                                              accessible(4, i));
        Amount[i]->setAlignment(Qt::AlignRight);
        setAmountText(i, QStringLiteral("0.00"));
        layout.place(Amount[i], 544, y, 89, 21);
        Amount[i]->installEventFilter(this);
        connect(Amount[i], &QLineEdit::textChanged, this, [this, i] { Amount_Change(i); });
    }
}

void frmSlip::createFooter(const DesignLayout& layout) {
    Text2 = Controls::make<QLineEdit>(this, QStringLiteral("Text2"));
    layout.place(Text2, 104, 256, 177, 21);
    addCaption(this, layout, {"Label4", "Deposited By", {8, 256, 97, 17}, Text2});
    Text2->installEventFilter(this);

    lbTot = Controls::make<QLabel>(this, QStringLiteral("lbTot"), QStringLiteral("Total"));
    QFont bold = font();
    bold.setBold(true);
    lbTot->setFont(bold);
    lbTot->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout.place(lbTot, 512, 256, 129, 17);

    Text3 = Controls::make<QPlainTextEdit>(this, QStringLiteral("Text3"), QStringLiteral("Remarks"));
    Text3->setTabChangesFocus(true);
    Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text3->document()->setDocumentMargin(2); // two lines of text fit the box
    layout.place(Text3, 8, 288, 281, 33);

    auto* strip = Controls::make<QFrame>(this, QStringLiteral("Picture1"));
    strip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    layout.place(strip, 0, 327, 659, 57);
    Command2 = Controls::button(strip, QStringLiteral("Command2"), QStringLiteral("Save && Print"));
    layout.place(Command2, 384, 16, 129, 25);
    Command1 = Controls::button(strip, QStringLiteral("Command1"), QStringLiteral("Close"));
    layout.place(Command1, 520, 16, 129, 25);
    // Enter on a focused button presses it, as Space does.
    Command1->setAutoDefault(true);
    Command2->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmSlip::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmSlip::Command2_Click);
}

void frmSlip::setFocusOrder() {
    QList<QWidget*> order{cmbAcc, txtAccName, txtBranch, dt};
    for (int i = 0; i < kChequeLines; ++i)
        order << Text1[i] << chqDate[i] << Bank[i] << City[i] << Amount[i];
    order << Command2 << Command1 << txtSno << Text2 << Text3 << cmbAcc;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmSlip::Form_Load() {
    Text2->setText(Settings::GetSetting(kSettingsApp, kSettingsSection, kSettingsKey, QString()));
    dt->setDate(QDate::currentDate());
    Reconnect();
    guarded(this, [this] { addAcc(); });
    for (QDateEdit* picker : chqDate)
        picker->setDate(QDate::currentDate());
    guarded(this, [this] { addBanks(); });
    guarded(this, [this] { addcity(); });
    guarded(this, [this] { getSNo(); });
    markInputStored();
}

QStringList frmSlip::inputState() const {
    QStringList state{cmbAcc->currentText(),
                      txtAccName->text(),
                      txtBranch->text(),
                      txtSno->text(),
                      dt->date().toString(Qt::ISODate),
                      Text2->text(),
                      Text3->toPlainText()};
    for (int i = 0; i < kChequeLines; ++i)
        state << Text1[i]->text() << chqDate[i]->date().toString(Qt::ISODate) << Bank[i]->currentText()
              << City[i]->currentText() << Amount[i]->text();
    return state;
}

void frmSlip::closeEvent(QCloseEvent* event) {
    if (!m_closeWithoutAsking && !mayDiscardInput(this))
        event->ignore();
}

void frmSlip::closeWithoutAsking() {
    m_closeWithoutAsking = true;
    close();
}

void frmSlip::getSNo() {
    m_rs.Open(QStringLiteral("Select max(Sno) from tblSlip"), g_Connection);
    const QString highest = m_rs.atEnd() ? QString() : m_rs.FieldText(0);
    m_proposedSerial =
        highest.isEmpty() ? QStringLiteral("0") : QString::number(Amount::leadingNumber(highest) + 1, 'f', 0);
    txtSno->setText(m_proposedSerial);
}

void frmSlip::addAcc() {
    m_rs.Open(QStringLiteral("Select * From tblAcc where active='1'"), g_Connection);
    QStringList numbers;
    for (; !m_rs.atEnd(); m_rs.MoveNext())
        numbers << m_rs.FieldText(1);
    cmbAcc->addItems(numbers);
    cmbAcc->setCurrentIndex(-1); // filling the list leaves the text empty
}

namespace {

// Every distinct value of a cheque line column, as "Select distinct <column> from
// tblslipdetails" lists them through the column's index (ascending), found with
// one index seek per value - each step asks for the next larger value - rather
// than reading all the lines. NULL, which the distinct list would add, is left
// out; the combos leave empty values out anyway.
QString distinctLineValues(const QString& column) {
    return QStringLiteral(
               "WITH RECURSIVE v(x) AS (SELECT min(%1) FROM tblSlipDetails UNION ALL "
               "SELECT (SELECT min(%1) FROM tblSlipDetails WHERE %1 > v.x) FROM v WHERE v.x IS NOT NULL) "
               "SELECT x FROM v WHERE x IS NOT NULL")
        .arg(column);
}

// The values of the one-column result, empty ones left out, become the list
// of every combo of the column: one list the five combos share, as they offer
// the same names and never change them (typing adds nothing to a list).
void fillCombos(Recordset& rs, QStringListModel* list,
                const std::array<QComboBox*, frmSlip::kChequeLines>& combos) {
    QStringList values;
    values.reserve(rs.RecordCount());
    for (; !rs.atEnd(); rs.MoveNext()) {
        QString value = rs.FieldText(0);
        if (!value.isEmpty())
            values << std::move(value);
    }
    list->setStringList(values);
    for (QComboBox* combo : combos)
        combo->setCurrentIndex(-1);
}

} // namespace

void frmSlip::addBanks() {
    m_rs.Open(distinctLineValues(QStringLiteral("bank")), g_Connection);
    fillCombos(m_rs, m_bankList, Bank);
}

void frmSlip::addcity() {
    m_rs.Open(distinctLineValues(QStringLiteral("city")), g_Connection);
    fillCombos(m_rs, m_cityList, City);
}

QString frmSlip::cmbAccTag() const {
    return cmbAcc->property("Tag").toString();
}

void frmSlip::setCmbAccTag(const QString& tag) {
    cmbAcc->setProperty("Tag", tag);
}

bool frmSlip::findAccount(Recordset& rs) {
    rs.Open(QStringLiteral("Select * from tblacc where accno=?"), g_Connection, {cmbAcc->currentText()});
    if (rs.atEnd())
        return false;
    setCmbAccTag(rs.FieldText(0));
    return true;
}

void frmSlip::cmbAcc_Click() {
    guarded(this, [this] {
        setCmbAccTag(QStringLiteral("0"));
        if (!findAccount(m_rs))
            return;
        txtAccName->setText(m_rs.FieldText(2));
        txtBranch->setText(m_rs.FieldText(3));
    });
}

void frmSlip::getAccTag() {
    findAccount(m_rsTag);
}

void frmSlip::Text1_LostFocus(int Index) {
    const QString filled = zeroFillChequeNo(Text1[Index]->text());
    if (filled != Text1[Index]->text())
        Text1[Index]->setText(filled);
}

void frmSlip::Text2_LostFocus() {
    Settings::SaveSetting(kSettingsApp, kSettingsSection, kSettingsKey, Text2->text());
}

bool frmSlip::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Switching to another program or opening a menu is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (watched == Text2)
            Text2_LostFocus();
        for (int i = 0; i < kChequeLines; ++i) {
            if (watched == Text1[i])
                Text1_LostFocus(i);
        }
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < kChequeLines; ++i) {
            if (watched != Amount[i])
                continue;
            // The box's own focus handling may select everything; the selection
            // runs from where the caret stood.
            const int caret = Amount[i]->cursorPosition();
            watched->event(event);
            Amount[i]->setCursorPosition(caret);
            Amount_GotFocus(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
