// Feeds arbitrary bytes to the path.txt reader.
#include "PathFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = lastPathItem(contents);
    // The result is one item of the input: never longer than the input itself.
    if (path.toUtf8().size() > contents.size() * 3 + 3)
        __builtin_trap();
    return 0;
}
