#pragma once
// Finding one lower-cased needle in many lower-cased cells. The needle's shift table is built once per
// search rather than once per cell, as memmem would, which is what a search over hundreds of thousands
// of short cells spends most of its time on.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ado/lowered_text.h"

namespace ado {

class NeedleFinder {
public:
    // needle is lower-cased (it holds no ASCII capitals) and not empty.
    explicit NeedleFinder(std::string_view needle);

    // The byte offset of the needle's first occurrence at or after from in the cell, or npos; a cell
    // whose ASCII capitals are still to be folded is compared folded.
    std::size_t find(const LoweredCell& cell, std::size_t from = 0) const;
    // Whether the needle occurs exactly at offset at.
    bool occursAt(const LoweredCell& cell, std::size_t at) const;

private:
    std::string needle_;
    std::array<std::uint8_t, 256> shift_{};  // Horspool's shift for the byte under the needle's last
};

}  // namespace ado
