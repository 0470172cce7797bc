#include "frmSlipList.h"
#include "Amount.h"
#include "Controls.h"
#include "DatePicker.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "MsgBox.h"
#include "SaveFileDialog.h"
#include "SlipBatch.h"
#include "SlipCsv.h"
#include "Transaction.h"
#include "WindowHelpers.h"
#include "WorkProgress.h"
#include "frmReport.h"
#include "frmSlip.h"
#include "modData.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>

using Controls::twips;

namespace {

constexpr int kColumns = 7;
const char* const kHeaders[kColumns] = {"", "SN", "Sr.No", "Date", "Account", "Amount", ""};
const int kWidths[kColumns] = {1, 500, 1000, 1500, 2800, 1600, 3600};

// A stored date as the list shows it; empty when it is no date.
QString listDate(const QString& stored) {
    return QDate::fromString(stored, Qt::ISODate).toString(QStringLiteral("dd-MM-yyyy"));
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace

frmSlipList::frmSlipList() {
    setUpDialogWindow(this, QStringLiteral("frmSlipList"), QStringLiteral("SlipList"));
    buildControls();
    Form_Load();
}

void frmSlipList::buildControls() {
    setFixedSize(twips(10020), twips(5850));

    Frame1 = Controls::make<QFrame>(this, QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(twipsRect(120, 0, 9855, 1155));
    Label1_0 = Controls::make<QLabel>(Frame1, QStringLiteral("Label1_0"));
    Label1_0->setText(QStringLiteral("From"));
    Label1_0->setGeometry(twipsRect(120, 480, 855, 255));
    dtFrom = Controls::make<DatePicker>(Frame1, QStringLiteral("dtFrom"));
    dtFrom->setGeometry(twipsRect(960, 480, 1815, 315));
    Label1_1 = Controls::make<QLabel>(Frame1, QStringLiteral("Label1_1"));
    Label1_1->setText(QStringLiteral(" To"));
    Label1_1->setGeometry(twipsRect(2760, 480, 855, 255));
    dtTo = Controls::make<DatePicker>(Frame1, QStringLiteral("dtTo"));
    dtTo->setGeometry(twipsRect(3600, 480, 1815, 315));
    Controls::caption(Label1_0, dtFrom);
    Controls::caption(Label1_1, dtTo);
    Command5 = Controls::button(Frame1, QStringLiteral("Command5"), QStringLiteral("Refresh"));
    Command5->setGeometry(twipsRect(5640, 460, 1575, 315));
    cmdExport = Controls::button(Frame1, QStringLiteral("cmdExport"), QStringLiteral("Export"));
    cmdExport->setGeometry(twipsRect(7320, 460, 1575, 315));

    FG = Controls::make<FlexGrid>(this, QStringLiteral("FG"), QStringLiteral("Slips"));
    FG->setGeometry(twipsRect(120, 1200, 9855, 3735));
    FG->setMultiSelect(true);

    Picture1 = Controls::make<QWidget>(this, QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(0, 4995, 10020, 855));
    struct ButtonSpec {
        QPushButton*& button;
        const char* name;
        const char* caption;
        int left;
    };
    const ButtonSpec buttons[] = {{Command6, "Command6", "Print", 1320},
                                  {Command4, "Command4", "Add New", 3000},
                                  {Command3, "Command3", "Edit", 4680},
                                  {Command2, "Command2", "Delete", 6360},
                                  {Command1, "Command1", "Close", 8040}};
    for (const ButtonSpec& spec : buttons) {
        spec.button = Controls::button(Picture1, QLatin1String(spec.name), QLatin1String(spec.caption));
        spec.button->setGeometry(twipsRect(spec.left, 240, 1575, 375));
    }

    setTabOrder(dtFrom, dtTo);
    setTabOrder(dtTo, Command5);
    setTabOrder(Command5, cmdExport);
    setTabOrder(cmdExport, FG);
    setTabOrder(FG, Command6);
    setTabOrder(Command6, Command4);
    setTabOrder(Command4, Command3);
    setTabOrder(Command3, Command2);
    setTabOrder(Command2, Command1);

    connect(Command1, &QPushButton::clicked, this, &frmSlipList::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmSlipList::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmSlipList::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmSlipList::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmSlipList::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmSlipList::Command6_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmSlipList::cmdExport_Click);
    connect(FG, &FlexGrid::DblClick, this, &frmSlipList::FG_DblClick);
}

void frmSlipList::Form_Load() {
    // The pickers show "dd-MM-yyyy" from the start.
    for (QDateEdit* picker : {dtFrom, dtTo})
        picker->setDate(QDate::currentDate());
    // Connected after the dates are set, so the load fills the list once.
    connect(dtFrom, &QDateEdit::dateChanged, this, &frmSlipList::dtFrom_Change);
    connect(dtTo, &QDateEdit::dateChanged, this, &frmSlipList::dtTo_Change);
    guarded(this, [this] { addFG(); });
}

void frmSlipList::setFG() {
    FG->setRows(1);
    FG->setCols(kColumns);
    for (int col = 0; col < kColumns; ++col) {
        FG->setColWidth(col, kWidths[col]);
        FG->setTextMatrix(0, col, QLatin1String(kHeaders[col]));
    }
    FG->setRowHeight(0, 400);
    FG->setMinRowHeight(350);
}

// The slips dated in the range that have cheque lines, one row each with the
// sum of its lines in whole hundredths, by slip key. This is what grouping the join of slips and
// lines by slip gives (the key fixes the serial number, date and account name,
// and the groups come out in key order), without sorting every line of the
// month: each slip's lines are summed by a seek into the (sid, amount) index.
// The range is compared as "yyyy-MM-dd" text through the index on
// format(sdate, 'yyyy-MM-dd'), both end days included.
const QString frmSlipList::kListSql =
    QStringLiteral("SELECT tblSlip.sid, tblSlip.sno, tblSlip.sdate, tblSlip.accName, "
                   "(SELECT sum(cents(amount)) FROM tblSlipDetails WHERE tblSlipDetails.sid = tblSlip.sid) "
                   "FROM tblSlip WHERE format(sdate,'yyyy-MM-dd') BETWEEN ? AND ? "
                   "AND EXISTS (SELECT 1 FROM tblSlipDetails WHERE tblSlipDetails.sid = tblSlip.sid) "
                   "ORDER BY tblSlip.sid");

void frmSlipList::addFG() {
    setFG();
    const QString from = dtFrom->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString to = dtTo->date().toString(QStringLiteral("yyyy-MM-dd"));
    rs = std::make_shared<Recordset>();
    rs->Open(kListSql, g_Connection, {from, to});
    // A row's texts are made when the grid shows or reads it: a month holds
    // thousands of slips, the window shows a dozen.
    FG->fill(rs->RecordCount(), [listed = rs](int row, int col) -> QString {
        const int record = row - 1;
        switch (col) {
        case 0:
            return listed->text(record, 0);
        case 1:
            return QString::number(row);
        case 2:
            return listed->text(record, 1);
        case 3:
            return listDate(listed->text(record, 2));
        case 4:
            return listed->text(record, 3);
        case 5:
            return Amount::formatCents(listed->value(record, 4).toLongLong());
        default:
            return QString();
        }
    });
}

void frmSlipList::Command5_Click() {
    guarded(this, [this] { addFG(); });
}

void frmSlipList::dtFrom_Change() {
    Command5_Click();
}

void frmSlipList::dtTo_Change() {
    Command5_Click();
}

void frmSlipList::Command2_Click() {
    const QStringList keys = FG->selectedKeys();
    if (keys.isEmpty())
        return;
    const QString question = keys.size() == 1
                                 ? QStringLiteral("Do you want to delete the entry")
                                 : QStringLiteral("Do you want to delete the %1 entries").arg(keys.size());
    if (!MsgBox::askYesNo(question, this))
        return;
    guarded(this, [&] {
        // Every chosen slip with its lines goes, or none does.
        Transaction transaction(g_Connection);
        rs = std::make_shared<Recordset>();
        for (const QString& key : keys) {
            const qint32 sid = slipKeyOf(key);
            rs->Open(QStringLiteral("delete from tblslipdetails where sid=?"), g_Connection, {sid});
            rs->Open(QStringLiteral("delete from tblslip where sid=?"), g_Connection, {sid});
        }
        transaction.commit();
    });
    Command5_Click();
}

void frmSlipList::showSlipWindow() {
    showOwned(&Forms::get<frmSlip>(), this);
}

frmSlip* frmSlipList::openSelectedSlip() {
    const QString key = FG->selectedKeys().value(0);
    if (key.isEmpty())
        return nullptr;
    frmSlip& slip = Forms::get<frmSlip>();
    return slip.loadSlip(key) ? &slip : nullptr;
}

void frmSlipList::FG_DblClick() {
    guarded(this, [&] {
        if (openSelectedSlip())
            showSlipWindow();
    });
}

void frmSlipList::Command3_Click() {
    FG_DblClick();
}

void frmSlipList::Command6_Click() {
    const QStringList keys = FG->selectedKeys();
    if (keys.size() > 1) {
        guarded(this, [&] { printSlips(keys); });
        return;
    }
    guarded(this, [&] {
        frmSlip* slip = openSelectedSlip();
        if (!slip)
            return;
        slip->getAccTag();
        showSlipWindow();
        slip->printPV();
    });
}

void frmSlipList::printSlips(const QStringList& keys) {
    QList<qint32> sids;
    for (const QString& key : keys)
        sids << slipKeyOf(key);
    std::shared_ptr<SlipBatch> batch;
    {
        // Only the look-up waits here: the pages are read as they are shown.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        batch = std::make_shared<SlipBatch>(sids, applicationFolder() + QStringLiteral("/Reports"));
    }
    noteGoneSlips(batch->goneSlips());
    if (!printDespiteMissingTemplates(*batch) || batch->count() == 0)
        return;
    frmReport& preview = Forms::get<frmReport>();
    preview.CViewer->setPages(batch);
    preview.CViewer->setDisplayStatusBar(false);
    preview.CViewer->ViewReport();
    Forms::showForward(&preview);
}

bool frmSlipList::printDespiteMissingTemplates(const SlipBatch& batch) {
    if (batch.missingTemplates().empty())
        return true;
    QStringList accounts;
    for (const SlipBatch::MissingTemplate& missing : batch.missingTemplates()) {
        const QString account =
            QStringLiteral("%1 %2 (%3 %4): ")
                .arg(missing.accountNumber, missing.accountName)
                .arg(missing.slips)
                .arg(missing.slips == 1 ? QStringLiteral("slip") : QStringLiteral("slips"));
        accounts << account + (missing.templatePath.isEmpty()
                                   ? QStringLiteral("no account has this number")
                                   : QDir::toNativeSeparators(missing.templatePath) +
                                         QStringLiteral(" is missing"));
    }
    const QString text = QStringLiteral("These accounts have no print template, so their slips cannot be "
                                        "printed:\n") +
                         accounts.join(QLatin1Char('\n'));
    if (batch.count() == 0) {
        MsgBox::show(text + QStringLiteral("\n\nNothing is printed."), MsgBox::Buttons::Ok,
                     MsgBox::Button::Ok, this);
        return false;
    }
    const QString others = batch.count() == 1
                               ? QStringLiteral("Print the other slip?")
                               : QStringLiteral("Print the other %1 slips?").arg(batch.count());
    return MsgBox::show(text + QStringLiteral("\n\n") + others, MsgBox::Buttons::YesNo, MsgBox::Button::No,
                        this) == MsgBox::Button::Yes;
}

void frmSlipList::noteGoneSlips(const QList<qint32>& keys) {
    if (keys.isEmpty())
        return;
    QStringList names;
    for (const int row : FG->selectedRows()) {
        if (keys.contains(slipKeyOf(FG->textMatrix(row, 0))))
            names << slipLabel(FG->textMatrix(row, 2), FG->textMatrix(row, 3));
    }
    MsgBox::show(QStringLiteral("These slips are no longer stored (another user may have deleted them) and "
                                "are left out:\n") +
                     names.join(QLatin1Char('\n')),
                 MsgBox::Buttons::Ok, MsgBox::Button::Ok, this);
}

void frmSlipList::cmdExport_Click() {
    guarded(this, [this] {
        const QDate from = dtFrom->date();
        const QDate to = dtTo->date();
        const QString proposed =
            QStringLiteral("slips %1 to %2.csv").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
        const QString path = SaveFileDialog::ask(this, QStringLiteral("Export"), proposed,
                                                 QStringLiteral("CSV files (*.csv)"));
        if (path.isEmpty())
            return;
        const int slips = FG->rows() - 1;
        WorkProgress progress(this, QStringLiteral("Exporting %1 slips...").arg(slips), slips, slips);
        SlipCsv::writeFile(*g_Connection, from, to, path,
                           [&](int written) { return progress.step(written); });
    });
}

void frmSlipList::Command4_Click() {
    showSlipWindow();
}

void frmSlipList::Command1_Click() {
    close();
}

void frmSlipList::closeEvent(QCloseEvent* event) {
    // The slip window the list owns goes with it: it asks first when it holds
    // unsaved input, and the list stays open when the operator keeps it.
    if (Forms::isLoaded<frmSlip>()) {
        frmSlip& slip = Forms::get<frmSlip>();
        if (slip.parentWidget() == this && !slip.close())
            event->ignore();
    }
}
