#pragma once
// A text column as LCase gives it. Only the cells that lower-casing changes are stored again; the others
// are read from the original column.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ado/text_column.h"

namespace ado {

class LoweredText {
public:
    // Lowers every cell of original (which must outlive this object), using every core.
    explicit LoweredText(const TextColumn& original);

    // The lower-cased cell; empty for Null.
    std::string_view at(std::size_t row) const {
        const std::uint32_t slot = slots_[row];
        if (slot == kSame) return original_->at(row);
        return parts_[row / kPartRows].at(slot);
    }
    std::size_t changedRows() const;
    std::size_t memoryUsed() const;

private:
    static constexpr std::uint32_t kSame = 0xFFFFFFFFu;
    static constexpr std::size_t kPartRows = std::size_t{1} << 16;  // rows per part, built by one thread

    const TextColumn* original_;
    std::vector<std::uint32_t> slots_;  // per row: its place in its part, or kSame
    std::vector<TextColumn> parts_;     // the changed cells of rows [p * kPartRows, (p + 1) * kPartRows)
};

}  // namespace ado
