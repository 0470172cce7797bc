#include "Startup.h"
#include "Forms.h"
#include "SlipMain.h"
#include "modData.h"

#include <QCoreApplication>

SlipMain& startCheqora() {
    QCoreApplication::setApplicationName(QStringLiteral("Cheqora"));
    setApplicationFolder(QCoreApplication::applicationDirPath());
    installConnectionFailureMessage();
    SlipMain& mainWindow = Forms::get<SlipMain>();
    mainWindow.showMaximized();
    return mainWindow;
}
