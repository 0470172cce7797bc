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
