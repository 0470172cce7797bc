#include "Interactions.h"
#include "BareSqlite.h"
#include "Forms.h"
#include "PageRenderer.h"
#include "Recordset.h"
#include "frmAccList.h"
#include "frmReport.h"
#include "frmSlip.h"
#include "frmSlipList.h"
#include "modData.h"
#include "modReport.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSqlQuery>
#include <QWindow>
#include <stdexcept>

namespace {

// The lower bounds' SQL: the least work SQLite can do for each result.
const char* const kBoundBanks =
    "WITH RECURSIVE b(v) AS (SELECT min(bank) FROM tblSlipDetails UNION ALL SELECT (SELECT min(bank) FROM "
    "tblSlipDetails WHERE bank > b.v) FROM b WHERE b.v IS NOT NULL) SELECT v FROM b WHERE v IS NOT NULL";
const char* const kBoundCities =
    "WITH RECURSIVE c(v) AS (SELECT min(city) FROM tblSlipDetails UNION ALL SELECT (SELECT min(city) FROM "
    "tblSlipDetails WHERE city > c.v) FROM c WHERE c.v IS NOT NULL) SELECT v FROM c WHERE v IS NOT NULL";
// The month's slips that have lines, each with the sum of its lines in whole
// hundredths, by key.
const char* const kBoundMonth =
    "SELECT s.sid, s.sno, s.sdate, s.accName, "
    "(SELECT sum(CAST(round(amount * 100) AS INTEGER)) FROM tblSlipDetails d WHERE d.sid = s.sid) "
    "FROM tblSlip s WHERE format(s.sdate,'yyyy-MM-dd') BETWEEN ? AND ? "
    "AND EXISTS (SELECT 1 FROM tblSlipDetails d WHERE d.sid = s.sid) ORDER BY s.sid";
const char* const kBoundHeader =
    "INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks) "
    "VALUES (?,?,?,?,?,?,?)";
const char* const kBoundHeaderUpdate = "UPDATE tblSlip SET sno=?, accno=?, accName=?, branch=?, sdate=?, "
                                       "depositedBy=?, remarks=? WHERE sid=?";
const char* const kBoundLine =
    "INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) VALUES (?,?,?,?,?,?)";

// A connection of the program checks the password verifier when it opens.
const char* const kBoundPassword = "SELECT salt, hash FROM cheqoraAccess";

constexpr int kCheques = 5;

QString isoDate(const QDate& date) {
    return date.toString(Qt::ISODate);
}

void deliverDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class Form> void closeIfLoaded() {
    if (Forms::isLoaded<Form>())
        Forms::get<Form>().close();
    deliverDeletes();
}

// Five cheque lines on the slip window, as an operator fills them.
void fillSlip(frmSlip& slip, const QString& accountNumber) {
    slip.cmbAcc->setEditText(accountNumber);
    slip.cmbAcc_Click();
    for (int i = 0; i < kCheques; ++i) {
        slip.Text1[i]->setText(QStringLiteral("%1").arg(100001 + i, 6, 10, QLatin1Char('0')));
        slip.chqDate[i]->setDate(QDate::currentDate());
        slip.Bank[i]->setEditText(QStringLiteral("Bank %1").arg(i + 1));
        slip.City[i]->setEditText(QStringLiteral("City %1").arg(i + 1));
        slip.Amount[i]->setText(QStringLiteral("%1.50").arg(1000 * (i + 1)));
    }
    slip.Text2->setText(QStringLiteral("Bench depositor"));
}

// The same slip written through the C interface in one transaction.
void writeBareSlip(BareSqlite& bare, const QString& accountNumber, qint64 updatedSid) {
    const QVariantList header{QVariant(qint64(999999)),
                              accountNumber,
                              QStringLiteral("Account holder"),
                              QStringLiteral("Branch"),
                              isoDate(QDate::currentDate()),
                              QStringLiteral("Bench depositor"),
                              QString()};
    bare.exec("BEGIN IMMEDIATE");
    qint64 sid = updatedSid;
    if (updatedSid == 0) {
        bare.rows(kBoundHeader, header);
        sid = bare.lastInsertId();
    } else {
        bare.rows(kBoundHeaderUpdate, QVariantList(header) << sid);
        bare.rows("DELETE FROM tblSlipDetails WHERE sid=?", {sid});
    }
    for (int i = 0; i < kCheques; ++i)
        bare.rows(kBoundLine, {sid, QStringLiteral("%1").arg(100001 + i), isoDate(QDate::currentDate()),
                               QStringLiteral("Bank %1").arg(i + 1), QStringLiteral("City %1").arg(i + 1),
                               1000.5 * (i + 1)});
    bare.exec("COMMIT");
}

// Notes the first time a window is painted.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Shows a window and returns once it is on the screen (exposed) and painted
// for the first time: what the operator waits for. On a real display the
// window system's answer comes through the event loop.
void showUntilPainted(QWidget* window) {
    FirstPaint watcher;
    window->installEventFilter(&watcher);
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!watcher.painted || !window->windowHandle() || !window->windowHandle()->isExposed()) {
        if (waited.elapsed() > 10'000)
            throw std::runtime_error("the window was not painted within 10 s");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    window->removeEventFilter(&watcher);
}

// The page of the prepared report as the preview paints it, at true size.
QImage renderFirstPage() {
    const std::vector<SlipRecord>& slips = g_Report->slips();
    const QSizeF paper = g_Report->definition().paper;
    QImage page(qRound(paper.width() / PageRenderer::kMmPerInch * 96),
                qRound(paper.height() / PageRenderer::kMmPerInch * 96), QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(96 / 0.0254));
    page.setDotsPerMeterY(qRound(96 / 0.0254));
    page.fill(Qt::white);
    QPainter painter(&page);
    PageRenderer::render(painter, g_Report->definition(), slips.front(), PageRenderer::deviceScale(painter),
                         PageRenderer::Mode::Preview);
    return page;
}

} // namespace

BenchContext findBenchContext(const QString& databasePath) {
    BenchContext context;
    context.databasePath = databasePath;
    auto connection = Connection::create();
    connection->open(databasePath, kDatabasePassword);
    QSqlQuery query(connection->database());
    query.exec(QStringLiteral("SELECT accno FROM tblAcc WHERE active='1' ORDER BY id LIMIT 2"));
    while (query.next())
        context.accountNumbers << query.value(0).toString();
    if (context.accountNumbers.size() < 2)
        throw std::runtime_error("the benchmark database has fewer than two active accounts");
    query.exec(QStringLiteral("SELECT max(sdate), max(sid) FROM tblSlip"));
    query.next();
    const QDate newest = QDate::fromString(query.value(0).toString(), Qt::ISODate);
    context.highestSlipBefore = query.value(1).toInt();
    // A whole month well inside the data: six months before the newest slip's.
    context.monthFrom = QDate(newest.year(), newest.month(), 1).addMonths(-6);
    context.monthTo = context.monthFrom.addMonths(1).addDays(-1);
    query.prepare(QStringLiteral("SELECT s.sid, a.id FROM tblSlip s JOIN tblAcc a ON a.accno = s.accno "
                                 "WHERE s.sid >= (SELECT max(sid) FROM tblSlip) / 2 ORDER BY s.sid LIMIT 1"));
    if (!query.exec() || !query.next())
        throw std::runtime_error("the benchmark database has no slip to print");
    context.reportSlip = query.value(0).toInt();
    context.reportTemplate =
        applicationFolder() + QStringLiteral("/Reports/pv%1.rpt").arg(query.value(1).toInt());
    // Every account of the benchmark prints on the first sample template.
    if (!QFileInfo::exists(context.reportTemplate))
        QFile::copy(applicationFolder() + QStringLiteral("/Reports/pv1.rpt"), context.reportTemplate);
    return context;
}

std::vector<Interaction> programInteractions(const BenchContext& context, BareSqlite& bare) {
    const QString path = context.databasePath;
    std::vector<Interaction> interactions;

    const auto slipWindowBound = [path] {
        BareSqlite fresh(path);
        fresh.rows(kBoundPassword);
        fresh.rows("SELECT max(sno) FROM tblSlip");
        fresh.rows("SELECT accno FROM tblAcc WHERE active='1'");
        fresh.rows(kBoundBanks);
        fresh.rows(kBoundCities);
    };
    interactions.push_back({QStringLiteral("open slip window"),
                            {},
                            [] { Forms::get<frmSlip>(); },
                            [] { closeIfLoaded<frmSlip>(); },
                            slipWindowBound,
                            {}});

    auto choice = std::make_shared<int>(0);
    interactions.push_back(
        {QStringLiteral("choose account"),
         [context, choice] {
             frmSlip& slip = Forms::get<frmSlip>();
             *choice = 1 - *choice;
             slip.cmbAcc->setCurrentIndex(slip.cmbAcc->findText(context.accountNumbers[*choice]));
         },
         [] { Forms::get<frmSlip>().cmbAcc_Click(); },
         {},
         [context, choice, &bare] {
             bare.rows("SELECT * FROM tblAcc WHERE accno=?", {context.accountNumbers[*choice]});
         },
         [context, choice] {
             Recordset account;
             account.Open(QStringLiteral("Select * from tblacc where accno=?"), g_Connection,
                          {context.accountNumbers[*choice]});
         }});

    interactions.push_back({QStringLiteral("save new slip (5 cheques)"),
                            [context] {
                                frmSlip& slip = Forms::get<frmSlip>();
                                fillSlip(slip, context.accountNumbers[0]);
                                slip.lblRef->setText(QString());
                            },
                            [] {
                                if (!Forms::get<frmSlip>().saveData())
                                    throw std::runtime_error("the slip was not saved");
                            },
                            {},
                            [context, &bare] { writeBareSlip(bare, context.accountNumbers[0], 0); },
                            {}});

    auto lastBareSlip = std::make_shared<qint64>(0);
    interactions.push_back({QStringLiteral("update slip (5 cheques)"),
                            {},
                            [] {
                                if (!Forms::get<frmSlip>().updateData())
                                    throw std::runtime_error("the slip was not updated");
                            },
                            {},
                            [context, &bare, lastBareSlip] {
                                if (*lastBareSlip == 0) {
                                    writeBareSlip(bare, context.accountNumbers[0], 0);
                                    *lastBareSlip = bare.lastInsertId();
                                }
                                writeBareSlip(bare, context.accountNumbers[0], *lastBareSlip);
                            },
                            {}});

    const auto accountListBound = [path] {
        BareSqlite fresh(path);
        fresh.rows(kBoundPassword);
        fresh.rows("SELECT * FROM tblAcc");
    };
    interactions.push_back({QStringLiteral("open account list"),
                            {},
                            [] { Forms::get<frmAccList>(); },
                            [] { closeIfLoaded<frmAccList>(); },
                            accountListBound,
                            [] {
                                Reconnect();
                                Recordset accounts;
                                accounts.Open(QStringLiteral("SElect * from tblAcc"), g_Connection);
                            }});

    // The same windows up to their first paint on the screen. The slip list
    // shows today's slips when it opens.
    interactions.push_back({QStringLiteral("slip window shown and painted"),
                            {},
                            [] { showUntilPainted(&Forms::get<frmSlip>()); },
                            [] { closeIfLoaded<frmSlip>(); },
                            slipWindowBound,
                            {}});
    interactions.push_back({QStringLiteral("account list shown and painted"),
                            {},
                            [] { showUntilPainted(&Forms::get<frmAccList>()); },
                            [] { closeIfLoaded<frmAccList>(); },
                            accountListBound,
                            {}});
    interactions.push_back({QStringLiteral("slip list shown and painted"),
                            {},
                            [] { showUntilPainted(&Forms::get<frmSlipList>()); },
                            [] { closeIfLoaded<frmSlipList>(); },
                            [&bare] {
                                const QString today = isoDate(QDate::currentDate());
                                bare.rows(kBoundMonth, {today, today});
                            },
                            {}});

    const QString report = context.reportTemplate;
    const qint32 sid = context.reportSlip;
    interactions.push_back(
        {QStringLiteral("prepare report and render page"),
         {},
         [report, sid] {
             ShowReport(report, QString(), {sid});
             if (renderFirstPage().isNull())
                 throw std::runtime_error("no page rendered");
         },
         {},
         [path, sid] {
             // The report reads through a logon of its own.
             BareSqlite fresh(path);
             fresh.rows(kBoundPassword);
             fresh.rows("SELECT * FROM tblSlip WHERE sid=?", {sid});
             fresh.rows("SELECT * FROM tblAcc WHERE accno=(SELECT accno FROM tblSlip WHERE sid=?) "
                        "ORDER BY id LIMIT 1",
                        {sid});
             fresh.rows("SELECT * FROM tblSlipDetails WHERE sid=? ORDER BY sdid", {sid});
         },
         [report, sid] {
             // Everything but drawing the page: the template, its logon and its rows.
             ShowReport(report, QString(), {sid});
             if (g_Report->slips().empty())
                 throw std::runtime_error("no slip read");
         }});
    return interactions;
}

Interaction monthList(const BenchContext& context, BareSqlite& bare) {
    return {QStringLiteral("slip list, one month"),
            [context] {
                frmSlipList& list = Forms::get<frmSlipList>();
                list.show();
                // The dates change without their change events: the timed part is the listing.
                for (QDateEdit* picker : {list.dtFrom, list.dtTo})
                    picker->blockSignals(true);
                list.dtFrom->setDate(context.monthFrom);
                list.dtTo->setDate(context.monthTo);
                for (QDateEdit* picker : {list.dtFrom, list.dtTo})
                    picker->blockSignals(false);
            },
            [] {
                // The listing and the window drawn with it: what the operator waits for.
                frmSlipList& list = Forms::get<frmSlipList>();
                list.addFG();
                list.repaint();
            },
            [] { QCoreApplication::processEvents(); },
            [context, &bare] {
                bare.rows(kBoundMonth, {isoDate(context.monthFrom), isoDate(context.monthTo)});
            },
            {}};
}

void closeBenchWindows() {
    closeIfLoaded<frmSlip>();
    closeIfLoaded<frmSlipList>();
    closeIfLoaded<frmAccList>();
    closeIfLoaded<frmReport>();
}

void removeBenchSlips(const BenchContext& context, BareSqlite& bare) {
    const QVariantList highest{context.highestSlipBefore};
    bare.exec("BEGIN IMMEDIATE");
    bare.rows("DELETE FROM tblSlipDetails WHERE sid > ?", highest);
    bare.rows("DELETE FROM tblSlip WHERE sid > ?", highest);
    bare.exec("COMMIT");
}
