#include "ado/text_column.h"

#include "ado/memory_hints.h"

namespace ado {

void TextColumn::reserve(std::size_t rows, std::size_t bytes) {
    offsets_.reserve(rows + 1);
    nulls_.reserve(rows / 64 + 1);
    if (bytes <= bytes_.capacity()) return;
    bytes_.reserve(bytes);
    adviseHugePages(bytes_.data(), bytes_.capacity());
}

void TextColumn::markRow(bool null) {
    const std::size_t row = size();
    if (row % 64 == 0) nulls_.push_back(0);
    if (null) nulls_.back() |= std::uint64_t{1} << (row % 64);
}

void TextColumn::append(std::string_view text) {
    markRow(false);
    bytes_.append(text);
    offsets_.push_back(bytes_.size());
}

void TextColumn::appendNull() {
    markRow(true);
    offsets_.push_back(bytes_.size());
}

void TextColumn::append(const TextColumn& other) {
    reserve(size() + other.size(), bytes_.size() + other.bytes_.size());
    for (std::size_t row = 0; row < other.size(); ++row) {
        if (other.isNull(row))
            appendNull();
        else
            append(other.at(row));
    }
}

std::size_t TextColumn::memoryUsed() const {
    return bytes_.capacity() + offsets_.capacity() * sizeof(std::uint64_t) + nulls_.capacity() * sizeof(std::uint64_t);
}

void TextColumn::shrinkToFit() {
    bytes_.shrink_to_fit();
    offsets_.shrink_to_fit();
    nulls_.shrink_to_fit();
}

}  // namespace ado
