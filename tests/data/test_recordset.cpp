#include "Amount.h"
#include "DbError.h"
#include "Recordset.h"
#include "TestEnv.h"
#include "Transaction.h"
#include "modData.h"

#include <QDate>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <limits>

class TestRecordset : public QObject {
    Q_OBJECT
private slots:
    void addNewReadsBackTheKey() {
        TestEnv env;
        env.createDatabase();
        Reconnect();
        Recordset rs;
        rs.Open("select * from tblslip where sid=1", g_Connection);
        QCOMPARE(rs.RecordCount(), 0);
        QCOMPARE(rs.FieldCount(), 8);
        rs.AddNew();
        rs.SetField(1, "7");
        rs.SetField(2, "O'Brien \"quoted\"");
        rs.SetField(5, QDate(2026, 3, 9));
        rs.Update();
        const int sid = rs.Fields(0).toInt();
        QVERIFY(sid > 0);
        QCOMPARE(env.scalar(QString("select accno from tblSlip where sid=%1").arg(sid)).toString(),
                 QString("O'Brien \"quoted\""));
        QCOMPARE(env.scalar("select sdate from tblSlip").toString(), QString("2026-03-09"));
        // The serial number column stores a number from the typed text, and
        // the new row is read back as stored, its key at ordinal 0.
        QCOMPARE(env.scalar("select sno from tblSlip").typeId(), QMetaType::LongLong);
        QCOMPARE(rs.Fields(1).typeId(), QMetaType::LongLong);
        QCOMPARE(rs.Fields(1).toLongLong(), 7);

        rs.AddNew();
        rs.Update();
        QCOMPARE(rs.Fields(0).toInt(), sid + 1);
    }

    void updatesCurrentRowByKey() {
        TestEnv env;
        env.createDatabase();
        const int a = env.addAccount("111", "First", "North");
        const int b = env.addAccount("222", "Second", "South");
        Reconnect();
        Recordset rs;
        rs.Open(QString("Select * from tblAcc where id=%1").arg(b), g_Connection);
        QCOMPARE(rs.RecordCount(), 1);
        rs.SetField(2, "Renamed");
        rs.SetField(4, 0);
        rs.Update();
        QCOMPARE(env.scalar(QString("select accname from tblAcc where id=%1").arg(b)).toString(),
                 QString("Renamed"));
        QCOMPARE(env.scalar(QString("select active from tblAcc where id=%1").arg(b)).toString(),
                 QString("0"));
        QCOMPARE(env.scalar(QString("select accname from tblAcc where id=%1").arg(a)).toString(),
                 QString("First"));
        QCOMPARE(env.count("tblAcc"), 2);
    }

    void walksRowsWithPositions() {
        TestEnv env;
        env.createDatabase();
        for (const char* n : {"A", "B", "C"})
            env.addAccount(n, n, n);
        env.exec("delete from tblAcc where accno='B'");
        Reconnect();
        Recordset rs;
        rs.Open("SElect * from tblAcc", g_Connection);
        QCOMPARE(rs.RecordCount(), 2);
        QStringList seen;
        while (!rs.atEnd()) {
            seen << QString("%1:%2").arg(rs.AbsolutePosition()).arg(rs.FieldText(1));
            rs.MoveNext();
        }
        QCOMPARE(seen, QStringList({"1:A", "2:C"}));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Fields(0));

        // Any row stays readable by its place, wherever the cursor stands.
        QCOMPARE(rs.value(0, 1).toString(), QString("A"));
        QCOMPARE(rs.value(1, 2).toString(), QString("C"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value(2, 0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value(-1, 0));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.value(0, 5));
    }

