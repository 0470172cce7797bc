// Feeds arbitrary text to the amount readers and the "0.00" format.
#include "Amount.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto cents = Amount::parseCents(text)) {
        // A stored amount formats back to exactly the hundredths that were read.
        const QString shown = Amount::format(Amount::centsToValue(*cents));
        const auto again = Amount::parseCents(shown);
        if (!again || *again != *cents)
            __builtin_trap();
    }
    const double total = Amount::leadingNumber(text);
    if (!std::isfinite(total))
        __builtin_trap();
    Amount::format(total);
    return 0;
}
