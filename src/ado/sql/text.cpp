#include "ado/sql/text.h"

#include <algorithm>
#include <vector>

#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace ado::sql {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Maps each code point on its own: the same character always maps the same way, whatever stands
// beside it, so that a text and its capitals lower-case alike. Runs of characters that stay as they
// are are copied whole; the CJK block U+3000..U+9FFF (lead bytes E3..E9) has no cased letters and is
// passed over without a look-up.
template <typename Map>
void mapCodePoints(std::string_view text, std::string& out, Map map) {
    out.clear();
    out.reserve(text.size() + 4);
    std::size_t run = 0;  // start of the bytes not yet copied
    std::size_t offset = 0;
    while (offset < text.size()) {
        const auto lead = static_cast<unsigned char>(text[offset]);
        if (lead >= 0xE3 && lead <= 0xE9 && offset + 2 < text.size()) {
            offset += 3;
            continue;
        }
        const std::size_t at = offset;
        UChar32 c;
        U8_NEXT(text.data(), offset, text.size(), c);
        const UChar32 mapped = c < 0 ? 0xFFFD : map(c);
        if (mapped == c) continue;
        out.append(text.data() + run, at - run);
        char buffer[4];
        std::size_t length = 0;
        UBool error = false;
        U8_APPEND(buffer, length, 4, mapped, error);
        (void)error;  // mapped is a valid code point
        out.append(buffer, length);
        run = offset;
    }
    out.append(text.data() + run, text.size() - run);
}

UChar32 fold(UChar32 c) { return u_foldCase(c, U_FOLD_CASE_DEFAULT); }

UChar32 nextCodePoint(std::string_view text, std::size_t& offset) {
    UChar32 c;
    U8_NEXT(text.data(), offset, text.size(), c);
    return c < 0 ? 0xFFFD : c;
}

// UTF-16 code units that the bytes text[0, bytes) stand for.
std::size_t unitsBefore(std::string_view text, std::size_t bytes) {
    // Every byte but a continuation byte starts a character; a four-byte one takes two units.
    std::size_t units = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        units += static_cast<std::size_t>((b & 0xC0) != 0x80) + static_cast<std::size_t>(b >= 0xF0);
    }
    return units;
}

// The byte offset at which UTF-16 position `position` (1-based) starts; a position inside a surrogate
// pair moves on to the next character. text.size() when past the end.
std::size_t offsetOfPosition(std::string_view text, std::size_t position) {
    std::size_t units = 0;
    std::size_t offset = 0;
    while (offset < text.size() && units + 1 < position) {
        const auto b = static_cast<unsigned char>(text[offset]);
        units += b >= 0xF0 ? 2 : 1;
        offset += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    return std::min(offset, text.size());
}

struct FoldedText {
    std::vector<UChar32> codePoints;
    std::vector<std::size_t> units;  // UTF-16 length of each original code point
};

FoldedText foldAll(std::string_view text) {
    FoldedText folded;
    std::size_t offset = 0;
    while (offset < text.size()) {
        const UChar32 c = nextCodePoint(text, offset);
        folded.codePoints.push_back(fold(c));
        folded.units.push_back(U16_LENGTH(c));
    }
    return folded;
}

}  // namespace

void lowerCase(std::string_view text, std::string& out) {
    if (isAscii(text)) {
        out.resize(text.size());
        std::transform(text.begin(), text.end(), out.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        return;
    }
    mapCodePoints(text, out, [](UChar32 c) { return u_tolower(c); });
}

void upperCase(std::string_view text, std::string& out) {
    if (isAscii(text)) {
        out.resize(text.size());
        std::transform(text.begin(), text.end(), out.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
        return;
    }
    mapCodePoints(text, out, [](UChar32 c) { return u_toupper(c); });
}

std::string lowerCase(std::string_view text) {
    std::string out;
    lowerCase(text, out);
    return out;
}

void foldCase(std::string_view text, std::string& out) {
    if (isAscii(text)) {
        lowerCase(text, out);
        return;
    }
    mapCodePoints(text, out, fold);
}

std::string_view substringUnits(std::string_view text, std::size_t start, std::size_t count) {
    const std::size_t from = offsetOfPosition(text, start + 1);
    std::size_t offset = from;
    std::size_t units = 0;
    while (offset < text.size()) {
        const auto b = static_cast<unsigned char>(text[offset]);
        const std::size_t width = b >= 0xF0 ? 2 : 1;
        if (units + width > count) break;
        units += width;
        offset += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    return text.substr(from, std::min(offset, text.size()) - from);
}

std::size_t utf16Length(std::string_view text) { return unitsBefore(text, text.size()); }

int compareText(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        UChar32 x, y;
        if (ca < 0x80 && cb < 0x80) {
            x = ca >= 'A' && ca <= 'Z' ? ca + 32 : ca;
            y = cb >= 'A' && cb <= 'Z' ? cb + 32 : cb;
            ++i;
            ++j;
        } else {
            x = fold(nextCodePoint(a, i));
            y = fold(nextCodePoint(b, j));
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t start, bool caseless) {
    if (start < 1) start = 1;
    if (needle.empty()) return start <= utf16Length(haystack) + 1 ? start : 0;
    if (!caseless) {
        const std::size_t from = offsetOfPosition(haystack, start);
        if (from >= haystack.size()) return 0;
        const std::size_t at = haystack.find(needle, from);
        return at == std::string_view::npos ? 0 : unitsBefore(haystack, at) + 1;
    }
    const FoldedText h = foldAll(haystack);
    const FoldedText n = foldAll(needle);
    std::size_t units = 0;
    for (std::size_t i = 0; i < h.codePoints.size(); ++i) {
        if (units + 1 >= start && h.codePoints.size() - i >= n.codePoints.size() &&
            std::equal(n.codePoints.begin(), n.codePoints.end(), h.codePoints.begin() + static_cast<std::ptrdiff_t>(i)))
            return units + 1;
        units += h.units[i];
    }
    return 0;
}

bool isValidUtf8(std::string_view text) {
    std::size_t offset = 0;
    while (offset < text.size()) {
        UChar32 c;
        U8_NEXT(text.data(), offset, text.size(), c);
        if (c < 0) return false;
    }
    return true;
}

}  // namespace ado::sql
