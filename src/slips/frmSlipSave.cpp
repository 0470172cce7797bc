#include "Amount.h"
#include "DbError.h"
#include "Forms.h"
#include "MsgBox.h"
#include "Transaction.h"
#include "WindowHelpers.h"
#include "frmReport.h"
#include "frmSlip.h"
#include "frmSlipList.h"
#include "modData.h"
#include "modReport.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <limits>

// The two buttons: storing the slip (one transaction for header and lines),
// the print question that ends a save, loading a stored slip and printing it.

namespace {

// The serial number goes into a numeric column: it must be a whole number.
qint64 serialNumber(const QString& text) {
    static const QRegularExpression wholeNumber(QStringLiteral(R"(^\s*[+-]?[0-9]+\s*$)"));
    bool ok = false;
    const qint64 value = wholeNumber.match(text).hasMatch() ? text.trimmed().toLongLong(&ok) : 0;
    if (!ok)
        throw DbError(QStringLiteral("Sr. No: \"%1\" is not a whole number.").arg(text));
    return value;
}

qint32 newSlipKey(const QVariant& key) {
    bool ok = false;
    const qint64 value = key.toLongLong(&ok);
    if (!ok || value < 1 || value > std::numeric_limits<qint32>::max())
        throw DbError(QStringLiteral("The new slip key \"%1\" is out of range.").arg(key.toString()));
    return static_cast<qint32>(value);
}

} // namespace

qint32 slipKeyOf(const QString& text) {
    bool ok = false;
    const qint32 key = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("\"%1\" is not a slip key.").arg(text));
    return key;
}

qint32 frmSlip::slipKey() const {
    return slipKeyOf(lblRef->text());
}

void frmSlip::Command1_Click() {
    // "Close" discards what was typed without a question.
    closeWithoutAsking();
}

void frmSlip::Command2_Click() {
    const QString tagBefore = cmbAccTag();
    if (!guarded(this, [this] { getAccTag(); }))
        return;
    if (cmbAcc->currentText().isEmpty()) {
        MsgBox::show(QStringLiteral("Select an Account first"), MsgBox::Buttons::Ok, MsgBox::Button::Ok,
                     this);
        return;
    }
    if (Text1[0]->text().isEmpty()) {
        MsgBox::show(QStringLiteral("Enter cheque details first"), MsgBox::Buttons::Ok, MsgBox::Button::Ok,
                     this);
        return;
    }
    if (refuseSaveOfCutSlip())
        return;
    if (!storeResolvingConflicts()) {
        setCmbAccTag(tagBefore); // a failed save leaves the window as it was
        return;
    }
    endOfSave();
}

// Another operator may have deleted the slip, or given its proposed serial
// number to a slip of theirs, since this window showed it. Either stops the
// save with nothing stored; the operator decides, and the save runs again.
bool frmSlip::storeResolvingConflicts() {
    const QString keyBefore = lblRef->text();
    const QString serialBefore = txtSno->text();
    for (;;) {
        m_conflict = Conflict::None;
        const bool stored = lblRef->text().isEmpty() ? saveData() : updateData();
        if (stored)
            return true;
        bool again = false;
        switch (m_conflict) {
        case Conflict::None:
            break;
        case Conflict::SlipDeleted:
            again = MsgBox::askYesNo(QStringLiteral("Another user deleted this slip meanwhile; nothing was "
                                                    "stored. Store it as a new slip?"),
                                     this);
            if (again)
                lblRef->clear();
            break;
        case Conflict::SerialTaken:
            // Yes takes the next free number, which is then checked in turn; No
            // makes the proposed number the operator's own choice.
            if (MsgBox::askYesNo(QStringLiteral("Sr. No %1 was given to another slip after this window "
                                                "proposed it. Take %2, the next free number? (No keeps %1.)")
                                     .arg(m_proposedSerial, m_nextFreeSerial),
                                 this)) {
                txtSno->setText(m_nextFreeSerial);
                m_proposedSerial = m_nextFreeSerial;
            } else {
                m_proposedSerial.clear();
            }
            again = true;
            break;
        }
        if (!again) {
            lblRef->setText(keyBefore);
            txtSno->setText(serialBefore);
            return false;
        }
    }
}

void frmSlip::writeHeader() {
    m_rs.SetField(1, serialNumber(txtSno->text()));
    m_rs.SetField(2, cmbAcc->currentText());
    m_rs.SetField(3, txtAccName->text());
    m_rs.SetField(4, txtBranch->text());
    m_rs.SetField(5, dt->date());
    m_rs.SetField(6, Text2->text());
    m_rs.SetField(7, Text3->toPlainText());
}

// Header and lines are stored together or not at all; lblRef names the slip
// only once it is committed, so a failure leaves the window as it was. A
// conflict found inside the transaction stores nothing either.
bool frmSlip::storeSlip(const std::function<std::optional<qint32>()>& writeSlip) {
    std::optional<qint32> sid;
    const bool written = guarded(this, [&] {
        Transaction transaction(g_Connection);
        sid = writeSlip();
        if (sid)
            transaction.commit();
    });
    if (!written || !sid)
        return false;
    lblRef->setText(QString::number(*sid));
    m_proposedSerial.clear();
    markInputStored();
    return true;
}

