#pragma once
#include "Measure.h"

#include <QString>

// Program start to a shown main window, timed from outside as a separate
// process: this benchmark starts a copy of itself in the application folder
// that runs the program's start-up and reports when the main window is exposed.

inline constexpr const char* kStartupChildFlag = "--startup-child";
inline constexpr const char* kBareOpenChildFlag = "--bare-open-child";

// In the child: the program's whole start-up; prints "exposed" and returns
// once the main window is on the screen.
int runStartupChild(int argc, char* argv[]);
// In the child of the lower bound: opens the database with the C interface
// alone, reads the password verifier and returns.
int runBareOpenChild(const char* databasePath);

inline QString startupName() {
    return QStringLiteral("start to shown main window");
}

Figure measureStartup(const QString& applicationFolder, const QString& databasePath, int runs);
