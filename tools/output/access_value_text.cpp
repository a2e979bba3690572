#include "output/access_value_text.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace tool {

std::optional<std::string> isoDateTime(double accessDays)
{
    if (!std::isfinite(accessDays) || std::fabs(accessDays) > 1e8)
        return std::nullopt;
    double whole = std::trunc(accessDays);
    auto seconds = static_cast<long long>(std::llround(std::fabs(accessDays - whole) * 86400.0));
    auto day = static_cast<long long>(whole);
    if (seconds >= 86400) {  // rounded up to midnight: the next calendar day
        seconds -= 86400;
        ++day;
    }
    using namespace std::chrono;
    year_month_day date{sys_days{year{1899} / December / 30} + days{day}};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return std::string(text);
}

std::string currencyNumber(std::int64_t units)
{
    bool negative = units < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 10000);
    auto fraction = static_cast<unsigned>(magnitude % 10000);
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%04u", fraction);
        std::string part = digits;
        part.erase(part.find_last_not_of('0') + 1);
        text += part;
    }
    return text;
}

std::string guidText(const std::array<std::uint8_t, 16>& b)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

}  // namespace tool
