// Every window read through the accessibility interface, as a screen reader
// sees it: every control that takes the focus has a name, and every label that
// shows a figure lets that figure be read.
#include "Forms.h"
#include "SlipMain.h"
#include "TestEnv.h"
#include "WindowTesting.h"
#include "frmAcc.h"
#include "frmAccList.h"
#include "frmReport.h"
#include "frmSlip.h"
#include "frmSlipList.h"
#include "modReport.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>

namespace {

// What a screen reader cannot read in the tree under interface.
void collectUnreadable(QAccessibleInterface* interface, QStringList& problems) {
    if (!interface || interface->state().invisible)
        return;
    const QString name = interface->text(QAccessible::Name);
    QObject* object = interface->object();
    const QString where = object ? object->objectName() + QLatin1Char(' ') + object->metaObject()->className()
                                 : QStringLiteral("(no object)");
    // A control, not a grid cell: an empty cell reads as empty.
    if (object && interface->state().focusable && name.trimmed().isEmpty())
        problems << where + QStringLiteral(": focusable without a name");
    if (const auto* label = qobject_cast<QLabel*>(object); label && !label->text().isEmpty()) {
        if (!name.contains(label->text()) && !interface->text(QAccessible::Value).contains(label->text()))
            problems << where + QStringLiteral(": shows \"%1\", reads \"%2\"").arg(label->text(), name);
    }
    for (int i = 0; i < interface->childCount(); ++i)
        collectUnreadable(interface->child(i), problems);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyWindowCanBeReadAloud() {
        TestEnv env;
        env.createDatabase();
        env.copyReports();
        const int account = env.addAccount("111", "Asha Traders", "Fort");
        env.exec("insert into tblSlip (sno, accno, accName, branch, sdate) values (1, '111', 'Asha Traders', "
                 "'Fort', date('now'))");
        env.exec("insert into tblSlipDetails (sid, chqno, chqdate, bank, city, amount) values (1, '000001', "
                 "date('now'), 'HDFC Bank', 'Mumbai', 1250)");

        Forms::get<SlipMain>().show();
        Forms::get<frmAcc>().show();
        Forms::get<frmAccList>().show();
        Forms::get<frmSlipList>().show();
        frmSlip& slip = Forms::get<frmSlip>();
        slip.loadSlip("1");
        showActive(&slip);
        QCOMPARE(slip.lbTot->text(), QStringLiteral("1250.00"));
        ShowReport(env.folder() + QStringLiteral("/Reports/pv%1.rpt").arg(account), QString(), {1});
        frmReport& preview = Forms::get<frmReport>();
        preview.CViewer->setReportSource(g_Report);
        preview.CViewer->ViewReport();
        preview.show();

        for (QWidget* window :
             QList<QWidget*>{&Forms::get<SlipMain>(), &Forms::get<frmAcc>(), &Forms::get<frmAccList>(),
                             &Forms::get<frmSlipList>(), &slip, &preview}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QStringList problems;
            collectUnreadable(QAccessible::queryAccessibleInterface(window), problems);
            QVERIFY2(problems.isEmpty(), qPrintable(window->objectName() + QStringLiteral(":\n  ") +
                                                    problems.join(QStringLiteral("\n  "))));
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
