#include "Forms.h"
#include "MsgBox.h"
#include "NewTemplate.h"
#include "frmDesigner.h"
#include "frmDesignerOpen.h"
#include "modData.h"

#include <QApplication>

// cheqora-designer [FILE.rpt]: with a file, designs that template; without,
// lists the database's accounts and their templates.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Cheqora"));
    setApplicationFolder(QCoreApplication::applicationDirPath());
    setConnectionFailureHandler([](const QString& message) { MsgBox::show(message); });
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = arguments[1];
        if (!frmDesigner::openFile(path, NewTemplate::accountKeyOf(path)))
            return 1;
    } else {
        Reconnect();
        Forms::get<frmDesignerOpen>().show();
    }
    return QApplication::exec();
}
