#pragma once
// The cells of one text column kept in one contiguous UTF-8 buffer: offsets say where each cell
// starts, a bitmap which cells are Null. Cheap to read by row, cheap to scan.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ado {

class TextColumn {
public:
    TextColumn() { offsets_.push_back(0); }

    void reserve(std::size_t rows, std::size_t bytes);
    void append(std::string_view text);
    void appendNull();
    // Appends every cell of another column after this one's.
    void append(const TextColumn& other);

    std::size_t size() const { return offsets_.size() - 1; }
    bool isNull(std::size_t row) const { return (nulls_[row / 64] >> (row % 64)) & 1u; }
    // The cell's text; empty for Null.
    std::string_view at(std::size_t row) const {
        return std::string_view(bytes_.data() + offsets_[row], offsets_[row + 1] - offsets_[row]);
    }
    std::optional<std::string_view> cell(std::size_t row) const {
        if (isNull(row)) return std::nullopt;
        return at(row);
    }
    std::size_t byteCount() const { return bytes_.size(); }
    // Memory held, in bytes.
    std::size_t memoryUsed() const;
    void shrinkToFit();

private:
    void markRow(bool null);

    std::string bytes_;
    std::vector<std::uint64_t> offsets_;  // size() + 1 entries
    std::vector<std::uint64_t> nulls_;    // one bit per row
};

}  // namespace ado
