#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The three tables of a Cheqora database, the password verifier and the
// indexes the windows' queries use.
namespace Schema {

// Creates a new database file; throws DbError when the file exists already.
void createDatabase(const QString& path, const QString& password);

// Throws DbError when db is not a SQLite database, lacks one of the three
// tables or one of their columns (in their order), or its password verifier
// does not match password.
void checkDatabase(QSqlDatabase& db, const QString& password);

// The statements that build an empty database (tables, indexes, verifier table).
QStringList creationStatements();

// Salted SHA-256 of the password, as stored in the verifier table.
QString passwordHash(const QString& salt, const QString& password);

} // namespace Schema
