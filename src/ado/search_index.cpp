#include "ado/search_index.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <utility>

#include "ado/memory_hints.h"
#include "ado/needle_finder.h"
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

// The next code point of a lower-cased cell, folding ASCII capitals where the cell asks for it.
char32_t nextLowered(const LoweredCell& cell, std::size_t& at, bool& malformed) {
    const char32_t cp = nextCodePoint(cell.text, at, malformed);
    return cell.foldAscii && cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
}

// The parts that threads build at once, and their first rows.
std::size_t partsOf(std::size_t rows) { return partsFor(rows, 8192); }

std::vector<std::size_t> partStarts(std::size_t rows) {
    std::vector<std::size_t> starts;
    for (std::size_t part = 0; part < partsOf(rows); ++part) starts.push_back(rowRange(rows, part, partsOf(rows)).first);
    return starts;
}

}  // namespace

SearchIndex::SearchIndex(const TextColumn& original)
    : original_(&original), lowered_(original, partStarts(original.size())), listOf_(-1) {
    build();
}

void SearchIndex::build() {
    const std::size_t rows = original_->size();
    const std::size_t parts = partsOf(rows);
    // Pass 1: which cells LCase changes, and how many rows hold each character, per part. Each cell is
    // decoded once: its characters are kept while it is read, and replaced by those of its lower-cased
    // form only when LCase changes more than ASCII capitals in it.
    std::vector<CodePointMap<std::uint32_t>> counts(parts, CodePointMap<std::uint32_t>(0));
    std::vector<char> malformed(parts, 0);
    runParts(parts, [&](std::size_t part) {
        auto [first, last] = rowRange(rows, part, parts);
        CodePointMap<std::uint32_t>& count = counts[part];
        CodePointMap<std::uint32_t> lastRow(kNoRow);
        std::vector<char32_t> characters;
        bool bad = false;
        for (std::size_t row = first; row < last; ++row) {
            if (original_->isNull(row)) continue;
            const std::string_view text = original_->at(row);
            characters.clear();
            bool capitals = false, changes = false, doubtful = false;
            for (std::size_t at = 0; at < text.size() && !changes;) {
                const char32_t cp = nextCodePoint(text, at, doubtful);
                if (cp >= 'A' && cp <= 'Z') {
                    capitals = true;
                    characters.push_back(cp + 32);
                } else if (cp >= 0x80 && lowered_.changesCase(cp)) {
                    changes = true;
                } else {
                    characters.push_back(cp);
                }
            }
            if (changes || doubtful) {
                // Text that is not valid UTF-8 is stored as LCase gives it too: that is what is searched.
                const std::string_view stored = lowered_.storeLowered(part, row);
                characters.clear();
                for (std::size_t at = 0; at < stored.size();) characters.push_back(nextCodePoint(stored, at, bad));
            } else if (capitals) {
                lowered_.markFoldAscii(row);
            }
            for (const char32_t cp : characters) {
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

    // Pass 2: fill them, 64 rows at a time. A row holds dozens of characters and every common one has a
    // bitmap of its own, so setting bits row by row would miss the cache at nearly every character;
    // gathering a block's bits per character first writes each bitmap once per 64 rows, in order.
    runParts(parts, [&](std::size_t part) {
        auto [first, last] = rowRange(rows, part, parts);
        std::vector<std::uint32_t>& slot = cursor[part];
        std::vector<std::uint64_t> blockBits(lists_.size(), 0);
        std::vector<std::uint32_t> touched;
        bool bad = false;
        for (std::size_t block = first; block < last; block += 64) {
            const std::size_t end = std::min(last, block + 64);
            for (std::size_t row = block; row < end; ++row) {
                if (original_->isNull(row)) continue;
                const std::uint64_t bit = std::uint64_t{1} << (row % 64);
                const LoweredCell cell = lowered_.at(row);
                for (std::size_t at = 0; at < cell.text.size();) {
                    const auto list = static_cast<std::uint32_t>(listOf_.get(nextLowered(cell, at, bad)));
                    std::uint64_t& bits = blockBits[list];
                    if (bits == 0) touched.push_back(list);
                    bits |= bit;
                }
            }
            for (const std::uint32_t list : touched) {
                PostingList& postings = lists_[list];
                std::uint64_t bits = std::exchange(blockBits[list], 0);
                if (postings.isBitmap()) {
                    postings.setWord(block / 64, bits);
                    continue;
                }
                for (; bits != 0; bits &= bits - 1)
                    postings.setSlot(slot[list]++, static_cast<std::uint32_t>(block + static_cast<unsigned>(std::countr_zero(bits))));
            }
            touched.clear();
        }
    });
}

Matches SearchIndex::find(std::string_view needle, const Matches* earlier, std::string_view earlierNeedle) const {
    Matches found;
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
    // A one-character needle is answered by its row list alone (when every cell was read without doubt).
    const bool confirm = characters > 1 || malformed_ || bad;

    // Candidates: the rarest character's rows, or the earlier matches when they are fewer.
    // Earlier matches whose places are known are cheap to confirm even when they are many.
    const bool resumable = earlier && !earlier->positions.empty() && needle.starts_with(earlierNeedle);
    const bool useEarlier = earlier && (resumable || earlier->rows.size() <= lists.front()->count());
    std::vector<std::uint32_t> ownCandidates;
    std::size_t sifted = 0;  // how many of the lists the candidates already satisfy
    if (!useEarlier) {
        // Common characters have bitmaps: the rows holding all of them come from ANDing whole words.
        std::size_t bitmaps = 0;
        while (bitmaps < lists.size() && bitmaps < 4 && lists[bitmaps]->isBitmap()) ++bitmaps;
        if (bitmaps >= 2) {
            const std::size_t wordCount = lists.front()->words().size();
            for (std::size_t word = 0; word < wordCount; ++word) {
                std::uint64_t bits = lists[0]->words()[word];
                for (std::size_t b = 1; b < bitmaps && bits != 0; ++b) bits &= lists[b]->words()[word];
                for (; bits != 0; bits &= bits - 1)
                    ownCandidates.push_back(static_cast<std::uint32_t>(word * 64 + static_cast<unsigned>(std::countr_zero(bits))));
            }
            sifted = bitmaps;
        } else {
            lists.front()->appendRows(ownCandidates);
            sifted = 1;
        }
        if (!confirm) {
            found.rows = std::move(ownCandidates);
            return found;
        }
    }
    const std::vector<std::uint32_t>& candidates = useEarlier ? earlier->rows : ownCandidates;
    const bool resume = useEarlier && resumable;
    // A few more characters sift the candidates before any text is read.
    const std::size_t firstFilter = sifted;
    const std::size_t lastFilter = std::min(lists.size(), firstFilter + 3);

    const NeedleFinder finder(needle);
    const std::size_t parts = partsFor(candidates.size(), 16384);
    std::vector<Matches> partFound(parts);
    runParts(parts, [&](std::size_t part) {
        const std::size_t first = candidates.size() * part / parts;
        const std::size_t last = candidates.size() * (part + 1) / parts;
        Matches& out = partFound[part];
        // Candidates are scattered over the whole text: their cells are asked for a few rows ahead, so
        // that several loads are under way at once rather than one cache miss after another.
        constexpr std::size_t kAhead = 8;
        const auto placeOf = [&](std::size_t i) -> std::size_t {
            return resume && earlier->positions[i] != Matches::kUnknown ? earlier->positions[i] : 0;
        };
        for (std::size_t i = first; i < last; ++i) {
            if (i + kAhead < last) prefetchForRead(lowered_.at(candidates[i + kAhead]).text.data() + placeOf(i + kAhead));
            const std::uint32_t row = candidates[i];
            bool keep = true;
            for (std::size_t f = firstFilter; f < lastFilter && keep; ++f) keep = lists[f]->contains(row);
            if (!keep || original_->isNull(row)) continue;
            const LoweredCell cell = lowered_.at(row);
            // The first occurrence of the longer needle cannot lie before the shorter one's.
            const std::size_t at = finder.find(cell, placeOf(i));
            if (at == std::string_view::npos) continue;
            out.rows.push_back(row);
            out.positions.push_back(static_cast<std::uint32_t>(at));
        }
    });
    if (parts == 1) return std::move(partFound[0]);
    std::size_t total = 0;
    for (const auto& part : partFound) total += part.rows.size();
    found.rows.reserve(total);
    found.positions.reserve(total);
    for (const auto& part : partFound) {
        found.rows.insert(found.rows.end(), part.rows.begin(), part.rows.end());
        found.positions.insert(found.positions.end(), part.positions.begin(), part.positions.end());
    }
    return found;
}

std::size_t SearchIndex::memoryUsed() const {
    std::size_t bytes = lowered_.memoryUsed() + listOf_.memoryUsed();
    for (const auto& list : lists_) bytes += list.memoryUsed() + sizeof(PostingList);
    return bytes;
}

}  // namespace ado
