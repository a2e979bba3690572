#pragma once
// Putting little- and big-endian integers into page buffers; callers size the buffers first.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace jet::create {

using Bytes = std::vector<std::uint8_t>;

inline void put16(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v); p[1] = std::uint8_t(v >> 8); }
inline void put24(std::uint8_t* p, std::uint32_t v) { put16(p, v); p[2] = std::uint8_t(v >> 16); }
inline void put32(std::uint8_t* p, std::uint32_t v) { put16(p, v); put16(p + 2, v >> 16); }
inline void put64(std::uint8_t* p, std::uint64_t v) { put32(p, std::uint32_t(v)); put32(p + 4, std::uint32_t(v >> 32)); }
inline void putBig24(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v >> 16); p[1] = std::uint8_t(v >> 8); p[2] = std::uint8_t(v); }
inline void putBig32(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v >> 24); putBig24(p + 1, v); }

// Appending to a growing byte string.
inline void append8(Bytes& b, std::uint32_t v) { b.push_back(std::uint8_t(v)); }
inline void append16(Bytes& b, std::uint32_t v) { b.resize(b.size() + 2); put16(&b[b.size() - 2], v); }
inline void append32(Bytes& b, std::uint32_t v) { b.resize(b.size() + 4); put32(&b[b.size() - 4], v); }
inline void appendBig32(Bytes& b, std::uint32_t v) { b.resize(b.size() + 4); putBig32(&b[b.size() - 4], v); }
inline void appendDouble(Bytes& b, double v) { b.resize(b.size() + 8); put64(&b[b.size() - 8], std::bit_cast<std::uint64_t>(v)); }
inline void appendBytes(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline void appendZeros(Bytes& b, std::size_t n) { b.resize(b.size() + n, 0); }

}  // namespace jet::create
