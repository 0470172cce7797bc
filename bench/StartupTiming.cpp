#include "StartupTiming.h"
#include "BareSqlite.h"
#include "SlipMain.h"
#include "Startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QWindow>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace {

// Ends the child's event loop when its window is first exposed.
class ExposeWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QCoreApplication::quit();
        return false;
    }
};

// The benchmark program itself, linked into the application folder so that
// the program's start-up finds path.txt there (it looks beside its executable).
QString childProgram(const QString& applicationFolder) {
    const QString self = QCoreApplication::applicationFilePath();
    const QString child = applicationFolder + QStringLiteral("/cheqora-bench");
    QFile::remove(child);
    if (::link(self.toLocal8Bit().constData(), child.toLocal8Bit().constData()) != 0 &&
        !QFile::copy(self, child))
        throw std::runtime_error("cannot place the benchmark program in " + applicationFolder.toStdString());
    return child;
}

// Milliseconds from starting the process to its line "done".
double timeChild(const QString& program, const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    QByteArray output;
    while (!output.contains("done\n")) {
        if (!child.waitForReadyRead(30000))
            throw std::runtime_error("the start-up child gave no answer: " + output.toStdString());
        output += child.readAllStandardOutput();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    child.waitForFinished(30000);
    return ms;
}

} // namespace

int runStartupChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SlipMain& mainWindow = startCheqora();
    ExposeWatcher watcher;
    QWindow* window = mainWindow.windowHandle();
    if (!window || !window->isExposed()) {
        if (window)
            window->installEventFilter(&watcher);
        QApplication::exec();
    }
    std::fputs("done\n", stdout);
    std::fflush(stdout);
    return 0;
}

int runBareOpenChild(const char* databasePath) {
    try {
        const auto db = Bare::open(QString::fromLocal8Bit(databasePath));
        db->rows("SELECT salt, hash FROM cheqoraAccess");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fputs("done\n", stdout);
    std::fflush(stdout);
    return 0;
}

Figure measureStartup(const QString& applicationFolder, const QString& databasePath, int runs) {
    const QString program = childProgram(applicationFolder);
    const QStringList startup{QLatin1String(kStartupChildFlag)};
    const QStringList bare{QLatin1String(kBareOpenChildFlag), databasePath};
    timeChild(program, startup);
    timeChild(program, bare);
    std::vector<double> starts;
    std::vector<double> bounds;
    for (int i = 0; i < runs; ++i) {
        starts.push_back(timeChild(program, startup));
        bounds.push_back(timeChild(program, bare));
    }
    return {startupName(), medianOf(starts), medianOf(bounds)};
}
