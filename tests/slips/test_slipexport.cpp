// The slip list's "Export" and `cheqora-db export` write the listed range's
// cheque lines as CSV; a CSV reader gets every field back as stored.
#include "SaveFileDialog.h"
#include "SlipCsv.h"
#include "SlipListTesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

using namespace SlipTesting;

namespace {

const QDate today = QDate::currentDate();

// The rows of a CSV file as Python's csv module reads them (RFC 4180, UTF-8
// with or without a byte order mark).
QList<QStringList> readCsv(const QString& path) {
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                             "    print(json.dumps(list(csv.reader(f, strict=True))))\n",
                             path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        qFatal("python3 could not read %s: %s", qPrintable(path), python.readAllStandardError().constData());
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue& field : row.toArray())
            fields << field.toString();
        rows << fields;
    }
    return rows;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void storeText(TestEnv& env, int sid, const QString& column, const QString& text) {
    QSqlQuery update(env.check()->database());
    update.prepare(QString("UPDATE tblSlip SET %1 = ? WHERE sid = ?").arg(column));
    update.addBindValue(text);
    update.addBindValue(sid);
    QVERIFY(update.exec());
}

} // namespace

class TestSlipExport : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SaveFileDialog::setDialog({}); }

    // Every line of the range, field by field, whatever the texts hold; the
    // list's file and the tool's are the same bytes.
    void everyFieldReadsBackAsStored_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Ravi Kumar" << QVariant(1500.5) << "1500.50";
        QTest::newRow("quotes and commas") << "O'Brien, \"Sons\" & Co" << QVariant(0.1) << "0.10";
        QTest::newRow("line breaks") << "first line\nsecond line\r\nthird" << QVariant(7) << "7.00";
        QTest::newRow("not ASCII") << QString::fromUtf8("देवनागरी Müller ₹ 😀") << QVariant(1.005) << "1.01";
        QTest::newRow("blanks at the ends") << "  padded  " << QVariant("1,500.00") << "1500.00";
        QTest::newRow("looks like a formula")
            << "=SUM(A1:A2)" << QVariant(9999999999999.99) << "9999999999999.99";
        QTest::newRow("empty") << "" << QVariant(-12.3) << "-12.30";
    }
    void everyFieldReadsBackAsStored() {
        QFETCH(QString, text);
        QFETCH(QVariant, amount);
        QFETCH(QString, written);
        TestEnv env;
        env.createDatabase();
        addSlip(env, 1, today.addDays(-1), "Before the range", {5});
        const int first = addSlip(env, 41, today, text, {amount, 2});
        addSlip(env, 43, today, "No lines", {});
        addSlip(env, 42, today, "Asha Traders", {3}, "222");
        addSlip(env, 2, today.addDays(1), "After the range", {6});
        storeText(env, first, "depositedBy", text);
        storeText(env, first, "remarks", text);

        frmSlipList* list = openList();
        QVERIFY(list);
        const QString fromList = env.folder() + "/list.csv";
        QString proposed;
        SaveFileDialog::setDialog([&](QWidget*, const QString& name) {
            proposed = name;
            return fromList;
        });
        QTest::mouseClick(list->cmdExport, Qt::LeftButton);
        QVERIFY2(MsgBox::shown().isEmpty(), qPrintable(shownTexts().join('\n')));
        const QString day = today.toString(Qt::ISODate);
        QCOMPARE(proposed, QString("slips %1 to %1.csv").arg(day));

        const QList<QStringList> expected{
            SlipCsv::kHeader,
            {"41", day, "111", text, "000100", day, "HDFC Bank", "Mumbai", written, text, text},
            {"41", day, "111", text, "000101", day, "HDFC Bank", "Mumbai", "2.00", text, text},
            {"42", day, "222", "Asha Traders", "000100", day, "HDFC Bank", "Mumbai", "3.00", "Ravi", ""}};
        const QList<QStringList> rows = readCsv(fromList);
        QCOMPARE(rows.size(), expected.size());
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i], expected[i]);
        const QByteArray bytes = contents(fromList);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFSr. No,Date,"));
        QVERIFY(bytes.endsWith("\r\n"));

        const QString fromTool = env.folder() + "/tool.csv";
        QProcess tool;
        tool.start(builtProgram("cheqora-db"),
                   {"export", env.databasePath(), "--from", day, "--to", day, fromTool});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(contents(fromTool), bytes);
    }

    // The tool refuses what it cannot do, and never overwrites a file.
    void theToolRefusesBadRequests_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("no range") << QStringList{"DB", "OUT"} << 2;
        QTest::newRow("no end") << QStringList{"DB", "--from", "2024-03-01", "OUT"} << 2;
        QTest::newRow("no date") << QStringList{"DB", "--from", "01-03-2024", "--to", "2024-03-31", "OUT"}
                                 << 2;
        QTest::newRow("existing file")
            << QStringList{"DB", "--from", "2024-03-01", "--to", "2024-03-31", "EXISTING"} << 1;
        QTest::newRow("no database") << QStringList{"NONE", "--from",     "2024-03-01",
                                                    "--to", "2024-03-31", "OUT"}
                                     << 1;
    }
    void theToolRefusesBadRequests() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        TestEnv env;
        env.createDatabase();
        QFile existing(env.folder() + "/existing.csv");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("kept");
        existing.close();
        arguments.replaceInStrings("EXISTING", existing.fileName());
        arguments.replaceInStrings("OUT", env.folder() + "/out.csv");
        arguments.replaceInStrings("NONE", env.folder() + "/none.mdb");
        arguments.replaceInStrings("DB", env.databasePath());
        QProcess tool;
        tool.start(builtProgram("cheqora-db"), QStringList{"export"} + arguments);
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), status);
        QVERIFY(!QFile::exists(env.folder() + "/out.csv"));
        QCOMPARE(contents(existing.fileName()), QByteArray("kept"));
    }
};

QTEST_MAIN(TestSlipExport)
#include "test_slipexport.moc"
