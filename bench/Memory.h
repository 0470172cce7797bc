#pragma once

// Resident memory of this process in MB, from /proc/self/status (0 where unknown).
namespace Memory {

// Starts a new peak: later peakMb() counts from now. False when the system
// does not allow it (the peak then counts from the process start).
bool resetPeak();
double peakMb();
double residentMb();

} // namespace Memory
