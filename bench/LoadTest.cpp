#include "LoadTest.h"
#include "Amount.h"
#include "Forms.h"
#include "Measure.h"
#include "MsgBox.h"
#include "Settings.h"
#include "Statement.h"
#include "frmSlip.h"
#include "modData.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// What slip `serial` of child `child` holds: its remark names it, its lines
// and their amounts follow from it.
QString remarkOf(int child, int serial) {
    return QStringLiteral("load %1/%2").arg(child).arg(serial);
}
int linesOf(int serial) {
    return 1 + serial % 5;
}
qint64 centsOf(int child, int serial, int line) {
    return 100 + child * 1'000'000 + serial * 100 + line;
}

void fill(frmSlip& slip, const QString& account, int child, int serial) {
    slip.lblRef->clear();
    slip.cmbAcc->setEditText(account);
    slip.cmbAcc_Click();
    slip.txtSno->setText(QString::number(child * 1'000'000 + serial));
    slip.Text2->setText(QStringLiteral("PC %1").arg(child));
    slip.Text3->setPlainText(remarkOf(child, serial));
    for (int i = 0; i < frmSlip::kChequeLines; ++i) {
        const bool used = i < linesOf(serial);
        slip.Text1[i]->setText(used ? QStringLiteral("%1").arg(i + 1, 6, 10, QLatin1Char('0')) : QString());
        slip.Bank[i]->setEditText(QStringLiteral("Bank %1").arg(i));
        slip.City[i]->setEditText(QStringLiteral("City %1").arg(i));
        slip.Amount[i]->setText(Amount::formatCents(used ? centsOf(child, serial, i) : 0));
    }
}

struct Saved {
    int child;
    int serial;
    qint64 sid;
};

// Every slip reported saved is there with its own header and lines; returns
// what is wrong.
QStringList problemsWith(const std::vector<Saved>& saved) {
    auto connection = Connection::create();
    connection->open(GetDatabasePath(), kDatabasePassword);
    QStringList problems;
    std::map<qint64, int> keys;
    for (const Saved& s : saved) {
        if (++keys[s.sid] > 1)
            problems << QStringLiteral("key %1 reported twice").arg(s.sid);
        Statement header(*connection,
                         QStringLiteral("SELECT remarks, depositedBy FROM tblSlip WHERE sid = ?"));
        header.bind({s.sid});
        if (!header.next()) {
            problems << QStringLiteral("slip %1 (%2) lost").arg(s.sid).arg(remarkOf(s.child, s.serial));
            continue;
        }
        if (header.value(0).toString() != remarkOf(s.child, s.serial) ||
            header.value(1).toString() != QStringLiteral("PC %1").arg(s.child))
            problems << QStringLiteral("slip %1 holds %2, not %3")
                            .arg(s.sid)
                            .arg(header.value(0).toString(), remarkOf(s.child, s.serial));
        Statement lines(
            *connection,
            QStringLiteral("SELECT cents(amount) FROM tblSlipDetails WHERE sid = ? ORDER BY sdid"));
        lines.bind({s.sid});
        QList<qint64> found, expected;
        while (lines.next())
            found << lines.value(0).toLongLong();
        for (int i = 0; i < linesOf(s.serial); ++i)
            expected << centsOf(s.child, s.serial, i);
        if (found != expected)
            problems << QStringLiteral("slip %1 has other lines than its own").arg(s.sid);
    }
    return problems;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size() - 1) + 0.5))];
}

} // namespace

int runLoadChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 6)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const int child = QString::fromLocal8Bit(argv[3]).toInt();
    const int seconds = QString::fromLocal8Bit(argv[4]).toInt();
    const int interval = QString::fromLocal8Bit(argv[5]).toInt();
    setApplicationFolder(folder);
    Settings::useFile(folder + QStringLiteral("/load-%1.ini").arg(child));
    MsgBox::setTestMode(true);
    try {
        frmSlip& slip = Forms::get<frmSlip>();
        const QString account = slip.cmbAcc->itemText(0);
        QElapsedTimer clock;
        clock.start();
        for (int serial = 1; clock.elapsed() < seconds * 1000LL; ++serial) {
            const qint64 due = qint64(serial - 1) * interval;
            if (clock.elapsed() < due)
                QThread::msleep(static_cast<unsigned long>(due - clock.elapsed()));
            fill(slip, account, child, serial);
            MsgBox::clearShown();
            QElapsedTimer save;
            save.start();
            const bool stored = slip.saveData();
            const double ms = save.nsecsElapsed() / 1e6;
            if (stored)
                std::printf("saved %d %d %s %.3f\n", child, serial, qPrintable(slip.lblRef->text()), ms);
            else
                std::printf("refused %d %d %.3f %s\n", child, serial, ms,
                            qPrintable(MsgBox::shown().isEmpty()
                                           ? QString()
                                           : MsgBox::shown().last().text.section('\n', 0, 0)));
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "load child %d: %s\n", child, error.what());
        return 1;
    }
    return 0;
}

void runLoadTest(const QString& applicationFolder, const LoadOptions& options) {
    std::vector<std::unique_ptr<QProcess>> children;
    for (int child = 1; child <= options.processes; ++child) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(),
                       {QLatin1String(kLoadChildFlag), applicationFolder, QString::number(child),
                        QString::number(options.seconds), QString::number(options.intervalMs)});
        children.push_back(std::move(process));
    }
    std::vector<Saved> saved;
    std::vector<double> times;
    QStringList refusals;
    for (auto& process : children) {
        if (!process->waitForFinished((options.seconds + 120) * 1000) || process->exitCode() != 0)
            throw std::runtime_error("a load child did not finish");
        for (const QByteArray& line : process->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.value(0) == "saved" && words.size() == 5) {
                saved.push_back({words[1].toInt(), words[2].toInt(), words[3].toLongLong()});
                times.push_back(words[4].toDouble());
            } else if (words.value(0) == "refused") {
                refusals << QString::fromUtf8(line);
                times.push_back(words.value(3).toDouble());
            }
        }
    }
    const QStringList problems = problemsWith(saved);
    std::printf("Load test: %d processes, each saving a slip every %d ms for %d s\n", options.processes,
                options.intervalMs, options.seconds);
    std::printf("  %zu saves stored, %lld refused (busy), %lld lost or mixed\n", saved.size(),
                static_cast<long long>(refusals.size()), static_cast<long long>(problems.size()));
    std::printf("  save time: median %.1f ms, 99th percentile %.1f ms, largest %.1f ms\n", medianOf(times),
                percentile(times, 0.99), times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()));
    for (const QString& problem : problems.mid(0, 10))
        std::printf("  PROBLEM: %s\n", qPrintable(problem));
    for (const QString& refusal : refusals.mid(0, 5))
        std::printf("  %s\n", qPrintable(refusal));
}
