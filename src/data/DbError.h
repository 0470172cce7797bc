#pragma once
#include <QString>
#include <stdexcept>

// A failure of the database layer. what() carries the description that the
// windows show to the operator unchanged.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& description) : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

// What the operator reads for the failures every engine describes alike; the
// engine's own text follows in brackets.
namespace DbMessages {
inline QString busy() {
    return QStringLiteral("The database is busy: another user is saving at this moment. Nothing was stored; "
                          "please try again.");
}
inline QString diskFull() {
    return QStringLiteral("The disk is full: nothing was stored. Make room on the disk and try again.");
}
// Why no save may begin when a commit may not reach the disk.
inline QString notDurable(const QString& reason) {
    return QStringLiteral("Nothing can be stored: the database cannot be made to write each save through to "
                          "the disk, so a saved slip might not survive a power cut.\n(%1)")
        .arg(reason);
}
} // namespace DbMessages
