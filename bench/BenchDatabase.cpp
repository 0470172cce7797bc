#include "BenchDatabase.h"
#include "BareSqlite.h"
#include "BulkData.h"
#include "DatabaseLink.h"
#include "SqliteLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

bool holdsSlips(const QString& path, int slips) {
    if (!isServerAddress(path) && !QFileInfo::exists(path))
        return false;
    try {
        const auto db = Bare::open(path);
        // Exactly this many slips, each with its lines: the same database as built.
        return db->rows(QStringLiteral("SELECT 1 FROM tblSlip WHERE sid = %1 AND sid = (SELECT max(sid) FROM "
                                       "tblSlip) AND (SELECT count(*) FROM tblSlip) = %1")
                            .arg(slips)
                            .toUtf8()
                            .constData()) == 1;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

// The server's database is built where it stands, after what an earlier build left is dropped.
void buildOnServer(const QString& address, int slips) {
    std::fprintf(stderr, "Building a database of %d slips on %s ...\n", slips, qPrintable(address));
    BarePg(address).exec(
        "DROP TABLE IF EXISTS tblSlipDetails, tblSlip, tblAcc, cheqoraAccess; "
        "DROP FUNCTION IF EXISTS format(text, text), cents(numeric), tblacc_key(), tblslip_key(), "
        "tblslipdetails_key()");
    BulkDataSpec spec;
    spec.slips = slips;
    createBulkDatabase(address, spec);
}

bool ensureBenchDatabase(const QString& path, int slips) {
    if (holdsSlips(path, slips))
        return false;
    if (isServerAddress(path)) {
        buildOnServer(path, slips);
        return true;
    }
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
    pathFile.write(databasePath.toUtf8());
    pathFile.close();
    // The templates built beside this program; every bench account prints on the first one.
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/Reports/");
    for (const QString& name : QDir(built).entryList(QDir::Files)) {
        QFile::remove(folder + QStringLiteral("/Reports/") + name);
        QFile::copy(built + name, folder + QStringLiteral("/Reports/") + name);
    }
}
