#pragma once
// Clock, order statistics and the process's memory, for the benchmark's figures.
#include <chrono>
#include <vector>

namespace bench {

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The q-quantile (0..1) of the samples, nearest rank; 0 for none.
double quantile(std::vector<double> samples, double q);

// Resident memory now and at its peak, in MiB (from /proc/self/status).
double residentMegabytes();
double peakResidentMegabytes();

}  // namespace bench
