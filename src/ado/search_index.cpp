#include "ado/search_index.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string.h>  // memmem

#include "ado/parallel.h"
#include "ado/utf8_decode.h"

namespace ado {
namespace {

constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;

// The rows [first, last) of part `part` out of `parts`, cut at multiples of 64 so that two parts never
// share a bitmap word.
std::pair<std::size_t, std::size_t> rowRange(std::size_t rows, std::size_t part, std::size_t parts) {
    const auto cut = [&](std::size_t p) { return p == parts ? rows : (rows * p / parts) & ~std::size_t{63}; };
    return {cut(part), cut(part + 1)};
}

bool contains(std::string_view haystack, std::string_view needle) {
    return needle.size() <= haystack.size() &&
           memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

}  // namespace

SearchIndex::SearchIndex(const TextColumn& original) : original_(&original), lowered_(original), listOf_(-1) { build(); }

void SearchIndex::build() {
    const std::size_t rows = original_->size();
    const std::size_t parts = partsFor(rows, 8192);
    // Pass 1: how many rows hold each character, per part.
    std::vector<CodePointMap<std::uint32_t>> counts(parts, CodePointMap<std::uint32_t>(0));
    std::vector<char> malformed(parts, 0);
    runParts(parts, [&](std::size_t part) {
        auto [first, last] = rowRange(rows, part, parts);
        CodePointMap<std::uint32_t>& count = counts[part];
        CodePointMap<std::uint32_t> lastRow(kNoRow);
        bool bad = false;
        for (std::size_t row = first; row < last; ++row) {
            if (original_->isNull(row)) continue;
            const std::string_view text = lowered_.at(row);
            for (std::size_t at = 0; at < text.size();) {
                const char32_t cp = nextCodePoint(text, at, bad);
                std::uint32_t& seen = lastRow[cp];
                if (seen != row) {
                    seen = static_cast<std::uint32_t>(row);
                    ++count[cp];
                }
            }
        }
        malformed[part] = bad;
    });
    malformed_ = std::find(malformed.begin(), malformed.end(), 1) != malformed.end();

    // The lists, and where each part starts writing in the sorted ones.
    CodePointMap<std::uint32_t> totals(0);
    for (const auto& count : counts) count.forEach([&](char32_t cp, std::uint32_t n) { totals[cp] += n; });
    std::vector<std::vector<std::uint32_t>> cursor(parts);
    totals.forEach([&](char32_t cp, std::uint32_t total) {
        listOf_[cp] = static_cast<std::int32_t>(lists_.size());
        lists_.emplace_back(total, rows);
        std::uint32_t start = 0;
        for (std::size_t part = 0; part < parts; ++part) {
            cursor[part].push_back(start);
            start += counts[part].get(cp);
        }
    });
    counts.clear();

    // Pass 2: fill them.
    runParts(parts, [&](std::size_t part) {
        auto [first, last] = rowRange(rows, part, parts);
        std::vector<std::uint32_t>& slot = cursor[part];
        std::vector<std::uint32_t> lastRow(lists_.size(), kNoRow);
        bool bad = false;
        for (std::size_t row = first; row < last; ++row) {
            if (original_->isNull(row)) continue;
            const std::string_view text = lowered_.at(row);
            for (std::size_t at = 0; at < text.size();) {
                const auto list = static_cast<std::uint32_t>(listOf_.get(nextCodePoint(text, at, bad)));
                if (lastRow[list] == row) continue;
                lastRow[list] = static_cast<std::uint32_t>(row);
                PostingList& postings = lists_[list];
                if (postings.isBitmap())
                    postings.setBit(static_cast<std::uint32_t>(row));
                else
                    postings.setSlot(slot[list]++, static_cast<std::uint32_t>(row));
            }
        }
    });
}

std::vector<std::uint32_t> SearchIndex::find(std::string_view needle, const std::vector<std::uint32_t>* within) const {
    std::vector<std::uint32_t> found;
    if (needle.empty()) return found;

    // The needle's distinct characters; one that no row holds means no match at all.
    std::vector<const PostingList*> lists;
    std::size_t characters = 0;
    bool bad = false;
    for (std::size_t at = 0; at < needle.size(); ++characters) {
        const std::int32_t list = listOf_.get(nextCodePoint(needle, at, bad));
        if (list < 0) return found;
        if (std::find(lists.begin(), lists.end(), &lists_[list]) == lists.end()) lists.push_back(&lists_[list]);
    }
    std::sort(lists.begin(), lists.end(), [](auto* a, auto* b) { return a->count() < b->count(); });
    const bool confirm = characters > 1 || malformed_ || bad;

    // Candidates: the rarest character's rows, or the rows the caller allows when they are fewer.
    std::vector<std::uint32_t> ownCandidates;
    const std::vector<std::uint32_t>* candidates = within;
    std::size_t firstFilter = 0;
    if (!within || within->size() > lists.front()->count()) {
        lists.front()->appendRows(ownCandidates);
        candidates = &ownCandidates;
        firstFilter = 1;
        if (!confirm && !within) return ownCandidates;
    }
    // A few more characters sift the candidates before the text is read.
    const std::size_t lastFilter = std::min(lists.size(), firstFilter + 3);

    const std::size_t parts = partsFor(candidates->size(), 16384);
    std::vector<std::vector<std::uint32_t>> partFound(parts);
    runParts(parts, [&](std::size_t part) {
        const std::size_t first = candidates->size() * part / parts;
        const std::size_t last = candidates->size() * (part + 1) / parts;
        std::vector<std::uint32_t>& out = partFound[part];
        for (std::size_t i = first; i < last; ++i) {
            const std::uint32_t row = (*candidates)[i];
            bool keep = true;
            for (std::size_t f = firstFilter; f < lastFilter && keep; ++f) keep = lists[f]->contains(row);
            if (keep && confirm) keep = !original_->isNull(row) && contains(lowered_.at(row), needle);
            if (keep) out.push_back(row);
        }
    });
    if (parts == 1) return std::move(partFound[0]);
    std::size_t total = 0;
    for (const auto& part : partFound) total += part.size();
    found.reserve(total);
    for (const auto& part : partFound) found.insert(found.end(), part.begin(), part.end());
    return found;
}

std::size_t SearchIndex::memoryUsed() const {
    std::size_t bytes = lowered_.memoryUsed() + listOf_.memoryUsed();
    for (const auto& list : lists_) bytes += list.memoryUsed() + sizeof(PostingList);
    return bytes;
}

}  // namespace ado
