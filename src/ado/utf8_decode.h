#pragma once
// A lenient UTF-8 decoder for the search index: it never fails, it reports malformed bytes instead.
#include <cstddef>
#include <string_view>

namespace ado {

// Decodes the code point at text[at] and moves at past it. A malformed byte gives U+FFFD, moves one
// byte on and sets malformed.
inline char32_t nextCodePoint(std::string_view text, std::size_t& at, bool& malformed) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        malformed = true;
        return 0xFFFD;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80) {
            ++at;
            malformed = true;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp > 0x10FFFF || (length == 2 && cp < 0x80) || (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000)) {
        ++at;
        malformed = true;
        return 0xFFFD;
    }
    at += length;
    return cp;
}

}  // namespace ado
