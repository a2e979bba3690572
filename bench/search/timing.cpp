#include "timing.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

namespace bench {

double quantile(std::vector<double> samples, double q) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

namespace {
double statusMegabytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;  // the line is in kB
    return 0;
}
}  // namespace

double residentMegabytes() { return statusMegabytes("VmRSS:"); }
double peakResidentMegabytes() { return statusMegabytes("VmHWM:"); }

}  // namespace bench
