// cheqora-db between two databases: the test's own (a schema on the server
// when CHEQORA_TEST_SERVER is set, another file otherwise) and files beside it.
#include "Amount.h"
#include "DatabaseCopy.h"
#include "DbError.h"
#include "DemoData.h"
#include "Recordset.h"
#include "Statement.h"
#include "TestEnv.h"
#include "ToolRunner.h"
#include "modData.h"

#include <QTest>

namespace {

struct Table {
    const char* name;
    const char* key;
};
const Table kTables[] = {{"tblAcc", "id"}, {"tblSlip", "sid"}, {"tblSlipDetails", "sdid"}};

// Every row of every table with its values as text (amounts in whole
// hundredths), and the last key each table gave.
QStringList contentsOf(const QString& database) {
    auto connection = Connection::create();
    connection->open(database, kDatabasePassword);
    QStringList contents;
    for (const Table& table : kTables) {
        Statement rows(*connection, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table.name));
        const int columns = int(rows.columnNames().size());
        while (rows.next()) {
            QStringList values;
            for (int i = 0; i < columns; ++i) {
                const QVariant value = rows.value(i);
                const bool amount = qstrcmp(table.name, "tblSlipDetails") == 0 && i == 6;
                values << (amount ? Amount::formatCents(Amount::storedCents(value).value_or(-1))
                                  : QLatin1String(value.typeName()) + QLatin1Char(':') + value.toString());
            }
            contents << QLatin1String(table.name) + QLatin1Char('|') + values.join(QLatin1Char('|'));
        }
        contents << QStringLiteral("%1 last key %2")
                        .arg(table.name)
                        .arg(connection->link().lastKey(table.name, table.key));
    }
    return contents;
}

// The demo office, with amounts at both ends of the range and a last slip
// deleted, so that the last key given lies above the largest key stored.
QString officeFile(const TestEnv& env) {
    const QString path = env.folder() + QStringLiteral("/office.mdb");
    DemoData::createDemoDatabase(path, kDatabasePassword);
    auto connection = Connection::create();
    connection->open(path, kDatabasePassword);
    Statement line(*connection,
                   QStringLiteral("INSERT INTO tblSlipDetails (sid, chqno, chqdate, bank, city, amount) "
                                  "VALUES (1, ?, '2024-01-02', 'Bank', 'City', ?)"));
    for (const qint64 cents : {Amount::kLargestCents, qint64(1), qint64(12345), qint64(10000)})
        line.run({QString::number(cents), Amount::centsToValue(cents)});
    connection->execute(QStringLiteral("DELETE FROM tblSlipDetails WHERE sid = 20"));
    connection->execute(QStringLiteral("DELETE FROM tblSlip WHERE sid = 20"));
    return path;
}

// The test's database, as `cheqora-db init` leaves it.
void initialise(TestEnv& env) {
    QString output;
    QCOMPARE(runTool({QStringLiteral("init"), env.databasePath()}, &output), 0);
}

} // namespace

