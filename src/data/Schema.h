#pragma once
#include "DatabaseLink.h"

#include <QString>
#include <QStringList>

class Connection;

// The three tables of a Cheqora database, the password verifier and the
// indexes the windows' queries use.
namespace Schema {

// Creates a new database file, or Cheqora's tables in an empty database on a
// server (a postgresql:// address); throws DbError when the file exists
// already or the server's database holds one of the tables.
void createDatabase(const QString& target, const QString& password);

// Throws DbError when the connection's database lacks one of the three
// tables or one of their columns (in their order), or its password verifier
// does not match password.
void checkDatabase(const Connection& connection, const QString& password);

// The statements that build an empty database (tables, functions on a
// server, indexes, verifier table).
QStringList creationStatements(Engine engine);

// Salted SHA-256 of the password, as stored in the verifier table.
QString passwordHash(const QString& salt, const QString& password);

} // namespace Schema
