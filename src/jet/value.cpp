#include "jet/value.h"

#include <cmath>
#include <cstdio>

namespace jet {

std::string Currency::toString() const {
    const bool negative = units < 0;
    // Magnitude without overflow for INT64_MIN.
    const auto magnitude = negative ? std::uint64_t(0) - std::uint64_t(units) : std::uint64_t(units);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%04llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 10000), static_cast<unsigned long long>(magnitude % 10000));
    return buffer;
}

std::string DateTime::toString() const {
    if (!std::isfinite(days) || std::fabs(days) > 1e8) return {};
    // Access counts whole days from 1899-12-30 and keeps the time of day as the fraction's magnitude,
    // also before that date (-1.25 is 1899-12-29 06:00).
    double whole = std::trunc(days);
    double fraction = std::fabs(days - whole);
    auto seconds = std::int64_t(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += days < 0 ? -1 : 1;
    }
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    std::int64_t z = std::int64_t(whole) - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return buffer;
}

std::string Guid::toString() const {
    // The first three groups are little-endian in the file.
    char buffer[40];
    const auto& b = bytes;
    std::snprintf(buffer, sizeof buffer, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return buffer;
}

std::string Decimal::toString() const {
    std::string digits;
    unsigned __int128 rest = mantissa;
    do {
        digits.insert(digits.begin(), char('0' + int(rest % 10)));
        rest /= 10;
    } while (rest != 0);
    if (scale > 0) {
        if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
        digits.insert(digits.end() - scale, '.');
    }
    if (negative && mantissa != 0) digits.insert(digits.begin(), '-');
    return digits;
}

}  // namespace jet
