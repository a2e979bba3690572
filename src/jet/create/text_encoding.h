#pragma once
// Text as Jet 4 stores it: UTF-16LE, or "compressed Unicode" (0xFF 0xFE, then one byte per character)
// when every character fits a byte; and the General sort-order keys of index entries.
#include <string_view>

#include "jet/create/byte_writer.h"

namespace jet::create {

// UTF-8 to UTF-16LE bytes; throws jet::Error on invalid UTF-8.
Bytes utf16le(std::string_view utf8);

// storedText() with buffers kept from call to call, for writing many values quickly.
class TextEncoder {
public:
    // The stored form of utf8, valid until the next call.
    const Bytes& store(std::string_view utf8);

private:
    std::vector<char16_t> units_;
    Bytes stored_;
};

// The stored form of a text or memo value of a column with Unicode compression: compressed when every
// character lies in U+0001..U+00FF, the value is at most 1024 characters and compression saves space;
// UTF-16LE otherwise.
Bytes storedText(std::string_view utf8);

// An ascending index key segment for a text in the General sort order (flag, character codes, end
// marks). Only letters and digits are supported: the catalog's own names. Throws jet::Error otherwise.
Bytes generalSortKey(std::string_view asciiName);

// An ascending index key segment for a Long: flag and the value big-endian with its sign bit flipped.
Bytes longKey(std::int32_t value);

}  // namespace jet::create
