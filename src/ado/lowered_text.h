#pragma once
// A text column as LCase gives it, without storing most of it again. A cell falls in one of three kinds:
// LCase leaves it as it is; LCase changes only ASCII capitals in it (then the original is read with
// those folded on the fly); or LCase changes other characters too (Greek, Cyrillic, full-width
// capitals...), and only then is the lower-cased cell stored.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ado/text_column.h"

namespace ado {

// A lower-cased cell: the text, and whether its ASCII capitals still have to be folded by the reader.
struct LoweredCell {
    std::string_view text;
    bool foldAscii = false;
};

class LoweredText {
public:
    // Lowers every cell of original (which must outlive this object), using every core.
    explicit LoweredText(const TextColumn& original);

    // The lower-cased cell; empty for Null.
    LoweredCell at(std::size_t row) const {
        const std::uint32_t slot = slots_[row];
        if (slot == kSame) return {original_->at(row), false};
        if (slot == kFoldAscii) return {original_->at(row), true};
        return {parts_[row / kPartRows].at(slot), false};
    }
    // How many cells are stored again, and how many are folded on the fly.
    std::size_t storedRows() const;
    std::size_t foldedRows() const;
    std::size_t memoryUsed() const;

private:
    static constexpr std::uint32_t kSame = 0xFFFFFFFFu;
    static constexpr std::uint32_t kFoldAscii = 0xFFFFFFFEu;
    static constexpr std::size_t kPartRows = std::size_t{1} << 16;  // rows per part, built by one thread

    const TextColumn* original_;
    std::vector<std::uint32_t> slots_;  // per row: kSame, kFoldAscii, or its place in its part
    std::vector<TextColumn> parts_;     // the stored cells of rows [p * kPartRows, (p + 1) * kPartRows)
};

// Whether a lower-cased needle (which holds no ASCII capitals) occurs in a cell, and where (byte offset of
// the first occurrence at or after from); npos when it does not.
std::size_t findInLowered(const LoweredCell& cell, std::string_view needle, std::size_t from = 0);

// The ASCII fold used on the fly.
inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace ado
