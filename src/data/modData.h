#pragma once
#include "Connection.h"

#include <QString>
#include <functional>
#include <memory>

// The one shared database connection and how it is found and opened.

// The password of every Cheqora database; the report runner logs on with it too.
inline const QString kDatabasePassword = QStringLiteral("qelrt574");

// The message shown when the database cannot be opened; the program ends after it.
inline const QString kConnectionErrorMessage =
    QStringLiteral("Database Connection Error                \r\nPlease check the path.txt file");

extern std::shared_ptr<Connection> g_Connection;

// Opens g_Connection unless it is open already. A failure shows the connection
// error message and ends the program: it never returns to its caller then.
void OpenConnection();

// Drops g_Connection for a new, unopened one and opens that: what every window
// that reconnects does when it loads.
void Reconnect();

// The database file named by path.txt in the application folder (its last item),
// or data.mdb in that folder when path.txt does not exist. Never fails.
QString GetDatabasePath();

// The folder of the executable; injected by tests.
void setApplicationFolder(const QString& folder);
QString applicationFolder();

// How a connection failure reaches the operator (the windows install a message
// box) and how the program then ends (tests install one that throws).
void setConnectionFailureHandler(std::function<void(const QString& message)> handler);
void setProgramTerminator(std::function<void(int exitCode)> terminator);

// Thrown when a test's terminator lets OpenConnection return: nothing after the
// failure may run.
struct ProgramEnded {
    int exitCode;
};
