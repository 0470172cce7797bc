#include "Operations.h"
#include "modData.h"

using Operations::Kind;
using Operations::Operation;

namespace {

// The statements one successful run of the write sends, up to and including
// its COMMIT (what follows the commit - refreshing a list, reopening a window -
// no longer decides what is stored).
QStringList statementsOfOneRun(Kind kind) {
    TestEnv env;
    Operation operation(env, kind);
    if (!operation.ready())
        return {};
    auto statements = std::make_shared<QStringList>();
    Connection::setFaultInjector([statements](const QString& sql) {
        statements->append(sql);
        return false;
    });
    operation.run();
    Connection::setFaultInjector({});
    if (shownTexts() != operation.questions())
        return {};
    const qsizetype commit = statements->indexOf(QStringLiteral("COMMIT"));
    return commit < 0 ? QStringList() : statements->mid(0, commit + 1);
}

// Makes the n-th statement sent from now on fail, as a full disk or a lost file would.
void failStatement(int n) {
    auto sent = std::make_shared<int>(0);
    Connection::setFaultInjector([sent, n](const QString&) { return ++*sent == n; });
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    // Every save's promise to survive a power cut rests on synchronous=FULL.
    void aDurabilitySettingThatDoesNotTakeStopsEverySave_data() {
        QTest::addColumn<QString>("failing");
        QTest::newRow("setting it fails") << "PRAGMA synchronous=FULL";
        QTest::newRow("reading it back fails") << "PRAGMA synchronous";
    }
    void aDurabilitySettingThatDoesNotTakeStopsEverySave() {
        QFETCH(QString, failing);
        TestEnv env;
        Operation operation(env, Kind::NewSlip, [&] {
            Connection::setFaultInjector([failing](const QString& sql) { return sql == failing; });
        });
        QVERIFY(operation.ready());
        const QStringList stored = SlipTesting::dumpDatabase(env);
        operation.run();
        QVERIFY(!shownTexts().isEmpty());
        QVERIFY2(
            shownTexts().last().startsWith(QStringLiteral("Nothing can be stored: the database cannot be "
                                                          "made to write each save through to the disk")),
            qPrintable(shownTexts().last()));
        QCOMPARE(SlipTesting::dumpDatabase(env), stored);
    }

    void everyStatementFailingInTurnChangesNothing_data() { Operations::addRows(); }
    void everyStatementFailingInTurnChangesNothing() {
        QFETCH(Kind, kind);
        const QStringList statements = statementsOfOneRun(kind);
        QVERIFY2(!statements.isEmpty(), "one run without faults stores and commits");

        TestEnv env;
        Operation operation(env, kind);
        QVERIFY(operation.ready());
        const QStringList stored = SlipTesting::dumpDatabase(env);
        const QStringList shown = operation.contents();
        for (int n = 1; n <= statements.size(); ++n) {
            const QString failing = statements[n - 1];
            MsgBox::clearShown();
            failStatement(n);
            operation.run();
            Connection::setFaultInjector({});
            const QString context =
                QStringLiteral("statement %1 of %2 failing: %3").arg(n).arg(statements.size()).arg(failing);
            QVERIFY2(!shownTexts().isEmpty(), qPrintable(context));
            QVERIFY2(shownTexts().last() == QStringLiteral("Injected fault: ") + failing,
                     qPrintable(context + QStringLiteral(" / shown: ") + shownTexts().join(" / ")));
            QVERIFY2(SlipTesting::dumpDatabase(env) == stored, qPrintable(context));
            QVERIFY2(operation.stillOpen(), qPrintable(context));
            QVERIFY2(operation.contents() == shown, qPrintable(context));
        }
        qInfo("%s: %lld statements, each made to fail in turn", Operations::name(kind),
              static_cast<long long>(statements.size()));

        // With the fault gone, the same window stores what it shows.
        MsgBox::clearShown();
        operation.run();
        QCOMPARE(shownTexts(), operation.questions());
        QVERIFY(SlipTesting::dumpDatabase(env) != stored);
    }

    void aFullDiskStoresNothing() {
        TestEnv env;
        Operation operation(env, Kind::NewSlip);
        QVERIFY(operation.ready());
        // A remark longer than a page: the slip needs room the file may not take,
        // as a full disk refuses it.
        Forms::get<frmSlip>().Text3->setPlainText(QString(5000, QLatin1Char('r')));
        const QStringList stored = SlipTesting::dumpDatabase(env);
        const QStringList shown = operation.contents();
        QSqlQuery pages(g_Connection->database());
        QVERIFY(pages.exec(QStringLiteral("PRAGMA page_count")) && pages.next());
        const int pageCount = pages.value(0).toInt();
        QVERIFY(pages.exec(QStringLiteral("PRAGMA max_page_count=%1").arg(pageCount)));
        operation.run();
        QCOMPARE(MsgBox::shown().size(), 1);
        QVERIFY2(MsgBox::shown()[0].text.startsWith(QStringLiteral("The disk is full: nothing was stored.")),
                 qPrintable(MsgBox::shown()[0].text));
        QCOMPARE(SlipTesting::dumpDatabase(env), stored);
        QVERIFY(operation.stillOpen());
        QCOMPARE(operation.contents(), shown);
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
