#include "ado/lowered_text.h"

#include <string.h>  // memmem

#include <algorithm>
#include <cstring>
#include <bitset>
#include <memory>
#include <string>

#include "ado/sql/text.h"
#include "ado/utf8_decode.h"

namespace ado {
namespace {

std::string utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

}  // namespace

// Which characters of the Basic Multilingual Plane LCase changes, asked of LCase itself one by one so
// that the two can never disagree. Characters beyond it are rare and asked each time.
class CaseChanges {
public:
    CaseChanges() {
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp < 0xE000) continue;  // surrogates are no characters of their own
            const std::string text = utf8Of(cp);
            if (sql::lowerCase(text) != text) changes_.set(cp);
        }
    }
    bool changes(char32_t cp) const {
        if (cp < 0x10000) return changes_.test(cp);
        const std::string text = utf8Of(cp);
        return sql::lowerCase(text) != text;
    }

private:
    std::bitset<0x10000> changes_;
};

LoweredText::LoweredText(const TextColumn& original, std::vector<std::size_t> partStarts)
    : original_(&original),
      changes_(std::make_unique<const CaseChanges>()),
      partStarts_(std::move(partStarts)),
      slots_(original.size(), kSame),
      parts_(partStarts_.size()) {}

LoweredText::~LoweredText() = default;

bool LoweredText::changesCase(char32_t cp) const { return changes_->changes(cp); }

std::string_view LoweredText::storeLowered(std::size_t part, std::size_t row) {
    TextColumn& stored = parts_.at(part);
    slots_[row] = static_cast<std::uint32_t>(stored.size());
    stored.append(sql::lowerCase(original_->at(row)));
    return stored.at(stored.size() - 1);
}

std::size_t LoweredText::partOf(std::size_t row) const {
    return static_cast<std::size_t>(std::upper_bound(partStarts_.begin(), partStarts_.end(), row) - partStarts_.begin()) - 1;
}

std::size_t LoweredText::storedRows() const {
    std::size_t count = 0;
    for (const auto& part : parts_) count += part.size();
    return count;
}

std::size_t LoweredText::foldedRows() const {
    std::size_t count = 0;
    for (const auto slot : slots_) count += slot == kFoldAscii;
    return count;
}

std::size_t LoweredText::memoryUsed() const {
    std::size_t bytes = slots_.capacity() * sizeof(std::uint32_t);
    for (const auto& part : parts_) bytes += part.memoryUsed();
    return bytes;
}

std::size_t findInLowered(const LoweredCell& cell, std::string_view needle, std::size_t from) {
    const std::string_view text = cell.text;
    if (from > text.size() || needle.size() > text.size() - from) return std::string_view::npos;
    const bool needleHasLetter =
        std::any_of(needle.begin(), needle.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!cell.foldAscii || !needleHasLetter) {
        // Folding ASCII capitals cannot change whether a needle without letters occurs.
        const void* hit = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
    }
    // The needle is lower-cased already; only the cell's ASCII capitals need folding. Its first byte is
    // looked for in both cases with memchr, then the rest compared folded.
    const char first = needle.front();
    const char firstUpper = first >= 'a' && first <= 'z' ? static_cast<char>(first - 32) : first;
    const char* const begin = text.data();
    const std::size_t last = text.size() - needle.size();  // the last place a match can start
    const auto next = [&](char byte, std::size_t at) -> std::size_t {
        if (at > last) return std::string_view::npos;
        const void* hit = std::memchr(begin + at, byte, last - at + 1);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - begin) : std::string_view::npos;
    };
    std::size_t lower = next(first, from);
    std::size_t upper = firstUpper == first ? std::string_view::npos : next(firstUpper, from);
    while (lower != std::string_view::npos || upper != std::string_view::npos) {
        const std::size_t at = std::min(lower, upper);
        std::size_t i = 1;
        while (i < needle.size() && foldAscii(text[at + i]) == needle[i]) ++i;
        if (i == needle.size()) return at;
        if (at == lower) lower = next(first, at + 1);
        else upper = next(firstUpper, at + 1);
    }
    return std::string_view::npos;
}

}  // namespace ado
