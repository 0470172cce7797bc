#include "SlipMain.h"
#include "Startup.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SlipMain& mainWindow = startCheqora();
    // For automated checks of an installed copy: end once the main window is shown.
    if (qEnvironmentVariableIsSet("CHEQORA_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, [&mainWindow] {
            std::printf("%s shown\n", qPrintable(mainWindow.windowTitle()));
            QApplication::quit();
        });
    const int status = QApplication::exec();
    stopCheqora();
    return status;
}
