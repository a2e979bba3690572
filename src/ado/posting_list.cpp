#include "ado/posting_list.h"

#include <algorithm>
#include <bit>

namespace ado {

PostingList::PostingList(std::uint32_t count, std::size_t rowCount) : count_(count) {
    if (prefersBitmap(count, rowCount))
        bits_.assign(rowCount / 64 + 1, 0);
    else
        rows_.assign(count, 0);
}

bool PostingList::contains(std::uint32_t row) const {
    if (isBitmap()) return (bits_[row / 64] >> (row % 64)) & 1u;
    return std::binary_search(rows_.begin(), rows_.end(), row);
}

void PostingList::appendRows(std::vector<std::uint32_t>& out) const {
    if (!isBitmap()) {
        out.insert(out.end(), rows_.begin(), rows_.end());
        return;
    }
    out.reserve(out.size() + count_);
    for (std::size_t word = 0; word < bits_.size(); ++word) {
        for (std::uint64_t bits = bits_[word]; bits != 0; bits &= bits - 1)
            out.push_back(static_cast<std::uint32_t>(word * 64 + static_cast<unsigned>(std::countr_zero(bits))));
    }
}

}  // namespace ado
