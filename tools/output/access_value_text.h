#pragma once
// Text forms of Access's own value kinds, as the JSON output writes them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tool {

// An Access date (days since 1899-12-30; the fraction, taken without its sign, is the time of day)
// as ISO 8601 "YYYY-MM-DDTHH:MM:SS", rounded to the second; nullopt for a value that is no date (NaN, infinite).
std::optional<std::string> isoDateTime(double accessDays);

// A Currency amount (1/10000 units) as an exact decimal number without trailing zeros: "3.5", "-0.0001", "0".
std::string currencyNumber(std::int64_t units);

// A GUID as Access shows it: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case, from the 16 bytes as
// stored (the first three groups little-endian).
std::string guidText(const std::array<std::uint8_t, 16>& bytes);

}  // namespace tool
