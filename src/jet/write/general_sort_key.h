#pragma once
// Text keys in the "General" sort order of Jet 4 (Access 2000-2003, sort order 0x409): the bytes an
// index holds for a text so that its entries sort as Access sorts text, letter case ignored.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace jet::write {

inline constexpr std::uint16_t GeneralSortOrder = 0x409;

// Jet keys only the first 255 characters of a text (a long Memo included).
inline constexpr std::size_t KeyedTextLength = 255;

// The weights of a non-Null text (UTF-8) as an ascending index stores them: the sort weights of its
// characters, then the end-of-text mark 0x01 and the trailing sections (accents, then characters that
// only count when all else is equal, such as '-' and control characters), without the closing 0x00.
// Nothing when the text holds a character the writer has no weights for (anything outside
// U+0001..U+00FF) or is not valid UTF-8.
std::optional<std::vector<std::uint8_t>> generalSortWeights(std::string_view utf8);

}  // namespace jet::write
