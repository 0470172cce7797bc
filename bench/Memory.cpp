#include "Memory.h"

#include <QFile>

namespace Memory {

namespace {

double statusFieldMb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

} // namespace

bool resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    // "5" resets the peak resident size to the current one.
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

double peakMb() {
    return statusFieldMb("VmHWM:");
}

double residentMb() {
    return statusFieldMb("VmRSS:");
}

} // namespace Memory
