#pragma once
// One cell's value as read from or written to an Access file.
#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace jet {

// Access's Currency: a 64-bit count of ten-thousandths.
struct Currency {
    std::int64_t units = 0;
    std::string toString() const;  // "12.3400" style, always four decimals
    friend bool operator==(const Currency&, const Currency&) = default;
};

// Access's Date/Time: days since 1899-12-30, the fraction being the time of day.
struct DateTime {
    double days = 0;
    std::string toString() const;  // "YYYY-MM-DD HH:MM:SS"
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A GUID (replication id) in the byte order the file stores it.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};
    std::string toString() const;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    friend bool operator==(const Guid&, const Guid&) = default;
};

// OLE objects and binary columns: raw bytes.
struct Bytes {
    std::string data;
    friend bool operator==(const Bytes&, const Bytes&) = default;
};

// Access's Decimal (numeric): sign, 96..128-bit unsigned mantissa, scale digits after the point.
struct Decimal {
    bool negative = false;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    unsigned __int128 mantissa = 0;
    std::string toString() const;  // plain decimal notation, e.g. "-12.50"
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

using Null = std::monostate;
using Value = std::variant<Null, bool, std::int64_t, double, std::string /* text, UTF-8 */, Currency, DateTime, Guid,
                           Bytes, Decimal>;

inline bool isNull(const Value& v) { return std::holds_alternative<Null>(v); }

}  // namespace jet
