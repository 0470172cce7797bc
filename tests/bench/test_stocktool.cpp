// A database of the benchmark's kind changed with the stock sqlite3 tool stays
// sound, and the program still lists and offers exactly what it holds.
#include "BulkData.h"
#include "FlexGrid.h"
#include "Forms.h"
#include "TestEnv.h"
#include "frmSlip.h"
#include "frmSlipList.h"
#include "modData.h"

#include <QComboBox>
#include <QDateEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTest>

namespace {

const QDate kLastDay(2024, 6, 30);

// Runs an SQL script through the stock sqlite3 tool; returns what it printed.
QString runSqlite3(const QString& database, const QString& script) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty())
        throw std::runtime_error("the sqlite3 tool is needed (scripts/install-deps installs it)");
    QProcess process;
    process.start(tool, {QStringLiteral("-bail"), database});
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error("sqlite3 failed: " + process.readAllStandardError().toStdString());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void buildDatabase(TestEnv& env) {
    BulkDataSpec spec;
    spec.slips = 400;
    spec.accounts = 5;
    spec.banks = 12;
    spec.cities = 9;
    spec.years = 1;
    spec.lastDay = kLastDay;
    createBulkDatabase(env.databasePath(), spec);
}

// What the list must show for a range, worked out without the program's query
// or its index: slips dated in the range that have lines, by key, each with the
// sum of its lines.
QList<QStringList> expectedListing(TestEnv& env, const QDate& from, const QDate& to) {
    QSqlQuery query(env.check()->database());
    query.prepare(QStringLiteral("SELECT s.sid, s.sno, s.sdate, s.accName, sum(d.amount) FROM tblSlip s "
                                 "JOIN tblSlipDetails d ON d.sid = s.sid WHERE s.sdate >= ? AND s.sdate <= ? "
                                 "GROUP BY s.sid ORDER BY s.sid"));
    query.addBindValue(from.toString(Qt::ISODate));
    query.addBindValue(to.toString(Qt::ISODate));
    if (!query.exec())
        throw std::runtime_error("the check query failed");
    QList<QStringList> rows;
    while (query.next()) {
        rows.append({query.value(0).toString(), QString::number(rows.size() + 1), query.value(1).toString(),
                     QDate::fromString(query.value(2).toString(), Qt::ISODate).toString("dd-MM-yyyy"),
                     query.value(3).toString(), QString::number(query.value(4).toDouble(), 'f', 2)});
    }
    return rows;
}

QList<QStringList> shownListing(const FlexGrid& grid) {
    QList<QStringList> rows;
    for (int row = 1; row < grid.rows(); ++row) {
        QStringList cells;
        for (int col = 0; col < 6; ++col)
            cells << grid.textMatrix(row, col);
        rows << cells;
    }
    return rows;
}

// The slip list over a range, on the connection the main window opens.
frmSlipList& listFor(const QDate& from, const QDate& to) {
    Reconnect();
    frmSlipList& list = Forms::get<frmSlipList>();
    list.dtFrom->setDate(from);
    list.dtTo->setDate(to);
    return list;
}

QStringList comboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList distinctValues(TestEnv& env, const QString& column) {
    QSqlQuery query(env.check()->database());
    query.exec(QStringLiteral("SELECT DISTINCT %1 FROM tblSlipDetails").arg(column));
    QStringList values;
    while (query.next()) {
        if (!query.value(0).toString().isEmpty())
            values << query.value(0).toString();
    }
    values.sort();
    return values;
}

} // namespace

