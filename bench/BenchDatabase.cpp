#include "BenchDatabase.h"
#include "BareSqlite.h"
#include "BulkData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

bool holdsSlips(const QString& path, int slips) {
    if (!QFileInfo::exists(path))
        return false;
    try {
        BareSqlite db(path);
        // Exactly this many slips, each with its lines: the same database as built.
        return db.rows(QStringLiteral("SELECT 1 FROM tblSlip WHERE sid = %1 AND sid = (SELECT max(sid) FROM "
                                      "tblSlip) AND (SELECT count(*) FROM tblSlip) = %1")
                           .arg(slips)
                           .toUtf8()
                           .constData()) == 1;
    } catch (const std::exception&) {
        return false;
    }
}

void removeDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

bool ensureBenchDatabase(const QString& path, int slips) {
    if (holdsSlips(path, slips))
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    removeDatabaseFiles(path);
    // Built under another name first: an interrupted build leaves no half database behind.
    const QString building = path + QStringLiteral(".building");
    removeDatabaseFiles(building);
    std::fprintf(stderr, "Building a database of %d slips in %s ...\n", slips, qPrintable(path));
    BulkDataSpec spec;
    spec.slips = slips;
    createBulkDatabase(building, spec);
    if (!QFile::rename(building, path))
        throw std::runtime_error("cannot rename the new database to " + path.toStdString());
    return true;
}

void prepareApplicationFolder(const QString& folder, const QString& databasePath) {
    QDir().mkpath(folder + QStringLiteral("/Reports"));
    QFile pathFile(folder + QStringLiteral("/path.txt"));
    if (!pathFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + pathFile.fileName().toStdString());
    pathFile.write(QFileInfo(databasePath).absoluteFilePath().toUtf8());
    pathFile.close();
    // The templates built beside this program; every bench account prints on the first one.
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/Reports/");
    for (const QString& name : QDir(built).entryList(QDir::Files)) {
        QFile::remove(folder + QStringLiteral("/Reports/") + name);
        QFile::copy(built + name, folder + QStringLiteral("/Reports/") + name);
    }
}
