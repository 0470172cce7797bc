#include "ExportCommand.h"
#include "Connection.h"
#include "DbError.h"
#include "SlipCsv.h"
#include "modData.h"

#include <QDate>
#include <QFile>
#include <cstdio>
#include <optional>

namespace {

struct ExportRequest {
    QString database;
    QDate from;
    QDate to;
    QString file; // empty: standard output
};

// Fails with a message on stderr for anything but DB --from DATE --to DATE [FILE].
std::optional<ExportRequest> parse(const QStringList& arguments) {
    ExportRequest request;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--from") || argument == QLatin1String("--to")) {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            const QDate date = QDate::fromString(arguments[++i], Qt::ISODate);
            if (!date.isValid()) {
                std::fprintf(stderr, "cheqora-db: \"%s\" is no date; give it as yyyy-MM-dd\n",
                             qPrintable(arguments[i]));
                return std::nullopt;
            }
            (argument == QLatin1String("--from") ? request.from : request.to) = date;
        } else {
            rest << argument;
        }
    }
    if (rest.isEmpty() || rest.size() > 2 || !request.from.isValid() || !request.to.isValid())
        return std::nullopt;
    request.database = rest[0];
    request.file = rest.value(1);
    return request;
}

} // namespace

int exportCommand(const QStringList& arguments) {
    const std::optional<ExportRequest> request = parse(arguments);
    if (!request) {
        std::fputs("Usage: cheqora-db export FILE --from yyyy-MM-dd --to yyyy-MM-dd [CSV]\n", stderr);
        return 2;
    }
    try {
        auto connection = Connection::create();
        connection->open(request->database, kDatabasePassword);
        SlipCsv::Written written;
        if (request->file.isEmpty()) {
            QFile out;
            if (!out.open(stdout, QIODevice::WriteOnly))
                throw DbError(QStringLiteral("Standard output cannot be written."));
            written = SlipCsv::write(*connection, request->from, request->to, out);
        } else {
            // As every file the tool makes: an existing one is never overwritten.
            if (QFile::exists(request->file))
                throw DbError(
                    QStringLiteral("'%1' exists already; it is not overwritten.").arg(request->file));
            written = SlipCsv::writeFile(*connection, request->from, request->to, request->file);
            std::printf("Wrote %d cheque lines of %d slips to %s\n", written.lines, written.slips,
                        qPrintable(request->file));
        }
    } catch (const DbError& error) {
        std::fprintf(stderr, "cheqora-db: %s\n", error.what());
        return 1;
    }
    return 0;
}
