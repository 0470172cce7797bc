#include "BatchPrinting.h"
#include "BareSqlite.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "Memory.h"
#include "MsgBox.h"
#include "SlipCsv.h"
#include "Statement.h"
#include "frmReport.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <stdexcept>

namespace {

// A slip as a page reads it: its header, its account and its lines.
const char* const kBoundSlip = "SELECT * FROM tblSlip WHERE sid=?";
const char* const kBoundAccount =
    "SELECT * FROM tblAcc WHERE accno=(SELECT accno FROM tblSlip WHERE sid=?) ORDER BY id LIMIT 1";
const char* const kBoundLines = "SELECT * FROM tblSlipDetails WHERE sid=? ORDER BY sdid";
// Which slips are stored and the key of each one's account.
const char* const kBoundLookup = "SELECT s.sid, s.sno, s.sdate, s.accno, s.accName, "
                                 "(SELECT a.id FROM tblAcc a WHERE a.accno = s.accno LIMIT 1) "
                                 "FROM tblSlip s WHERE s.sid = ?";

void closePreview() {
    if (Forms::isLoaded<frmReport>())
        Forms::get<frmReport>().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The slip list, shown, with its first `slips` rows selected; the keys of
// those rows. It lists the month, or more months before it when the month
// has fewer slips (a small benchmark database).
QList<QVariant> selectFirstRows(const BenchContext& context, int slips) {
    frmSlipList& list = Forms::get<frmSlipList>();
    list.show();
    const auto listFrom = [&](const QDate& from) {
        for (QDateEdit* picker : {list.dtFrom, list.dtTo})
            picker->blockSignals(true);
        list.dtFrom->setDate(from);
        list.dtTo->setDate(context.monthTo);
        for (QDateEdit* picker : {list.dtFrom, list.dtTo})
            picker->blockSignals(false);
        list.addFG();
    };
    if (list.dtFrom->date() > context.monthFrom || list.dtTo->date() != context.monthTo)
        listFrom(context.monthFrom);
    while (list.FG->rows() - 1 < slips && list.dtFrom->date() > context.monthTo.addYears(-20))
        listFrom(list.dtFrom->date().addMonths(-6));
    if (list.FG->rows() - 1 < slips)
        throw std::runtime_error("the database has too few slips to select");
    QItemSelectionModel* selection = list.FG->selectionModel();
    const QAbstractItemModel* model = list.FG->model();
    selection->select(QItemSelection(model->index(0, 0), model->index(slips - 1, model->columnCount() - 1)),
                      QItemSelectionModel::ClearAndSelect);
    QList<QVariant> keys;
    for (const int row : list.FG->selectedRows())
        keys << list.FG->textMatrix(row, 0).toInt();
    return keys;
}

// What "Print" on the list does for several slips, with the first page drawn.
void openPreview(int slips) {
    MsgBox::clearShown();
    Forms::get<frmSlipList>().Command6_Click();
    if (!MsgBox::shown().isEmpty())
        throw std::runtime_error("the preview said: " + MsgBox::shown().front().text.toStdString());
    if (!Forms::isLoaded<frmReport>() || !Forms::get<frmReport>().isVisible() ||
        Forms::get<frmReport>().CViewer->pageCount() != slips)
        throw std::runtime_error("the preview did not open with every selected slip");
    Forms::get<frmReport>().repaint();
}

void readSlipsBare(Bare& bare, const QList<QVariant>& keys) {
    for (const QVariant& key : keys) {
        bare.rows(kBoundSlip, {key});
        bare.rows(kBoundAccount, {key});
        bare.rows(kBoundLines, {key});
    }
}

} // namespace

void giveEveryAccountATemplate(const BenchContext& context) {
    auto connection = Connection::create();
    connection->open(context.databasePath, kDatabasePassword);
    Statement accounts(*connection, QStringLiteral("SELECT id FROM tblAcc ORDER BY id"));
    const QString folder = applicationFolder() + QStringLiteral("/Reports/");
    const QStringList samples{QStringLiteral("pv1.rpt"), QStringLiteral("pv2.rpt"),
                              QStringLiteral("pv3.rpt")};
    for (int i = 0; accounts.next(); ++i) {
        const QString target = folder + QStringLiteral("pv%1.rpt").arg(accounts.value(0).toInt());
        if (!QFile::exists(target))
            QFile::copy(folder + samples[i % samples.size()], target);
    }
}

Interaction previewSelected(const BenchContext& context, Bare& bare, int slips) {
    auto keys = std::make_shared<QList<QVariant>>();
    return {QStringLiteral("preview %1 selected slips").arg(slips),
            [context, slips, keys] { *keys = selectFirstRows(context, slips); },
            [slips] { openPreview(slips); },
            closePreview,
            [&bare, keys] {
                for (const QVariant& key : *keys)
                    bare.rows(kBoundLookup, {key});
                readSlipsBare(bare, keys->mid(0, 1));
            },
            {}};
}

Interaction exportSelectedPdf(const BenchContext& context, Bare& bare, int slips) {
    auto keys = std::make_shared<QList<QVariant>>();
    const QString pdf = QDir::tempPath() + QStringLiteral("/cheqora-bench-%1.pdf").arg(slips);
    return {QStringLiteral("export %1 slips to PDF").arg(slips),
            [context, slips, keys] {
                *keys = selectFirstRows(context, slips);
                openPreview(slips); // a fresh preview: no page of it is read beyond the first
            },
            [pdf] {
                const ReportOutput::Result result = Forms::get<frmReport>().CViewer->exportPdf(pdf);
                if (result.cancelled || result.pages == 0)
                    throw std::runtime_error("no PDF written");
            },
            [pdf] {
                closePreview();
                QFile::remove(pdf);
            },
            [&bare, keys] {
                for (const QVariant& key : *keys)
                    bare.rows(kBoundLookup, {key});
                readSlipsBare(bare, *keys);
            },
            {}};
}

Interaction exportMonthCsv(const BenchContext& context, Bare& bare) {
    const QString csv = QDir::tempPath() + QStringLiteral("/cheqora-bench-month.csv");
    return {QStringLiteral("CSV of one month"),
            {},
            [context, csv] {
                const SlipCsv::Written written =
                    SlipCsv::writeFile(*g_Connection, context.monthFrom, context.monthTo, csv);
                if (written.lines == 0)
                    throw std::runtime_error("no CSV lines written");
            },
            [csv] { QFile::remove(csv); },
            [context, &bare] {
                bare.rows(SlipCsv::kLinesSql,
                          {context.monthFrom.toString(Qt::ISODate), context.monthTo.toString(Qt::ISODate)});
            },
            {}};
}

PreviewMemory previewMemory(const BenchContext& context, int slips) {
    closePreview();
    try {
        selectFirstRows(context, slips);
    } catch (const std::runtime_error&) {
        return {};
    }
    Memory::resetPeak();
    const double before = Memory::residentMb();
    openPreview(slips);
    CViewer& viewer = *Forms::get<frmReport>().CViewer;
    for (int page = 1; page <= viewer.pageCount(); ++page) {
        viewer.showPage(page);
        Forms::get<frmReport>().repaint();
    }
    QCoreApplication::processEvents();
    const double peak = Memory::peakMb();
    closePreview();
    return {before, peak};
}
