// Feeds arbitrary text to the amount readers and the "0.00" format.
#include "Amount.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto cents = Amount::parseCents(text)) {
        // A stored amount formats back to exactly the hundredths that were read.
        const QString shown = Amount::formatCents(*cents);
        const auto again = Amount::parseCents(shown);
        if (!again || *again != *cents)
            __builtin_trap();
        // Stored as the nearest double, it reads back as the same hundredths.
        const auto stored = Amount::storedCents(Amount::centsToValue(*cents));
        if (!stored || *stored != *cents)
            __builtin_trap();
    }
    if (const auto stored = Amount::storedCents(QVariant(text));
        stored && std::llabs(*stored) > Amount::kLargestCents)
        __builtin_trap();
    if (!std::isfinite(Amount::leadingNumber(text)))
        __builtin_trap();
    return 0;
}
