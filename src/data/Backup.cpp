#include "Backup.h"
#include "Connection.h"
#include "DatabaseCopy.h"
#include "DbError.h"
#include "SqliteLink.h"
#include "Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace Backup {

namespace {

DbError systemError(const QString& path) {
    return DbError(
        QStringLiteral("'%1' cannot be written: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

DbError notSound(const QString& path, const DbError& cause) {
    return DbError(QStringLiteral("'%1' is not a sound Cheqora database: %2").arg(path, cause.description()));
}

// Throws the cause when path is no sound Cheqora database. Opening checks the
// tables, their columns and the password verifier, as at every connect.
void verify(const QString& path, const QString& password) {
    auto connection = Connection::create();
    connection->open(path, password);
    const QStringList problems = connection->link().integrityProblems();
    if (!problems.isEmpty())
        throw DbError(problems.join(QLatin1Char('\n')));
}

void refuseDestination(const QString& source, const QString& destination) {
    const QFileInfo target(destination);
    if (isServerAddress(destination))
        throw DbError(
            QStringLiteral("A backup is written to a file; '%1' is no file name.").arg(destination));
    // Links resolved: the destination through its folder, the source itself.
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    const QString resolved = folder.isEmpty() ? target.absoluteFilePath() : folder + '/' + target.fileName();
    const QFileInfo database(isServerAddress(source) ? QString() : source);
    for (const QString& name : {database.absoluteFilePath(), database.canonicalFilePath()}) {
        for (const QString& suffix : databaseFileSuffixes()) {
            if (!name.isEmpty() && (target.absoluteFilePath() == name + suffix || resolved == name + suffix))
                throw DbError(
                    QStringLiteral("'%1' is the database or one of the files SQLite keeps beside it; "
                                   "the copy needs a name of its own.")
                        .arg(destination));
        }
    }
    if (target.exists() || target.isSymLink())
        throw DbError(QStringLiteral("'%1' exists already; it is not overwritten.").arg(destination));
}

// Every page in one step, so in one read transaction of the source: the copy is
// the database as of one moment, and in WAL mode that reader holds up no writer.
void copyPages(sqlite3* source, const QString& target) {
    if (!source)
        throw DbError(QStringLiteral("The connection is not open."));
    sqlite3* copy = nullptr;
    int code = sqlite3_open_v2(QFile::encodeName(target).constData(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    if (code == SQLITE_OK) {
        // No journal: an unfinished copy is thrown away whole.
        sqlite3_exec(copy, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
        code = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copy);
        const int finished = sqlite3_backup_finish(backup);
        code = code == SQLITE_DONE ? finished : code;
    }
    const QString message = QString::fromUtf8(copy ? sqlite3_errmsg(copy) : sqlite3_errstr(code));
    sqlite3_close(copy);
    if (code != SQLITE_OK)
        throw Connection::describe(code, message);
}

// The copy while it is made: a new file of this run beside the destination,
// removed with what SQLite made beside it unless it has been given its name.
class UnfinishedCopy {
public:
    explicit UnfinishedCopy(const QString& destination) {
        while (m_path.isEmpty()) {
            const QString name =
                destination + QStringLiteral(".%1.part")
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            const int fd =
                ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                throw systemError(destination);
            if (fd >= 0) {
                ::close(fd);
                m_path = name;
            }
        }
    }
    ~UnfinishedCopy() {
        if (m_named)
            return;
        removeDatabaseFiles(m_path);
    }
    UnfinishedCopy(const UnfinishedCopy&) = delete;
    UnfinishedCopy& operator=(const UnfinishedCopy&) = delete;

    QString path() const { return m_path; }

    // Never over a file that appeared at the destination meanwhile.
    void giveName(const QString& destination) {
        const QByteArray from = QFile::encodeName(m_path), to = QFile::encodeName(destination);
        int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) { // a file system without it
            result = ::link(from.constData(), to.constData());
            if (result == 0)
                ::unlink(from.constData());
        }
        if (result != 0)
            throw systemError(destination);
        m_named = true;
        // The new name, too, survives a power cut.
        const int folder = ::open(QFile::encodeName(QFileInfo(destination).absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }

private:
    QString m_path;
    bool m_named = false;
};

} // namespace

void copyDatabase(const QString& source, const QString& destination, const QString& password) {
    refuseDestination(source, destination);
    auto database = Connection::create();
    try {
        database->open(source, password);
    } catch (const DbError& error) {
        throw notSound(source, error);
    }
    UnfinishedCopy copy(destination);
    if (database->engine() == Engine::Sqlite) {
        copyPages(database->handle(), copy.path());
    } else {
        // A server's database is copied row by row into a new file of its own,
        // over a connection of the copy's own.
        database.reset();
        QFile::remove(copy.path());
        DatabaseCopy::copy(source, copy.path(), password);
    }
    database.reset();
    try {
        verify(copy.path(), password);
    } catch (const DbError& error) {
        throw DbError(QStringLiteral("The copy of '%1' is not sound, so it was not kept: %2")
                          .arg(source, error.description()));
    }
    copy.giveName(destination);
}

void checkDatabase(const QString& path, const QString& password) {
    try {
        verify(path, password);
    } catch (const DbError& error) {
        throw notSound(path, error);
    }
}

} // namespace Backup
