// Builds a benchmark database: cheqora-bench-make-db FILE [SLIPS]
#include "BulkData.h"
#include "DbError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fputs("Usage: cheqora-bench-make-db FILE [SLIPS]\n", stderr);
        return 2;
    }
    BulkDataSpec spec;
    if (args.size() > 2)
        spec.slips = args[2].toInt();
    QElapsedTimer timer;
    timer.start();
    try {
        createBulkDatabase(args[1], spec);
    } catch (const DbError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("%d slips in %.1f s\n", spec.slips, timer.elapsed() / 1000.0);
    return 0;
}
