#include "Startup.h"
#include "Forms.h"
#include "SlipMain.h"
#include "modData.h"
#include "modReport.h"

#include <QCoreApplication>

SlipMain& startCheqora() {
    QCoreApplication::setApplicationName(QStringLiteral("Cheqora"));
    setApplicationFolder(QCoreApplication::applicationDirPath());
    installConnectionFailureMessage();
    SlipMain& mainWindow = Forms::get<SlipMain>();
    mainWindow.showMaximized();
    return mainWindow;
}

void stopCheqora() {
    Forms::closeAll();
    g_Report.reset();
    g_Connection.reset();
}
