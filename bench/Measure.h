#pragma once
#include <QString>
#include <functional>
#include <vector>

// One interaction of the program beside its lower bound, the bare SQLite work
// that gives the same result.
struct Interaction {
    QString name;
    std::function<void()> prepare; // untimed, before each run (may be empty)
    std::function<void()> run;     // timed: what the operator waits for
    std::function<void()> finish;  // untimed, after each run (may be empty)
    std::function<void()> bound;   // timed: the lower bound
    // Timed when given: the run's database work alone, through the program's
    // own data layer; the rest of the run is the window or the page.
    std::function<void()> databaseWork;
};

struct Figure {
    QString name;
    double medianMs = 0;
    double boundMs = 0;
    double databaseMs = -1; // below zero: not measured
};

double medianOf(std::vector<double> values);

// One untimed warm-up of each side, then `repetitions` runs of the
// interaction and of its bound, taken in turns so both see the same machine.
Figure measure(const Interaction& interaction, int repetitions);

// Milliseconds one call of work takes.
double timeMs(const std::function<void()>& work);

// The figures as a table: interaction, median ms, lower bound ms, ratio.
QString formatTable(const std::vector<Figure>& figures);

// For the figures whose database work was measured apart: that work, the rest
// of the run, and the least ratio the run could reach if its database work
// cost no more than the bound. Empty when none was measured apart.
QString formatSplitTable(const std::vector<Figure>& figures);
