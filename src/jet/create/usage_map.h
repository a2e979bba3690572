#pragma once
// Usage maps: which pages belong to a table, an index or a long-value column. Small sets are kept
// in the map row itself (start page and a 512-page bitmap); larger ones in map pages that the row
// lists, each covering a fixed stretch of the file.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "jet/create/byte_writer.h"

namespace jet::create {

struct UsageMap {
    Bytes row;                                            // the map row, 69 bytes
    std::vector<std::pair<std::uint32_t, Bytes>> pages;   // map pages to write (reference maps)
};

// pages ascending; allocatePage gives page numbers for map pages when the row cannot hold the map.
UsageMap buildUsageMap(const std::vector<std::uint32_t>& pages, std::uint32_t pageSize,
                       const std::function<std::uint32_t()>& allocatePage);

// The inline bitmap row with the given pages set (all must lie within 512 pages of start).
Bytes inlineUsageMap(std::uint32_t start, const std::vector<std::uint32_t>& pages);

inline constexpr std::size_t kUsageMapRowLength = 69;
inline constexpr std::uint32_t kInlineMapPages = (kUsageMapRowLength - 5) * 8;  // 512

}  // namespace jet::create