    void nullsReadAsEmptyTextAndNamesIgnoreCase() {
        TestEnv env;
        env.createDatabase();
        env.exec("insert into tblAcc (accno) values ('X')");
        Reconnect();
        Recordset rs;
        rs.Open("select ID, ACCNO, AccName from TBLACC where Accno = ?", g_Connection, {"X"});
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.FieldText(2), QString());
        QVERIFY(rs.Fields(2).isNull());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Fields(3));
    }

    void statementsAndBoundValues() {
        TestEnv env;
        env.createDatabase();
        env.addAccount("a'b", "Apostrophe", "x");
        env.addAccount("a", "Plain", "x");
        Reconnect();
        Recordset rs;
        rs.Open("Select * from tblacc where accno=?", g_Connection, {"a'b"});
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.FieldText(2), QString("Apostrophe"));
        rs.Open("delete from tblacc where accno=?", g_Connection, {"a' or '1'='1"});
        QCOMPARE(env.count("tblAcc"), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.AddNew());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Open("select * from noSuchTable", g_Connection));
    }

    // Rows are read and values bound through SQLite's own interface: what is
    // stored and read back must be what Qt's driver stores and reads.
    void valuesMatchQtsDriver() {
        SKIP_ON_SERVER();
        TestEnv env;
        env.createDatabase();
        Reconnect();
        const QVariantList values{QString(), QString(""), 42, 2.5, QByteArray("\x01\x00", 2), true};
        Recordset rs;
        rs.Open(
            "insert into tblSlip (accno, accName, sno, branch, remarks, depositedBy) values (?,?,?,?,?,?)",
            g_Connection, values);
        QSqlQuery qt(g_Connection->database());
        qt.prepare(
            "insert into tblSlip (accno, accName, sno, branch, remarks, depositedBy) values (?,?,?,?,?,?)");
        for (const QVariant& value : values)
            qt.addBindValue(value);
        QVERIFY(qt.exec());

        const QString columns =
            "accno, accName, sno, branch, remarks, depositedBy, typeof(accno), typeof(accName), "
            "typeof(sno), typeof(branch), typeof(remarks), typeof(depositedBy)";
        rs.Open("select " + columns + " from tblSlip order by sid", g_Connection);
        QCOMPARE(rs.RecordCount(), 2);
        QVERIFY(qt.exec("select " + columns + " from tblSlip order by sid"));
        for (int row = 0; row < 2; ++row) {
            QVERIFY(qt.next());
            for (int i = 0; i < rs.FieldCount(); ++i) {
                const QVariant ours = rs.value(row, i);
                const QVariant theirs = qt.value(i);
                QVERIFY2(ours.metaType() == theirs.metaType() && ours.isNull() == theirs.isNull() &&
                             ours == theirs,
                         qPrintable(QString("row %1 column %2: %3 vs %4")
                                        .arg(row)
                                        .arg(i)
                                        .arg(ours.toString(), theirs.toString())));
            }
        }
        QCOMPARE(rs.text(0, 6), QString("null"));
        QCOMPARE(rs.text(0, 7), QString("text"));

        // A second statement in one text is refused, not dropped unseen.
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Open("delete from tblSlip; delete from tblAcc", g_Connection));
        QCOMPARE(env.count("tblSlip"), 2);
    }

    void transactionRollsBackUnlessCommitted() {
        TestEnv env;
        env.createDatabase();
        Reconnect();
        try {
            Transaction transaction(g_Connection);
            g_Connection->execute("insert into tblAcc (accno) values ('1')");
            throw DbError("fails half way");
        } catch (const DbError&) {
        }
        QCOMPARE(env.count("tblAcc"), 0);
        {
            Transaction transaction(g_Connection);
            g_Connection->execute("insert into tblAcc (accno) values ('2')");
            transaction.commit();
        }
        QCOMPARE(env.count("tblAcc"), 1);
    }

    void injectedFaultFailsTheStatement() {
        TestEnv env;
        env.createDatabase();
        Reconnect();
        Connection::setFaultInjector([](const QString& sql) { return sql.startsWith("INSERT INTO tblAcc"); });
        Recordset rs;
        rs.Open("Select * from tblAcc", g_Connection);
        rs.AddNew();
        rs.SetField(1, "9");
        QVERIFY_THROWS_EXCEPTION(DbError, rs.Update());
        Connection::setFaultInjector({});
        QCOMPARE(env.count("tblAcc"), 0);
    }

    // format(sdate,'yyyy-MM-dd') in the slip list: SQLite's own format() is
    // printf, which gives back ISO date text unchanged. No function is
    // overridden, so the stock sqlite3 tool reads and writes the same file.
    void formatWorksOnIsoDatesAlsoAfterStockTool() {
        TestEnv env;
        env.createDatabase();
        env.exec("insert into tblSlip (sno, sdate) values (1, '2026-03-01')");
        env.exec("insert into tblSlip (sno, sdate) values (2, '2026-03-31')");
        if (TestEnv::onServer()) {
            // The schema's own format() on a server, found before the built-in one.
            env.exec("insert into tblSlip (sno, sdate) values (3, '2026-04-01')");
            env.exec("insert into tblSlip (sno, sdate) values (4, '2026-03-15')");
        } else {
            env.check().reset();
            QProcess sqlite;
            sqlite.start("sqlite3",
                         {env.databasePath(), "insert into tblSlip (sno, sdate) values (3, '2026-04-01');"
                                              "insert into tblSlip (sno, sdate) values (4, '2026-03-15');"});
            QVERIFY(sqlite.waitForFinished());
            QCOMPARE(sqlite.exitCode(), 0);
        }
        Reconnect();
        Recordset rs;
        rs.Open(
            "select sno from tblSlip where format(sdate,'yyyy-MM-dd')between '2026-03-01' and '2026-03-31' "
            "order by sno",
            g_Connection);
        QStringList found;
        for (; !rs.atEnd(); rs.MoveNext())
            found << rs.FieldText(0);
        QCOMPARE(found, QStringList({"1", "2", "4"}));
        QCOMPARE(g_Connection->link().integrityProblems(), QStringList());
    }

    void amountsParseStrictly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("cents");
        QTest::newRow("plain") << "1250" << true << qint64(125000);
        QTest::newRow("two decimals") << "1250.00" << true << qint64(125000);
        QTest::newRow("one decimal") << "200.5" << true << qint64(20050);
        QTest::newRow("point first") << ".75" << true << qint64(75);
        QTest::newRow("thousands") << "1,000.00" << true << qint64(100000);
        QTest::newRow("indian grouping") << "1,00,000" << true << qint64(10000000);
        QTest::newRow("blanks around") << "  12.5 " << true << qint64(1250);
        QTest::newRow("negative") << "-5" << true << qint64(-500);
        QTest::newRow("trailing zero decimals") << "1.500" << true << qint64(150);
        QTest::newRow("0.1") << "0.1" << true << qint64(10);
        QTest::newRow("large") << "12345678901.99" << true << qint64(1234567890199);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("blank") << "   " << false << qint64(0);
        QTest::newRow("letters") << "abc" << false << qint64(0);
        QTest::newRow("trailing letters") << "12a" << false << qint64(0);
        QTest::newRow("third decimal") << "1.005" << false << qint64(0);
        QTest::newRow("comma decimal") << "12,5" << true << qint64(12500);
        QTest::newRow("trailing comma") << "12," << false << qint64(0);
        QTest::newRow("double comma") << "1,,000" << false << qint64(0);
        QTest::newRow("two points") << "1.2.3" << false << qint64(0);
        QTest::newRow("only sign") << "-" << false << qint64(0);
        QTest::newRow("huge") << "99999999999999999999" << false << qint64(0);
        QTest::newRow("the largest amount") << "9,999,999,999,999.99" << true << Amount::kLargestCents;
        QTest::newRow("one paisa past it") << "10000000000000.00" << false << qint64(0);
        QTest::newRow("the most negative") << "-9999999999999.99" << true << -Amount::kLargestCents;
        QTest::newRow("exponent") << "1e3" << false << qint64(0);
        QTest::newRow("devanagari digits")
            << QString::fromUtf8("\xe0\xa5\xa7\xe0\xa5\xa8") << false << qint64(0);
    }
    void amountsParseStrictly() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, cents);
        const auto parsed = Amount::parseCents(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QCOMPARE(*parsed, cents);
            // Stored as the nearest double, it reads back as the same hundredths,
            // and shows as the same two decimals.
            QCOMPARE(Amount::storedCents(Amount::centsToValue(*parsed)), parsed);
            QCOMPARE(Amount::formatCents(*parsed), QString("%1%2.%3")
                                                       .arg(cents < 0 ? "-" : "")
                                                       .arg(qAbs(cents) / 100)
                                                       .arg(qAbs(cents) % 100, 2, 10, QChar('0')));
        }
    }

    // The one reading of a stored amount, whatever another program left in the
    // column: the window, the slip list and the report all show these hundredths.
    void storedAmountsReadAsWholeHundredths_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<qint64>("cents"); // -1: no amount
        QTest::newRow("REAL with a third decimal rounds up") << QVariant(1.005) << qint64(101);
        QTest::newRow("another") << QVariant(2.675) << qint64(268);
        QTest::newRow("negative rounds away from zero") << QVariant(-1.005) << qint64(-101);
        QTest::newRow("binary noise") << QVariant(0.1 + 0.2) << qint64(30);
        QTest::newRow("below half a paisa") << QVariant(0.004) << qint64(0);
        QTest::newRow("far below a paisa") << QVariant(1e-7) << qint64(0);
        QTest::newRow("infinite") << QVariant(std::numeric_limits<double>::infinity()) << qint64(-1);
        QTest::newRow("integer") << QVariant(qlonglong(1250)) << qint64(125000);
        QTest::newRow("the largest REAL") << QVariant(9999999999999.99) << Amount::kLargestCents;
        QTest::newRow("past the largest") << QVariant(10000000000000.0) << qint64(-1);
        QTest::newRow("1e15") << QVariant(1e15) << qint64(-1);
        QTest::newRow("text with separators") << QVariant("1,500.00") << qint64(150000);
        QTest::newRow("text with a third decimal") << QVariant("1.005") << qint64(101);
        QTest::newRow("text that is no number") << QVariant("abc") << qint64(-1);
        QTest::newRow("empty text") << QVariant("") << qint64(-1);
        QTest::newRow("null") << QVariant() << qint64(-1);
    }
    void storedAmountsReadAsWholeHundredths() {
        QFETCH(QVariant, stored);
        QFETCH(qint64, cents);
        const std::optional<qint64> read = Amount::storedCents(stored);
        QCOMPARE(read.value_or(-1), cents);
    }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("stops at comma") << "1,000.00" << 1.0;
        QTest::newRow("blanks inside") << " 1 2" << 12.0;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("exponent") << "1.5E2" << 150.0;
        QTest::newRow("dangling exponent") << "7e" << 7.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("sign alone") << "-" << 0.0;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(Amount::leadingNumber(text), number);
    }
};
QTEST_GUILESS_MAIN(TestRecordset)
#include "test_recordset.moc"
