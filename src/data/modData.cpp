#include "modData.h"
#include "PathFile.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::shared_ptr<Connection> g_Connection = nullptr;

namespace {

QString& folder() {
    static QString applicationFolder;
    return applicationFolder;
}

std::function<void(const QString&)>& failureHandler() {
    static std::function<void(const QString&)> handler = [](const QString& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    };
    return handler;
}

std::function<void(int)>& terminator() {
    static std::function<void(int)> end = [](int code) { std::_Exit(code); };
    return end;
}

// path.txt is a line or two; anything far larger is not a path file.
constexpr qint64 kPathFileReadLimit = 16 * 1024 * 1024;

} // namespace

void setApplicationFolder(const QString& applicationFolderPath) {
    QString cleaned = applicationFolderPath;
    while (cleaned.size() > 1 && cleaned.endsWith(QLatin1Char('/')))
        cleaned.chop(1);
    folder() = cleaned;
}

QString applicationFolder() {
    return folder();
}

void setConnectionFailureHandler(std::function<void(const QString&)> handler) {
    failureHandler() = std::move(handler);
}

void setProgramTerminator(std::function<void(int)> end) {
    terminator() = std::move(end);
}

QString GetDatabasePath() {
    const QString pathFile = applicationFolder() + QStringLiteral("/path.txt");
    const QFileInfo info(pathFile);
    // Only when nothing at all has that name: a dangling link names a file the
    // operator meant, and data.mdb would be the wrong database.
    if (!info.exists() && !info.isSymLink())
        return applicationFolder() + QStringLiteral("/data.mdb");
    // Only a regular file is read: opening a FIFO would wait for a writer for
    // ever. O_NONBLOCK lets the open return whatever the name stands for.
    const int fd = ::open(QFile::encodeName(pathFile).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    QFile file;
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return QString();
    }
    // Asking for the whole limit would set aside 16 MB for a line of text.
    return lastPathItem(file.read(qMin(file.size(), kPathFileReadLimit)));
}

void OpenConnection() {
    try {
        if (g_Connection && g_Connection->State() == 1)
            return;
        g_Connection = Connection::create();
        g_Connection->open(GetDatabasePath(), kDatabasePassword);
        return;
    } catch (const std::exception&) {
    }
    failureHandler()(kConnectionErrorMessage);
    terminator()(1);
    throw ProgramEnded{1};
}

void Reconnect() {
    g_Connection = Connection::create();
    OpenConnection();
}
