#include "Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    startCheqora();
    return QApplication::exec();
}