// The serial number this window proposed (and the operator kept) was stored
// on another slip after the proposal; the next free number is noted.
bool frmSlip::serialTakenMeanwhile() {
    if (m_proposedSerial.isEmpty() || txtSno->text() != m_proposedSerial)
        return false;
    m_rs.Open(QStringLiteral("select count(*) from tblSlip where sno=?"), g_Connection,
              {serialNumber(m_proposedSerial)});
    if (m_rs.Fields(0).toLongLong() == 0)
        return false;
    m_rs.Open(QStringLiteral("Select max(Sno) from tblSlip"), g_Connection);
    m_nextFreeSerial = QString::number(m_rs.Fields(0).toLongLong() + 1);
    return true;
}

bool frmSlip::saveData() {
    return storeSlip([this]() -> std::optional<qint32> {
        if (serialTakenMeanwhile()) {
            m_conflict = Conflict::SerialTaken;
            return std::nullopt;
        }
        m_rs.Open(QStringLiteral("select * from tblslip where sid=1"), g_Connection);
        m_rs.AddNew();
        writeHeader();
        m_rs.Update();
        const qint32 sid = newSlipKey(m_rs.Fields(0));
        addDet(sid);
        return sid;
    });
}

bool frmSlip::updateData() {
    return storeSlip([this]() -> std::optional<qint32> {
        const qint32 sid = slipKey();
        m_rs.Open(QStringLiteral("select * from tblslip where sid=?"), g_Connection, {sid});
        // Lines stored without their slip would be seen nowhere.
        if (m_rs.atEnd()) {
            m_conflict = Conflict::SlipDeleted;
            return std::nullopt;
        }
        writeHeader();
        m_rs.Update();
        deleteDet(sid);
        addDet(sid);
        return sid;
    });
}

// The slip is stored: print it and keep it on screen, or start the next one.
void frmSlip::endOfSave() {
    if (MsgBox::askYesNo(QStringLiteral("Do you want to print"), this)) {
        printPV();
        return;
    }
    refreshSlipList();
    QWidget* owner = parentWidget();
    closeWithoutAsking();
    showOwned(&Forms::get<frmSlip>(), owner);
}

bool frmSlip::getData() {
    return guarded(this, [this] {
        const qint32 sid = slipKey();
        m_rs.Open(QStringLiteral("select * from tblslip where sid=?"), g_Connection, {sid});
        // Lines without their slip would show beside another slip's header.
        if (m_rs.atEnd())
            throw DbError(QStringLiteral("The slip is no longer stored: another user may have deleted it."));
        const QStringList header{m_rs.FieldText(1), m_rs.FieldText(2), m_rs.FieldText(3),
                                 m_rs.FieldText(4), m_rs.FieldText(6), m_rs.FieldText(7)};
        const QDate date = storedDate(m_rs.FieldText(5));
        const std::vector<StoredLine> lines = readLines(sid);

        txtSno->setText(header[0]);
        // Only the text: the stored name and branch stay, the account key is not looked up.
        cmbAcc->setEditText(header[1]);
        txtAccName->setText(header[2]);
        txtBranch->setText(header[3]);
        m_proposedSerial.clear(); // a stored slip keeps its number
        dt->setDate(date);
        Text2->setText(header[4]);
        Text3->setPlainText(header[5]);
        showLines(lines);
        markInputStored();
        refuseSaveOfCutSlip();
    });
}

bool frmSlip::loadSlip(const QString& key) {
    const bool wasShown = isVisible();
    if (mayDiscardInput(this)) {
        const QString previousKey = lblRef->text();
        lblRef->setText(key);
        if (getData())
            return true;
        lblRef->setText(previousKey);
    }
    if (!wasShown)
        closeWithoutAsking();
    return false;
}

QString frmSlip::reportPath() const {
    return applicationFolder() + QStringLiteral("/Reports/pv") + cmbAccTag() + QStringLiteral(".rpt");
}

void frmSlip::printPV() {
    guarded(this, [this] {
        if (Amount::leadingNumber(cmbAccTag()) == 0) {
            MsgBox::show(QStringLiteral("Cannot find the rpt file"), MsgBox::Buttons::Ok, MsgBox::Button::Ok,
                         this);
            return;
        }
        showSlipReport(reportPath(), slipKey());
    });
}

// Runs the report file with no selection formula and the slip key as its one
// parameter, binds the prepared report to the preview and shows the preview (not
// modal). Errors are thrown; printPV shows them.
void frmSlip::showSlipReport(const QString& reportFile, qint32 slip) {
    // The wait cursor goes back to the normal pointer however this ends.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    ShowReport(reportFile, QString(), {slip});
    frmReport& preview = Forms::get<frmReport>();
    preview.CViewer->setReportSource(g_Report);
    preview.CViewer->setDisplayStatusBar(false);
    preview.CViewer->ViewReport();
    Forms::showForward(&preview);
}

// The slip list shows the slip just stored; when the list is not open, loading it
// (without showing it) fills it. The list reports its own failures.
void frmSlip::refreshSlipList() {
    if (Forms::isLoaded<frmSlipList>())
        Forms::get<frmSlipList>().Command5_Click();
    else
        Forms::get<frmSlipList>();
}
