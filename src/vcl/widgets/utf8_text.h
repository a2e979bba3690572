#pragma once
// Small helpers over UTF-8 text.
#include <string>

namespace vcl {

// The text cut to at most maxBytes bytes, never inside a character.
std::string truncateUtf8(std::string text, std::size_t maxBytes);

}  // namespace vcl
