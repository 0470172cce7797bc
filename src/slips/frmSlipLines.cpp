#include "Amount.h"
#include "Controls.h"
#include "DbError.h"
#include "MsgBox.h"
#include "frmSlip.h"
#include "modData.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

// The five cheque line slots as a group: loading, storing and removing a
// slip's lines, and the running total. A slot is in use when its cheque
// number is not the empty text.

namespace {

// A line's amount as stored: exact hundredths, never a float that prints a paisa
// off, and never 0 for text that is no amount.
double storedAmount(const QString& text, int slot) {
    const std::optional<qint64> cents = Amount::parseCents(text);
    if (!cents)
        throw DbError(QStringLiteral("Line %1: \"%2\" is not a valid amount.").arg(slot + 1).arg(text));
    return Amount::centsToValue(*cents);
}

} // namespace

QDate frmSlip::storedDate(const QString& text) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw DbError(QStringLiteral("\"%1\" is not a stored date.").arg(text));
    return date;
}

std::vector<frmSlip::StoredLine> frmSlip::readLines(qint32 sid) {
    // In the order the lines were stored, which is slot order.
    m_rs.Open(QStringLiteral("select * From tblslipDetails where sid=? order by sdid"), g_Connection, {sid});
    std::vector<StoredLine> lines;
    for (; !m_rs.atEnd(); m_rs.MoveNext()) {
        const QVariant amount = m_rs.Fields(6);
        const std::optional<qint64> cents = Amount::storedCents(amount);
        lines.push_back({m_rs.FieldText(2), storedDate(m_rs.FieldText(3)), m_rs.FieldText(4),
                         m_rs.FieldText(5), cents ? Amount::formatCents(*cents) : m_rs.FieldText(6)});
    }
    return lines;
}

void frmSlip::showLines(const std::vector<StoredLine>& lines) {
    m_storedLines = static_cast<int>(lines.size());
    for (int i = 0; i < kChequeLines; ++i) {
        // A slot the slip does not fill is a fresh slot, as when the window loads.
        const StoredLine line =
            i < m_storedLines ? lines[i] : StoredLine{{}, QDate::currentDate(), {}, {}, "0.00"};
        Text1[i]->setText(line.chequeNo);
        chqDate[i]->setDate(line.date);
        Bank[i]->setEditText(line.bank);
        City[i]->setEditText(line.city);
        setAmountText(i, line.amount);
    }
    // The total follows every load, also when no amount box changed.
    getTot();
}

void frmSlip::getDet() {
    showLines(readLines(slipKey()));
}

bool frmSlip::refuseSaveOfCutSlip() {
    if (m_storedLines <= kChequeLines)
        return false;
    MsgBox::show(QStringLiteral("This slip has %1 cheque lines, and only %2 can be shown. It cannot be saved "
                                "from this window, so that no line is lost.")
                     .arg(m_storedLines)
                     .arg(kChequeLines),
                 MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
    return true;
}

void frmSlip::addDet(qint32 sid) {
    m_rs.Open(QStringLiteral("select * From tblslipDetails where sdid=1"), g_Connection);
    for (int i = 0; i < kChequeLines; ++i) {
        if (Text1[i]->text().isEmpty())
            continue;
        const double amount = storedAmount(Amount[i]->text(), i);
        m_rs.AddNew();
        m_rs.SetField(1, sid);
        m_rs.SetField(2, Text1[i]->text());
        m_rs.SetField(3, chqDate[i]->date());
        m_rs.SetField(4, Bank[i]->currentText());
        m_rs.SetField(5, City[i]->currentText());
        m_rs.SetField(6, amount);
        m_rs.Update();
    }
}

void frmSlip::deleteDet(qint32 sid) {
    m_rs.Open(QStringLiteral("delete from tblslipdetails where sid=?"), g_Connection, {sid});
}

void frmSlip::getTot() {
    // The amounts as a save reads them; one that is no amount counts as 0.
    qint64 total = 0;
    for (const QLineEdit* amount : Amount)
        total += Amount::parseCents(amount->text()).value_or(0);
    Controls::showFigure(lbTot, QStringLiteral("Total"), Amount::formatCents(total));
}

void frmSlip::Amount_Change(int) {
    getTot();
}

void frmSlip::setAmountText(int slot, const QString& text) {
    Amount[slot]->setText(text);
    // As in a text set by the program, the caret stands at the start: entering
    // the box then selects the whole amount.
    Amount[slot]->setCursorPosition(0);
}

void frmSlip::Amount_GotFocus(int Index) {
    QLineEdit* amount = Amount[Index];
    amount->setSelection(amount->cursorPosition(), static_cast<int>(amount->text().size()));
}