class TestStockTool : public QObject {
    Q_OBJECT
private slots:
    void changesByTheToolKeepTheFileSoundAndListed() {
        TestEnv env;
        buildDatabase(env);
        const int slipsBefore = env.count("tblSlip");
        const QString output = runSqlite3(env.databasePath(), QStringLiteral(R"(
            -- a new slip with two lines in June
            INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks)
                VALUES (9001, '00100007919', 'Added by the tool', 'Branch 1', '2024-06-15', 'Tool', NULL);
            INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount)
                VALUES (last_insert_rowid(), '000001', '2024-06-14', 'Tool Bank', 'Tool City', 100);
            INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount)
                VALUES ((SELECT sid FROM tblSlip WHERE sno = 9001), '000002', '2024-06-14', 'Tool Bank', 'Tool City', 200.5);
            -- a slip without lines: never listed
            INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks)
                VALUES (9002, '00100007919', 'No lines', 'Branch 1', '2024-06-16', 'Tool', NULL);
            -- the first June slip deleted with its lines; the second loses its lines
            DELETE FROM tblSlipDetails WHERE sid = (SELECT min(sid) FROM tblSlip WHERE sdate LIKE '2024-06-%');
            DELETE FROM tblSlip WHERE sid = (SELECT min(sid) FROM tblSlip WHERE sdate LIKE '2024-06-%');
            DELETE FROM tblSlipDetails WHERE sid = (SELECT min(sid) FROM tblSlip WHERE sdate LIKE '2024-06-%');
            -- a May slip moved into June, renamed; a line of it changed
            UPDATE tblSlip SET sdate = '2024-06-20', accName = 'Moved by the tool'
                WHERE sid = (SELECT min(sid) FROM tblSlip WHERE sdate BETWEEN '2024-05-01' AND '2024-05-31');
            UPDATE tblSlipDetails SET amount = 12345.67
                WHERE sdid = (SELECT min(sdid) FROM tblSlipDetails WHERE sid =
                    (SELECT min(sid) FROM tblSlip WHERE accName = 'Moved by the tool'));
            -- names the lists must offer, and empty ones they leave out
            INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount)
                VALUES (1, '000003', '2024-01-01', 'aaa lower first', NULL, 1);
            INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount)
                VALUES (1, '000004', '2024-01-01', '', 'Zeta', 1);
            PRAGMA integrity_check;
        )"));
        QCOMPARE(output, QString("ok"));
        QCOMPARE(env.count("tblSlip"), slipsBefore + 1);
        QCOMPARE(env.scalar("PRAGMA integrity_check").toString(), QString("ok"));

        const QDate june(2024, 6, 1);
        const QDate juneEnd(2024, 6, 30);
        frmSlipList& list = listFor(june, juneEnd);
        const QList<QStringList> shown = shownListing(*list.FG);
        QCOMPARE(shown, expectedListing(env, june, juneEnd));
        QVERIFY(shown.size() > 20);

        QStringList accounts;
        QStringList amounts;
        for (const QStringList& row : shown) {
            accounts << row[4];
            amounts << row[5];
        }
        const int added = int(accounts.indexOf("Added by the tool"));
        QVERIFY(added >= 0);
        QCOMPARE(amounts[added], QString("300.50"));
        QCOMPARE(shown[added][2], QString("9001"));
        QCOMPARE(shown[added][3], QString("15-06-2024"));
        QVERIFY(accounts.contains("Moved by the tool"));
        QVERIFY(!accounts.contains("No lines"));

        // The slip window offers every stored name once, in order, none empty.
        frmSlip& slip = Forms::get<frmSlip>();
        const QStringList banks = comboItems(slip.Bank[3]);
        QCOMPARE(banks, distinctValues(env, "bank"));
        QCOMPARE(banks.first(), QString("Bank 0"));
        QVERIFY(banks.contains("Tool Bank"));
        QVERIFY(banks.contains("aaa lower first"));
        QCOMPARE(comboItems(slip.City[0]), distinctValues(env, "city"));
        QVERIFY(comboItems(slip.City[0]).contains("Zeta"));
    }

    // The listing is what the slip list's grouped join gives, row for row and
    // in the same order, whatever the range.
    void listingMatchesTheGroupedJoin_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("one day") << QDate(2024, 3, 14) << QDate(2024, 3, 14);
        QTest::newRow("one month") << QDate(2024, 2, 1) << QDate(2024, 2, 29);
        QTest::newRow("the whole year") << QDate(2023, 7, 1) << QDate(2024, 6, 30);
        QTest::newRow("before the first slip") << QDate(2020, 1, 1) << QDate(2020, 12, 31);
        QTest::newRow("reversed range") << QDate(2024, 3, 31) << QDate(2024, 3, 1);
    }
    void listingMatchesTheGroupedJoin() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        TestEnv env;
        buildDatabase(env);
        // Slips entered late for earlier days: keys no longer follow dates.
        runSqlite3(env.databasePath(), QStringLiteral(R"(
            INSERT INTO tblSlip (sno, accno, accName, branch, sdate, depositedBy, remarks)
                SELECT sno + 1000, accno, accName || ' late', branch, sdate, depositedBy, remarks
                FROM tblSlip WHERE sid % 7 = 0;
            INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount)
                SELECT s.sid, d.chqno, d.chqdate, d.bank, d.city, d.amount + 0.25
                FROM tblSlip s JOIN tblSlip o ON o.sno = s.sno - 1000 AND s.sno > 1000
                JOIN tblSlipDetails d ON d.sid = o.sid;
        )"));
        QSqlQuery grouped(env.check()->database());
        grouped.prepare("SELECT max(tblSlip.Sid), max(tblSlip.Sno), max(tblSlip.sDate),tblSlip.accName,"
                        "sum(tblslipdetails.amount)FROM tblSlip INNER JOIN tblSlipDetails ON tblSlip.sID = "
                        "tblSlipDetails.SID "
                        "where format(sdate,'yyyy-MM-dd')between ? and ? group by  "
                        "tblSlipDetails.SID,tblSlip.sno,sdate,accname ");
        grouped.addBindValue(from.toString(Qt::ISODate));
        grouped.addBindValue(to.toString(Qt::ISODate));
        QVERIFY(grouped.exec());
        QList<QStringList> expected;
        while (grouped.next()) {
            expected.append(
                {grouped.value(0).toString(), QString::number(expected.size() + 1),
                 grouped.value(1).toString(),
                 QDate::fromString(grouped.value(2).toString(), Qt::ISODate).toString("dd-MM-yyyy"),
                 grouped.value(3).toString(), QString::number(grouped.value(4).toDouble(), 'f', 2)});
        }
        frmSlipList& list = listFor(from, to);
        QCOMPARE(shownListing(*list.FG), expected);
        QCOMPARE(list.FG->rows(), int(expected.size()) + 1);
    }
};

QTEST_MAIN(TestStockTool)
#include "test_stocktool.moc"
