// cheqora-db: creates and looks after Cheqora database files.
#include "Backup.h"
#include "DbError.h"
#include "DemoData.h"
#include "ExportCommand.h"
#include "Schema.h"
#include "modData.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char* const kUsage =
    "Usage: cheqora-db COMMAND FILE\n"
    "\n"
    "Commands:\n"
    "  init FILE   create an empty Cheqora database (tables, indexes, password check)\n"
    "  demo FILE   create a database with demo accounts and slips\n"
    "  backup FILE DEST\n"
    "              copy FILE to DEST consistently, also while Cheqora is running\n"
    "  check FILE  report the integrity of FILE (\"ok\" when sound)\n"
    "  export FILE --from yyyy-MM-dd --to yyyy-MM-dd [CSV]\n"
    "              write the cheque lines of the slips dated in the range as CSV\n"
    "              (to CSV, or to standard output)\n"
    "\n"
    "An existing file is never overwritten.\n"
    "Exit status: 0 done (check: the file is sound), 1 the command failed, 2 wrong usage.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("export"))
        return exportCommand(args.mid(1));
    if (args.size() < 2)
        return usage();
    const QString& command = args[0];
    const QString& file = args[1];
    const bool isBackup = command == QLatin1String("backup");
    if (args.size() != (isBackup ? 3 : 2))
        return usage();
    try {
        if (command == QLatin1String("init")) {
            Schema::createDatabase(file, kDatabasePassword);
        } else if (command == QLatin1String("demo")) {
            DemoData::createDemoDatabase(file, kDatabasePassword);
        } else if (isBackup) {
            Backup::copyDatabase(file, args[2]);
            std::printf("Copied %s to %s\n", qPrintable(file), qPrintable(args[2]));
            return 0;
        } else if (command == QLatin1String("check")) {
            const QString result = Backup::integrityCheck(file);
            std::printf("%s\n", qPrintable(result));
            return result == QLatin1String("ok") ? 0 : 1;
        } else {
            return usage();
        }
    } catch (const DbError& error) {
        std::fprintf(stderr, "cheqora-db: %s\n", error.what());
        return 1;
    }
    std::printf("Created %s\n", qPrintable(file));
    return 0;
}
