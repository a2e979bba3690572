#include "ado/needle_finder.h"

#include <algorithm>
#include <limits>

namespace ado {
namespace {

// ASCII capitals folded, every other byte as it is: a table so that the inner loop does not branch.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> folded{};
    for (int b = 0; b < 256; ++b) folded[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    return folded;
}();

inline unsigned char byteAt(std::string_view text, std::size_t at) { return static_cast<unsigned char>(text[at]); }

}  // namespace

NeedleFinder::NeedleFinder(std::string_view needle) : needle_(needle) {
    // Shifts are capped at 255; a longer needle only shifts less far than it could.
    const std::size_t length = needle_.size();
    const auto cap = [](std::size_t n) { return static_cast<std::uint8_t>(std::min<std::size_t>(n, 255)); };
    shift_.fill(cap(length));
    for (std::size_t i = 0; i + 1 < length; ++i) {
        const auto b = static_cast<unsigned char>(needle_[i]);
        shift_[b] = cap(length - 1 - i);
        // A capital in a cell read folded stands for its small letter.
        if (b >= 'a' && b <= 'z') shift_[b - 32] = shift_[b];
    }
}

bool NeedleFinder::occursAt(const LoweredCell& cell, std::size_t at) const {
    const std::string_view text = cell.text;
    if (at > text.size() || needle_.size() > text.size() - at) return false;
    if (!cell.foldAscii) return text.compare(at, needle_.size(), needle_) == 0;
    for (std::size_t i = 0; i < needle_.size(); ++i)
        if (kFolded[byteAt(text, at + i)] != static_cast<unsigned char>(needle_[i])) return false;
    return true;
}

std::size_t NeedleFinder::find(const LoweredCell& cell, std::size_t from) const {
    const std::string_view text = cell.text;
    const std::size_t length = needle_.size();
    if (from > text.size() || length > text.size() - from) return std::string_view::npos;
    // One and two bytes: memchr-driven search does better than shifts of one or two.
    if (length <= 2) return findInLowered(cell, needle_, from);
    const auto last = static_cast<unsigned char>(needle_.back());
    for (std::size_t at = from; at + length <= text.size();) {
        const unsigned char under = byteAt(text, at + length - 1);
        if (kFolded[under] == last && occursAt(cell, at)) return at;
        at += shift_[under];
    }
    return std::string_view::npos;
}

}  // namespace ado
