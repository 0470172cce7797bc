#pragma once
// Helpers for the slip window tests: opening the window, filling its fields the
// way a person does, and snapshots of what the window shows and the database holds.
#include "Forms.h"
#include "KeyTesting.h"
#include "MsgBox.h"
#include "TestEnv.h"
#include "frmSlip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>

namespace SlipTesting {

// The slip window, shown and active; null when it could not be activated.
inline frmSlip* openSlip() {
    frmSlip& form = Forms::get<frmSlip>();
    return showActive(&form) ? &form : nullptr;
}

// Clicks into a field and replaces its text by typing.
inline void fill(QWidget* field, const QString& text) {
    // A click elsewhere closes an open drop-down list first.
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QWidget* target = field;
    if (auto* combo = qobject_cast<QComboBox*>(field))
        target = combo->lineEdit();
    QTest::mouseClick(target, Qt::LeftButton);
    if (qobject_cast<QLineEdit*>(field))
        press(field, Qt::Key_A, Qt::ControlModifier); // select all, typing replaces it
    if (text.isEmpty())
        press(field, Qt::Key_Backspace);
    type(field, text);
}

// Chooses an item from the combo's list by keyboard: F4 opens the list, the
// arrow keys move to the item and Enter picks it.
inline void chooseFromList(QComboBox* combo, const QString& item) {
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    press(combo, Qt::Key_F4);
    const int row = combo->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
    while (combo->view()->currentIndex().row() != row)
        press(combo, combo->view()->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
    press(combo, Qt::Key_Return);
}

inline void click(QPushButton* button) {
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Fills one cheque line; an empty text leaves that field as it is.
inline void fillLine(frmSlip& form, int slot, const QString& chequeNo, const QString& bank,
                     const QString& city, const QString& amount) {
    if (!chequeNo.isNull())
        fill(form.Text1[slot], chequeNo);
    if (!bank.isNull())
        fill(form.Bank[slot], bank);
    if (!city.isNull())
        fill(form.City[slot], city);
    if (!amount.isNull())
        fill(form.Amount[slot], amount);
}

// Clicks "Save && Print" with the answer to "Do you want to print" queued.
inline void saveAndAnswer(frmSlip& form, MsgBox::Button answer) {
    MsgBox::setNextAnswer(answer);
    click(form.Command2);
}

// Everything the window shows, control by control, and the account key.
inline QStringList snapshot(const frmSlip& form) {
    QStringList state;
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        const QString name = widget->objectName() + QLatin1Char('=');
        if (const auto* combo = qobject_cast<const QComboBox*>(widget))
            state << name + combo->currentText() + QLatin1Char('|') + QString::number(combo->count());
        else if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
            state << name + edit->text();
        else if (const auto* date = qobject_cast<const QDateEdit*>(widget))
            state << name + date->date().toString(Qt::ISODate);
        else if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget))
            state << name + text->toPlainText();
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            state << name + label->text();
    }
    state << QStringLiteral("Tag=") + form.cmbAccTag();
    return state;
}

// Every stored row of every table, with the type each value came back as.
inline QStringList dumpDatabase(TestEnv& env) {
    QStringList dump;
    // Each table's rows by key, and the last key each table gave.
    for (const auto& [table, key] :
         {std::pair{"tblAcc", "id"}, {"tblSlip", "sid"}, {"tblSlipDetails", "sdid"}}) {
        for (const QVariantList& values :
             env.rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table))) {
            QStringList row{QLatin1String(table)};
            for (const QVariant& value : values)
                row << QLatin1String(value.typeName()) + QLatin1Char(':') + value.toString();
            dump << row.join(QLatin1Char('|'));
        }
        // A server's key sequences move on outside transactions, by design (keys
        // are never given twice either way); a file's roll back with them.
        if (!TestEnv::onServer())
            dump << QStringLiteral("%1 last key %2")
                        .arg(QLatin1String(table))
                        .arg(env.check()->link().lastKey(QLatin1String(table), QLatin1String(key)));
    }
    return dump;
}

} // namespace SlipTesting
