#include "ado/lowered_text.h"

#include <atomic>
#include <string>

#include "ado/parallel.h"
#include "ado/sql/text.h"

namespace ado {

LoweredText::LoweredText(const TextColumn& original)
    : original_(&original), slots_(original.size(), kSame), parts_((original.size() + kPartRows - 1) / kPartRows) {
    // Parts are handed out one at a time so that both cores stay busy whatever the texts' lengths.
    std::atomic<std::size_t> nextPart{0};
    runParts(partsFor(original.size(), 4096), [&](std::size_t) {
        std::string lowered;
        for (std::size_t part; (part = nextPart.fetch_add(1)) < parts_.size();) {
            const std::size_t first = part * kPartRows;
            const std::size_t last = std::min(original.size(), first + kPartRows);
            TextColumn& changed = parts_[part];
            for (std::size_t row = first; row < last; ++row) {
                if (original.isNull(row)) continue;
                const std::string_view text = original.at(row);
                sql::lowerCase(text, lowered);
                if (lowered == text) continue;
                slots_[row] = static_cast<std::uint32_t>(changed.size());
                changed.append(lowered);
            }
            changed.shrinkToFit();
        }
    });
}

std::size_t LoweredText::changedRows() const {
    std::size_t count = 0;
    for (const auto& part : parts_) count += part.size();
    return count;
}

std::size_t LoweredText::memoryUsed() const {
    std::size_t bytes = slots_.capacity() * sizeof(std::uint32_t);
    for (const auto& part : parts_) bytes += part.memoryUsed();
    return bytes;
}

}  // namespace ado
