// cheqora-bench: the program's interactions on a large database, each beside
// the bare SQLite work that gives the same result. Prints its figures; it
// asserts nothing about them.
//
//   cheqora-bench [--slips N] [--database FILE|ADDRESS] [--repetitions R] [--startup-runs S]
//                 [--load-seconds S] [--load-processes P]
#include "BareSqlite.h"
#include "BatchPrinting.h"
#include "BenchDatabase.h"
#include "DatabaseLink.h"
#include "DesignerTiming.h"
#include "Interactions.h"
#include "LoadTest.h"
#include "Measure.h"
#include "Memory.h"
#include "MsgBox.h"
#include "Settings.h"
#include "StartupTiming.h"
#include "modData.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <cstdio>
#include <cstring>

namespace {

struct Options {
    int slips = 1'000'000;
    QString database;
    int repetitions = 21;
    int startupRuns = 11;
    QString only; // runs only the interactions whose name contains it (for profiling)
    LoadOptions load;
};

Options parseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times Cheqora's interactions on a large database."));
    parser.addHelpOption();
    const QCommandLineOption slips(QStringLiteral("slips"), QStringLiteral("Slips in the database."),
                                   QStringLiteral("N"), QStringLiteral("1000000"));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The database file or postgresql:// address, built when it does not hold N slips "
                       "(default: bench-data/bench-N.mdb beside this program)."),
        QStringLiteral("FILE"));
    const QCommandLineOption repetitions(QStringLiteral("repetitions"),
                                         QStringLiteral("Timed runs of each interaction."),
                                         QStringLiteral("R"), QStringLiteral("21"));
    const QCommandLineOption startupRuns(QStringLiteral("startup-runs"),
                                         QStringLiteral("Timed program starts."), QStringLiteral("S"),
                                         QStringLiteral("11"));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Runs only the interactions whose name contains TEXT."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption loadSeconds(QStringLiteral("load-seconds"),
                                         QStringLiteral("Length of the load test (0: none)."),
                                         QStringLiteral("S"), QStringLiteral("60"));
    const QCommandLineOption loadProcesses(QStringLiteral("load-processes"),
                                           QStringLiteral("Processes saving at once in the load test."),
                                           QStringLiteral("P"), QStringLiteral("10"));
    parser.addOptions({slips, database, repetitions, startupRuns, only, loadSeconds, loadProcesses});
    parser.process(app);
    Options options;
    bool ok = true;
    options.slips = parser.value(slips).toInt(&ok);
    if (!ok || options.slips < 1)
        parser.showHelp(2);
    options.repetitions = qMax(1, parser.value(repetitions).toInt());
    options.startupRuns = qMax(1, parser.value(startupRuns).toInt());
    options.only = parser.value(only);
    options.load.seconds = qMax(0, parser.value(loadSeconds).toInt());
    options.load.processes = qMax(1, parser.value(loadProcesses).toInt());
    const QString named = parser.value(database);
    options.database = !parser.isSet(database)
                           ? QCoreApplication::applicationDirPath() +
                                 QStringLiteral("/bench-data/bench-%1.mdb").arg(options.slips)
                       : isServerAddress(named) ? named
                                                : QFileInfo(named).absoluteFilePath();
    return options;
}

void useApplicationFolder(const QString& folder, const QString& databasePath) {
    prepareApplicationFolder(folder, databasePath);
    setApplicationFolder(folder);
    Settings::useFile(folder + QStringLiteral("/settings.ini"));
    MsgBox::setTestMode(true);
}

