#pragma once
// The rows holding one character: a bitmap when the character is common (one bit per row), else the
// sorted row numbers; whichever is smaller.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ado {

class PostingList {
public:
    PostingList() = default;
    // A list for count rows out of rowCount, shaped for its density; filled by set().
    PostingList(std::uint32_t count, std::size_t rowCount);

    // Whether the bitmap form is the smaller one for this many rows out of rowCount.
    static bool prefersBitmap(std::uint32_t count, std::size_t rowCount) { return std::size_t{count} * 32 >= rowCount; }

    bool isBitmap() const { return !bits_.empty(); }
    std::uint32_t count() const { return count_; }
    bool contains(std::uint32_t row) const;
    // Appends the rows, ascending.
    void appendRows(std::vector<std::uint32_t>& out) const;
    // The bitmap's words (empty for the sorted form).
    const std::vector<std::uint64_t>& words() const { return bits_; }
    std::size_t memoryUsed() const { return bits_.capacity() * 8 + rows_.capacity() * 4; }

    // Filling while the index is built: set a bit (bitmap) or write the row at slot (sorted form).
    // Threads may fill at once when they touch different 64-row words and different slots.
    void setBit(std::uint32_t row) { bits_[row / 64] |= std::uint64_t{1} << (row % 64); }
    void setWord(std::size_t word, std::uint64_t bits) { bits_[word] = bits; }
    void setSlot(std::uint32_t slot, std::uint32_t row) { rows_[slot] = row; }

private:
    std::uint32_t count_ = 0;
    std::vector<std::uint64_t> bits_;
    std::vector<std::uint32_t> rows_;
};

}  // namespace ado
