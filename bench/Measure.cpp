#include "Measure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

double medianOf(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

namespace {

double runOnce(const Interaction& interaction) {
    if (interaction.prepare)
        interaction.prepare();
    const double ms = timeMs(interaction.run);
    if (interaction.finish)
        interaction.finish();
    // Between two actions of the operator the event loop runs idle: the
    // updates and layout requests a run posted are handled here, untimed, and
    // do not pile up for the next run to wade through.
    QCoreApplication::processEvents();
    return ms;
}

} // namespace

Figure measure(const Interaction& interaction, int repetitions) {
    runOnce(interaction);
    interaction.bound();
    std::vector<double> runs;
    std::vector<double> bounds;
    std::vector<double> databaseWork;
    for (int i = 0; i < repetitions; ++i) {
        runs.push_back(runOnce(interaction));
        bounds.push_back(timeMs(interaction.bound));
        if (interaction.databaseWork)
            databaseWork.push_back(timeMs(interaction.databaseWork));
    }
    Figure figure{interaction.name, medianOf(runs), medianOf(bounds)};
    if (interaction.databaseWork)
        figure.databaseMs = medianOf(databaseWork);
    return figure;
}

QString formatTable(const std::vector<Figure>& figures) {
    int width = 11;
    for (const Figure& figure : figures)
        width = std::max(width, int(figure.name.size()));
    QString table = QStringLiteral("%1 | %2 | %3 | %4\n")
                        .arg(QStringLiteral("interaction"), -width)
                        .arg(QStringLiteral("median ms"), 10)
                        .arg(QStringLiteral("lower bound ms"), 14)
                        .arg(QStringLiteral("ratio"), 6);
    table += QString(width, QLatin1Char('-')) + QStringLiteral("-|------------|----------------|-------\n");
    for (const Figure& figure : figures) {
        const QString ratio = figure.boundMs > 0 ? QString::number(figure.medianMs / figure.boundMs, 'f', 2)
                                                 : QStringLiteral("-");
        table += QStringLiteral("%1 | %2 | %3 | %4\n")
                     .arg(figure.name, -width)
                     .arg(figure.medianMs, 10, 'f', 3)
                     .arg(figure.boundMs, 14, 'f', 3)
                     .arg(ratio, 6);
    }
    return table;
}

QString formatSplitTable(const std::vector<Figure>& figures) {
    QString table;
    for (const Figure& figure : figures) {
        if (figure.databaseMs < 0 || figure.boundMs <= 0)
            continue;
        const double rest = qMax(0.0, figure.medianMs - figure.databaseMs);
        table += QStringLiteral("%1 | %2 | %3 | %4 | %5\n")
                     .arg(figure.name, -30)
                     .arg(figure.databaseMs, 11, 'f', 3)
                     .arg(rest, 12, 'f', 3)
                     .arg(figure.boundMs, 14, 'f', 3)
                     .arg((rest + figure.boundMs) / figure.boundMs, 11, 'f', 2);
    }
    if (table.isEmpty())
        return table;
    return QStringLiteral("%1 | %2 | %3 | %4 | %5\n")
               .arg(QStringLiteral("interaction"), -30)
               .arg(QStringLiteral("database ms"), 11)
               .arg(QStringLiteral("the rest ms"), 12)
               .arg(QStringLiteral("lower bound ms"), 14)
               .arg(QStringLiteral("least ratio"), 11) +
           QString(30, QLatin1Char('-')) +
           QStringLiteral("-|-------------|--------------|----------------|------------\n") + table;
}