int runBenchmark(const Options& options) {
    QElapsedTimer building;
    building.start();
    if (ensureBenchDatabase(options.database, options.slips))
        std::printf("Built the database in %.1f s.\n", building.elapsed() / 1000.0);
    const QString folder =
        isServerAddress(options.database)
            ? QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data/app-server")
            : QFileInfo(options.database).absolutePath() +
                  QStringLiteral("/app-%1").arg(QFileInfo(options.database).completeBaseName());
    useApplicationFolder(folder, options.database);

    const BenchContext context = findBenchContext(options.database);
    const auto bareDatabase = Bare::open(options.database);
    Bare& bare = *bareDatabase;
    const auto cleanUp = qScopeGuard([&] {
        closeBenchWindows();
        g_Connection.reset();
        removeBenchSlips(context, bare);
    });
    Reconnect(); // what the main window does when it loads

    const auto chosen = [&](const QString& name) { return name.contains(options.only, Qt::CaseInsensitive); };
    std::vector<Figure> figures;
    for (const Interaction& interaction : programInteractions(context, bare)) {
        if (chosen(interaction.name))
            figures.push_back(measure(interaction, options.repetitions));
    }

    // Many slips at once: their preview, their PDF (a few runs: each takes
    // seconds) and the month's CSV.
    giveEveryAccountATemplate(context);
    for (const Interaction& interaction :
         {previewSelected(context, bare, 100), exportSelectedPdf(context, bare, 100),
          exportMonthCsv(context, bare)}) {
        if (chosen(interaction.name))
            figures.push_back(measure(interaction, interaction.name.contains(QStringLiteral("PDF"))
                                                       ? qMin(options.repetitions, 5)
                                                       : options.repetitions));
    }
    const PreviewMemory preview =
        chosen(QStringLiteral("preview 1000")) ? previewMemory(context, 1000) : PreviewMemory{};
    closeBenchWindows();

    const bool peakReset = Memory::resetPeak();
    const Interaction list = monthList(context, bare);
    if (chosen(list.name))
        figures.push_back(measure(list, options.repetitions));
    QCoreApplication::processEvents();
    const double peak = Memory::peakMb();
    const double resident = Memory::residentMb();
    closeBenchWindows();

    if (chosen(startupName()))
        figures.push_back(measureStartup(folder, options.database, options.startupRuns));
    std::optional<DesignerFigures> designer;
    if (chosen(QStringLiteral("designer")))
        designer = measureDesigner(folder + QStringLiteral("/designer"), options.repetitions);

    std::printf("\nCheqora benchmark: %d slips in %s\n", options.slips, qPrintable(options.database));
    std::printf("Month listed: %s to %s; median of %d runs (%d program starts)\n\n",
                qPrintable(context.monthFrom.toString(Qt::ISODate)),
                qPrintable(context.monthTo.toString(Qt::ISODate)), options.repetitions, options.startupRuns);
    std::printf("%s\n", qPrintable(formatTable(figures)));
    const QString split = formatSplitTable(figures);
    if (!split.isEmpty())
        std::printf("Where the time of a run goes: the program's own database work alone, and the rest\n"
                    "(the window or the page). The least ratio is the one the run would have if its\n"
                    "database work cost no more than the lower bound.\n\n%s\n",
                    qPrintable(split));
    if (designer)
        std::printf("%s\n", qPrintable(formatDesignerFigures(*designer)));
    std::printf("Memory with the month's slip list shown: peak %.1f MB%s, resident %.1f MB\n", peak,
                peakReset ? "" : " (since the process started)", resident);
    if (preview.peakMb >= 0)
        std::printf("Memory while 1000 selected slips are previewed, every page shown once: peak %.1f MB "
                    "(%.1f MB in use before the preview opened)\n",
                    preview.peakMb, preview.beforeMb);
    if (options.load.seconds > 0 && chosen(QStringLiteral("load test"))) {
        std::printf("\n");
        std::fflush(stdout);
        runLoadTest(folder, options.load);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], kStartupChildFlag) == 0)
        return runStartupChild(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], kBareOpenChildFlag) == 0)
        return runBareOpenChild(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], kLoadChildFlag) == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return runLoadChild(argc, argv);
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = parseOptions(app);
    try {
        return runBenchmark(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cheqora-bench: %s\n", error.what());
        return 1;
    }
}
