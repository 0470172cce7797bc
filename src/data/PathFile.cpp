#include "PathFile.h"

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Steps over one delimiter at pos: a comma, or a line end where CR LF counts once.
qsizetype skipDelimiter(const QByteArray& data, qsizetype pos) {
    if (pos >= data.size())
        return pos;
    if (data[pos] == ',')
        return pos + 1;
    if (data[pos] == '\r' && pos + 1 < data.size() && data[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

} // namespace

QString lastPathItem(const QByteArray& data) {
    QByteArray result;
    qsizetype pos = 0;
    const qsizetype size = data.size();
    while (pos < size) {
        while (pos < size && (data[pos] == ' ' || data[pos] == '\t'))
            ++pos;
        QByteArray item;
        if (pos < size && data[pos] == '"') {
            const qsizetype close = data.indexOf('"', pos + 1);
            const qsizetype end = close < 0 ? size : close;
            item = data.mid(pos + 1, end - pos - 1);
            pos = close < 0 ? size : close + 1;
            // Whatever follows the closing quote up to the delimiter is dropped.
            while (pos < size && data[pos] != ',' && !isLineEnd(data[pos]))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < size && data[pos] != ',' && !isLineEnd(data[pos]))
                ++pos;
            item = data.mid(start, pos - start);
        }
        pos = skipDelimiter(data, pos);
        result = item;
    }
    return QString::fromUtf8(result);
}
