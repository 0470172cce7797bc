#pragma once
#include <QString>

// Several PCs saving at once: processes of this program, each with a slip
// window of its own on the one database, store a slip every interval. Each
// prints the time of every save; the parent then checks that every slip
// reported saved is stored whole and with its own lines (none lost, none
// mixed) and prints the times.
struct LoadOptions {
    int processes = 10;
    int seconds = 60;
    int intervalMs = 200;
};

inline constexpr const char* kLoadChildFlag = "--load-child";

// Runs the load test against the database named by path.txt in applicationFolder.
void runLoadTest(const QString& applicationFolder, const LoadOptions& options);
// A child: argv = program, flag, folder, child number, seconds, interval.
int runLoadChild(int argc, char* argv[]);
