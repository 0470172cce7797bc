// cheqora-db: creates and looks after Cheqora database files.
#include "Backup.h"
#include "DatabaseCopy.h"
#include "DbError.h"
#include "DemoData.h"
#include "ExportCommand.h"
#include "OrphanLines.h"
#include "Schema.h"
#include "modData.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <functional>

namespace {

const char* const kUsage =
    "Usage: cheqora-db COMMAND DATABASE...\n"
    "\n"
    "A DATABASE is a SQLite file, or a database on a PostgreSQL server named by a\n"
    "libpq address: postgresql://USER@HOST:PORT/DATABASE (the password from the\n"
    "address, PGPASSWORD or ~/.pgpass).\n"
    "\n"
    "Commands:\n"
    "  init DATABASE   create an empty Cheqora database (tables, indexes, password\n"
    "              check); on a server, in an empty database that exists\n"
    "  demo DATABASE   the same, with demo accounts and slips\n"
    "  backup DATABASE DEST\n"
    "              copy DATABASE to the SQLite file DEST as it stands at one moment,\n"
    "              also while Cheqora is running; DEST appears only once the copy\n"
    "              is complete and sound, and Cheqora opens it on any PC\n"
    "  copy FROM TO\n"
    "              copy every account, slip and cheque line with its key from FROM\n"
    "              into TO (a new file, or an empty Cheqora database), checking\n"
    "              counts and every slip's total before it commits\n"
    "  check DATABASE  print \"ok\" when DATABASE is a sound Cheqora database (a\n"
    "              file's integrity check, the tables and their columns, the\n"
    "              password check) and say why not otherwise; warn of cheque lines\n"
    "              without their slip\n"
    "  repair-orphans DATABASE\n"
    "              give cheque lines without their slip a new slip each (per old\n"
    "              slip key), dated today, so that the slip list shows them\n"
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

int init(const QStringList& args) {
    Schema::createDatabase(args[0], kDatabasePassword);
    std::printf("Created %s\n", qPrintable(args[0]));
    return 0;
}

int demo(const QStringList& args) {
    DemoData::createDemoDatabase(args[0], kDatabasePassword);
    std::printf("Created %s\n", qPrintable(args[0]));
    return 0;
}

int backup(const QStringList& args) {
    Backup::copyDatabase(args[0], args[1], kDatabasePassword);
    std::printf("Copied %s to %s\n", qPrintable(args[0]), qPrintable(args[1]));
    return 0;
}

int copy(const QStringList& args) {
    const DatabaseCopy::Copied copied = DatabaseCopy::copy(args[0], args[1], kDatabasePassword);
    std::printf("Copied %lld accounts, %lld slips and %lld cheque lines from %s to %s; counts and every "
                "slip's total agree\n",
                copied.accounts, copied.slips, copied.lines, qPrintable(args[0]), qPrintable(args[1]));
    return 0;
}

int check(const QStringList& args) {
    Backup::checkDatabase(args[0], kDatabasePassword);
    std::printf("ok\n");
    const QList<OrphanLines::Group> orphans = OrphanLines::find(args[0], kDatabasePassword);
    if (orphans.isEmpty())
        return 0;
    int lines = 0;
    QStringList keys;
    for (const OrphanLines::Group& group : orphans) {
        lines += group.lines;
        keys << QString::number(group.oldKey);
    }
    // A warning, not a fault of the file: the slips were deleted, their lines stayed.
    std::printf("warning: %d cheque lines belong to no slip (slip keys %s); \"cheqora-db repair-orphans %s\" "
                "makes them visible\n",
                lines, qPrintable(keys.join(QStringLiteral(", "))), qPrintable(args[0]));
    return 0;
}

int repairOrphans(const QStringList& args) {
    const QList<OrphanLines::Repair> repairs = OrphanLines::repair(args[0], kDatabasePassword);
    if (repairs.isEmpty())
        std::printf("No cheque lines without their slip.\n");
    for (const OrphanLines::Repair& repair : repairs)
        std::printf("Slip key %lld: %d cheque line%s moved to the new slip %lld, Sr. No %lld\n",
                    repair.group.oldKey, repair.group.lines, repair.group.lines == 1 ? "" : "s",
                    repair.newKey, repair.serialNumber);
    return 0;
}

struct Command {
    const char* name;
    qsizetype arguments;
    std::function<int(const QStringList&)> run;
};

const Command kCommands[] = {
    {"init", 1, init}, {"demo", 1, demo},   {"backup", 2, backup},
    {"copy", 2, copy}, {"check", 1, check}, {"repair-orphans", 1, repairOrphans},
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Its range options make its arguments vary in number.
    if (!args.isEmpty() && args[0] == QLatin1String("export"))
        return exportCommand(args.mid(1));
    for (const Command& command : kCommands) {
        if (args.isEmpty() || args[0] != QLatin1String(command.name))
            continue;
        if (args.size() - 1 != command.arguments)
            return usage();
        try {
            return command.run(args.mid(1));
        } catch (const DbError& error) {
            std::fprintf(stderr, "cheqora-db: %s\n", error.what());
            return 1;
        }
    }
    return usage();
}
