#pragma once
// A text column as LCase gives it, without storing most of it again. A cell falls in one of three kinds:
// LCase leaves it as it is; LCase changes only ASCII capitals in it (then the original is read with
// those folded on the fly); or LCase changes other characters too (Greek, Cyrillic, full-width
// capitals...), and only then is the lower-cased cell stored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ado/text_column.h"

namespace ado {

// A lower-cased cell: the text, and whether its ASCII capitals still have to be folded by the reader.
struct LoweredCell {
    std::string_view text;
    bool foldAscii = false;
};

class CaseChanges;

// Filled by the search index's first pass, which reads every cell once anyway: it marks the cells whose
// ASCII capitals are to be folded and hands over those that must be stored lower-cased.
class LoweredText {
public:
    // Every cell as LCase leaves it, until marked. partStarts are the first rows of the parts that
    // threads fill at once (ascending, the first 0): each part stores its own cells.
    LoweredText(const TextColumn& original, std::vector<std::size_t> partStarts);
    ~LoweredText();

    // Whether LCase changes this character (asked of LCase itself, so that the two never disagree).
    bool changesCase(char32_t cp) const;
    void markFoldAscii(std::size_t row) { slots_[row] = kFoldAscii; }
    // Stores the cell of row, which lies in part, as LCase gives it; returns the stored text.
    std::string_view storeLowered(std::size_t part, std::size_t row);

    // The lower-cased cell; empty for Null.
    LoweredCell at(std::size_t row) const {
        const std::uint32_t slot = slots_[row];
        if (slot == kSame) return {original_->at(row), false};
        if (slot == kFoldAscii) return {original_->at(row), true};
        return {parts_[partOf(row)].at(slot), false};
    }
    // How many cells are stored again, and how many are folded on the fly.
    std::size_t storedRows() const;
    std::size_t foldedRows() const;
    std::size_t memoryUsed() const;

private:
    static constexpr std::uint32_t kSame = 0xFFFFFFFFu;
    static constexpr std::uint32_t kFoldAscii = 0xFFFFFFFEu;

    std::size_t partOf(std::size_t row) const;

    const TextColumn* original_;
    std::unique_ptr<const CaseChanges> changes_;
    std::vector<std::size_t> partStarts_;
    std::vector<std::uint32_t> slots_;  // per row: kSame, kFoldAscii, or its place in its part
    std::vector<TextColumn> parts_;     // the stored cells of each part
};

// Whether a lower-cased needle (which holds no ASCII capitals) occurs in a cell, and where (byte offset of
// the first occurrence at or after from); npos when it does not.
std::size_t findInLowered(const LoweredCell& cell, std::string_view needle, std::size_t from = 0);

// The ASCII fold used on the fly.
inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace ado
