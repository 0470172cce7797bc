#include "Forms.h"
#include "SlipMain.h"
#include "modData.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cheqora"));
    setApplicationFolder(QCoreApplication::applicationDirPath());
    installConnectionFailureMessage();

    SlipMain& mainWindow = Forms::get<SlipMain>();
    mainWindow.showMaximized();
    return QApplication::exec();
}
