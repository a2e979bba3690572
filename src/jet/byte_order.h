#pragma once
// Little-endian integers and floats at a byte position; callers check the bounds first.
#include <bit>
#include <cstdint>
#include <cstring>

namespace jet::detail {

inline std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t le24(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16; }
inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint64_t le64(const std::uint8_t* p) { return std::uint64_t(le32(p)) | std::uint64_t(le32(p + 4)) << 32; }
inline double leDouble(const std::uint8_t* p) { return std::bit_cast<double>(le64(p)); }
inline float leFloat(const std::uint8_t* p) { return std::bit_cast<float>(le32(p)); }

}  // namespace jet::detail
