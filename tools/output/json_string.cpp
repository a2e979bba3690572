#include "output/json_string.h"

#include <array>
#include <cstdint>

namespace tool {
namespace {

constexpr std::array<bool, 256> needsEscape = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = true;
    table['"'] = true;
    table['\\'] = true;
    table[0x7f] = true;  // DEL: allowed in JSON, but invisible and awkward in terminals
    return table;
}();

// The escape sequence for one character that needsEscape; scratch holds the \u00XX forms.
std::string_view escapeFor(unsigned char c, char (&scratch)[6])
{
    switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\b': return "\\b";
    case '\f': return "\\f";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: {
        static constexpr char hex[] = "0123456789abcdef";
        scratch[0] = '\\';
        scratch[1] = 'u';
        scratch[2] = '0';
        scratch[3] = '0';
        scratch[4] = hex[c >> 4];
        scratch[5] = hex[c & 15];
        return {scratch, 6};
    }
    }
}

// Calls emit with the literal's pieces: runs of plain text and escape sequences.
template <typename Emit>
void forEachPiece(std::string_view text, Emit&& emit)
{
    char scratch[6];
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (!needsEscape[c])
            continue;
        emit(text.substr(runStart, i - runStart));
        emit(escapeFor(c, scratch));
        runStart = i + 1;
    }
    emit(text.substr(runStart));
}

}  // namespace

void writeJsonString(OutputBuffer& out, std::string_view text)
{
    out.put('"');
    forEachPiece(text, [&](std::string_view piece) { out.put(piece); });
    out.put('"');
}

std::string jsonString(std::string_view text)
{
    std::string result = "\"";
    forEachPiece(text, [&](std::string_view piece) { result += piece; });
    result += '"';
    return result;
}

}  // namespace tool