class TestDbCopy : public QObject {
    Q_OBJECT
private slots:
    // The same tables, columns in order and indexes as a file, keys never given twice.
    void initBuildsWhatAFileHas() {
        TestEnv env;
        initialise(env);
        QString output;
        QCOMPARE(runTool({QStringLiteral("init"), env.databasePath()}, &output), 1);
        QVERIFY2(output.contains(TestEnv::onServer() ? "holds the table" : "not overwritten"),
                 qPrintable(output));

        const QString file = env.folder() + QStringLiteral("/reference.mdb");
        QCOMPARE(runTool({QStringLiteral("init"), file}), 0);
        const auto columnsOf = [](const QString& database) {
            auto connection = Connection::create();
            connection->open(database, kDatabasePassword);
            Statement query(*connection, connection->link().tableColumnsSql());
            QStringList columns; // Cheqora's tables, without what the engine keeps beside them
            while (query.next()) {
                if (!query.value(0).toString().startsWith(QLatin1String("sqlite_")))
                    columns << query.value(0).toString() + QLatin1Char('.') +
                                   query.value(1).toString().toLower();
            }
            return columns;
        };
        QCOMPARE(columnsOf(env.databasePath()), columnsOf(file));
        const QString indexes =
            TestEnv::onServer() ? QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = "
                                                 "current_schema() AND indexname NOT LIKE '%_pkey'")
                                : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                                 "name NOT LIKE 'sqlite_%'");
        QStringList names;
        for (const QVariantList& row : env.rows(indexes))
            names << row[0].toString().toLower();
        names.sort();
        QCOMPARE(names, (QStringList{"idxaccno", "idxdetailsbank", "idxdetailscity", "idxdetailssid",
                                     "idxsliplistdate", "idxslipsno"}));

        // A key is never given twice, also after its row is deleted.
        Reconnect();
        for (int i = 0; i < 2; ++i) {
            Recordset rs;
            rs.Open(QStringLiteral("select * from tblslip where sid=1"), g_Connection);
            rs.AddNew();
            rs.SetField(1, 5);
            rs.Update();
            QCOMPARE(rs.Fields(0).toLongLong(), qlonglong(i + 1));
            env.exec(QStringLiteral("DELETE FROM tblSlip"));
        }
    }

    // An office moves onto the server and back: every row, key and amount kept.
    void copyThereAndBackChangesNothing() {
        TestEnv env;
        const QString office = officeFile(env);
        if (TestEnv::onServer())
            initialise(env);
        QString output;
        QCOMPARE(runTool({QStringLiteral("copy"), office, env.databasePath()}, &output), 0);
        QVERIFY2(output.startsWith("Copied 3 accounts, 19 slips and "), qPrintable(output));
        const QString back = env.folder() + QStringLiteral("/back.mdb");
        QCOMPARE(runTool({QStringLiteral("copy"), env.databasePath(), back}, &output), 0);
        const QStringList contents = contentsOf(office);
        QCOMPARE(contentsOf(env.databasePath()), contents);
        QCOMPARE(contentsOf(back), contents);
        QVERIFY(contents.contains(QStringLiteral("tblSlip last key 20")));

        // The next slip stored there gets the next key the office would have given.
        env.exec(QStringLiteral("INSERT INTO tblSlip (sno) VALUES (99)"));
        QCOMPARE(env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toLongLong(), 21);
    }

    // A target emptied of slips it once held: the keys it gave stay given.
    void aCopyNeverLowersTheTargetsNextKey() {
        TestEnv env;
        const QString office = officeFile(env);
        initialise(env);
        for (int i = 0; i < 30; ++i)
            env.exec(QStringLiteral("INSERT INTO tblSlip (sno) VALUES (1)"));
        env.exec(QStringLiteral("DELETE FROM tblSlip"));
        QString output;
        QCOMPARE(runTool({QStringLiteral("copy"), office, env.databasePath()}, &output), 0);
        env.exec(QStringLiteral("INSERT INTO tblSlip (sno) VALUES (99)"));
        QCOMPARE(env.scalar(QStringLiteral("SELECT max(sid) FROM tblSlip")).toLongLong(), 31);
    }

    void copyRefusesATargetThatHoldsSlips() {
        TestEnv env;
        const QString office = officeFile(env);
        QCOMPARE(runTool({QStringLiteral("demo"), env.databasePath()}), 0);
        const QStringList before = contentsOf(env.databasePath());
        QString output;
        QCOMPARE(runTool({QStringLiteral("copy"), office, env.databasePath()}, &output), 1);
        QVERIFY2(output.contains("holds 20 slips"), qPrintable(output));
        QCOMPARE(contentsOf(env.databasePath()), before);
    }

    // A total that comes out otherwise in the target stores nothing there.
    void aCopyThatDoesNotAddUpStoresNothing() {
        TestEnv env;
        const QString office = officeFile(env);
        env.createDatabase();
        const QStringList empty = contentsOf(env.databasePath());
        if (TestEnv::onServer()) {
            env.exec(QStringLiteral("CREATE FUNCTION add_a_paisa() RETURNS trigger LANGUAGE plpgsql AS "
                                    "'BEGIN NEW.amount := NEW.amount + 0.01; RETURN NEW; END'"));
            env.exec(QStringLiteral("CREATE TRIGGER add_a_paisa BEFORE INSERT ON tblSlipDetails FOR EACH ROW "
                                    "WHEN (NEW.sdid = 7) EXECUTE FUNCTION add_a_paisa()"));
        } else {
            env.exec(
                QStringLiteral("CREATE TRIGGER add_a_paisa AFTER INSERT ON tblSlipDetails WHEN NEW.sdid = 7 "
                               "BEGIN UPDATE tblSlipDetails SET amount = amount + 0.01 WHERE sdid = 7; END"));
        }
        env.check().reset();
        QString thrown;
        try {
            DatabaseCopy::copy(office, env.databasePath(), kDatabasePassword);
        } catch (const DbError& error) {
            thrown = error.description();
        }
        QVERIFY2(
            thrown.startsWith("The copy differs from the source (slip key, lines and total in hundredths"),
            qPrintable(thrown));
        // A server's key sequences move on outside transactions: keys are skipped, never given twice.
        const auto rowsOnly = [](QStringList contents) {
            if (TestEnv::onServer())
                contents.removeIf(
                    [](const QString& line) { return line.contains(QLatin1String("last key")); });
            return contents;
        };
        QCOMPARE(rowsOnly(contentsOf(env.databasePath())), rowsOnly(empty));
    }

    // The backup of the database is a file that opens anywhere, holding the same.
    void backupIsAFileWithTheSameContents() {
        TestEnv env;
        QCOMPARE(runTool({QStringLiteral("demo"), env.databasePath()}), 0);
        const QString file = env.folder() + QStringLiteral("/backup.mdb");
        QString output;
        QCOMPARE(runTool({QStringLiteral("backup"), env.databasePath(), file}, &output), 0);
        QCOMPARE(contentsOf(file), contentsOf(env.databasePath()));
        QCOMPARE(runTool({QStringLiteral("check"), file}, &output), 0);
        QCOMPARE(output, QStringLiteral("ok\n"));
        QCOMPARE(runTool({QStringLiteral("backup"), env.databasePath(), file}, &output), 1);
        QVERIFY2(output.contains("not overwritten"), qPrintable(output));
    }

    void checkWarnsOfLinesWithoutTheirSlip() {
        TestEnv env;
        QCOMPARE(runTool({QStringLiteral("demo"), env.databasePath()}), 0);
        env.exec(QStringLiteral("DELETE FROM tblSlip WHERE sid = 3"));
        QString output;
        QCOMPARE(runTool({QStringLiteral("check"), env.databasePath()}, &output), 0);
        QVERIFY2(output.startsWith("ok\nwarning: 5 cheque lines belong to no slip (slip keys 3)"),
                 qPrintable(output));
        QCOMPARE(runTool({QStringLiteral("repair-orphans"), env.databasePath()}, &output), 0);
        QVERIFY2(output.startsWith("Slip key 3: 5 cheque lines moved to the new slip 21"),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestDbCopy)
#include "test_dbcopy.moc"
