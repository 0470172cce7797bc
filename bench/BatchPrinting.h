#pragma once
#include "Interactions.h"

// Printing and exporting many slips from the slip list: the preview of many
// selected slips, their PDF, the month's CSV, and the memory a long preview takes.

// Every account of the benchmark gets a template, the sample ones in turn, so
// a selection mixes templates and paper sizes.
void giveEveryAccountATemplate(const BenchContext& context);

// The month's list is shown with its first `slips` rows selected (untimed).
Interaction previewSelected(const BenchContext& context, Bare& bare, int slips);
Interaction exportSelectedPdf(const BenchContext& context, Bare& bare, int slips);
Interaction exportMonthCsv(const BenchContext& context, Bare& bare);

// The memory (MB) in use before `slips` selected slips are previewed, and its
// peak while every page is shown once; below zero when the month has fewer slips.
struct PreviewMemory {
    double beforeMb = -1;
    double peakMb = -1;
};
PreviewMemory previewMemory(const BenchContext& context, int slips);
