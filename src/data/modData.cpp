#include "modData.h"
#include "PathFile.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

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
    if (!QFileInfo::exists(pathFile))
        return applicationFolder() + QStringLiteral("/data.mdb");
    QFile file(pathFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Asking for the whole limit would set aside 16 MB for a line of text.
    const qint64 wanted = file.isSequential() ? kPathFileReadLimit : qMin(file.size(), kPathFileReadLimit);
    return lastPathItem(file.read(wanted));
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
