#pragma once
// Usage maps: the bitmaps that say which pages belong to a table (or index).
#include <cstdint>
#include <vector>

#include "jet/database_state.h"

namespace jet::detail {

// The pages the map stored in the row at `pointer` (page << 8 | row) marks, ascending. Throws
// jet::Error when the map is damaged or marks pages beyond the file.
std::vector<std::uint32_t> readUsageMap(const DatabaseState& db, std::uint32_t pointer);

}  // namespace jet::detail
