#include "Amount.h"
#include "DbError.h"
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

// A line's amount as stored: exact hundredths, never a float that prints a paisa off.
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

void frmSlip::getDet() {
    // In the order the lines were stored, which is slot order.
    m_rs.Open(QStringLiteral("select * From tblslipDetails where sid=? order by sdid"), g_Connection,
              {slipKey()});
    // A sixth or later stored line has no slot: it is left out.
    for (int i = 0; i < 5 && !m_rs.atEnd(); ++i, m_rs.MoveNext()) {
        Text1[i]->setText(m_rs.FieldText(2));
        chqDate[i]->setDate(storedDate(m_rs.FieldText(3)));
        Bank[i]->setEditText(m_rs.FieldText(4));
        City[i]->setEditText(m_rs.FieldText(5));
        const QVariant amount = m_rs.Fields(6);
        setAmountText(i, amount.isNull() ? QString() : Amount::format(amount.toDouble()));
    }
}

void frmSlip::addDet(qint32 sid) {
    m_rs.Open(QStringLiteral("select * From tblslipDetails where sdid=1"), g_Connection);
    for (int i = 0; i < 5; ++i) {
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
    double total = 0;
    for (const QLineEdit* amount : Amount)
        total += Amount::leadingNumber(amount->text());
    lbTot->setText(Amount::format(total));
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
