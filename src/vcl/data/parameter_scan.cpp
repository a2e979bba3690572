#include "vcl/data/parameter_scan.h"

namespace vcl {

namespace {

bool isQuote(char c)
{
    return c == '"' || c == '\'' || c == '`';
}

bool endsMarker(char c)
{
    return c == '\n' || c == '\r' || c == ' ' || c == ')' || c == ',' || c == ';';
}

// The index just past the literal that opens at text[open]: at its closing quote, or the end of the text.
// A doubled quote character stands for one and keeps the literal open.
std::size_t literalEnd(std::string_view text, std::size_t open)
{
    const char quote = text[open];
    std::size_t i = open + 1;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

// A marker's name as written after the colon: a quoted name loses its quotes, doubled quotes become one.
std::string markerName(std::string_view written)
{
    if (written.empty() || !isQuote(written.front()))
        return std::string(written);
    const char quote = written.front();
    written.remove_prefix(1);
    if (!written.empty() && written.back() == quote)
        written.remove_suffix(1);
    std::string name;
    for (std::size_t i = 0; i < written.size(); ++i) {
        name += written[i];
        if (written[i] == quote && i + 1 < written.size() && written[i + 1] == quote)
            ++i;
    }
    return name;
}

}  // namespace

ScannedStatement scanParameters(std::string_view statement)
{
    // UTF-8 bytes of characters beyond ASCII are all 0x80 or above, so they never match a quote, a colon or
    // a delimiter and need no special step.
    ScannedStatement result;
    result.text.reserve(statement.size());
    std::size_t i = 0;
    while (i < statement.size()) {
        const char c = statement[i];
        if (isQuote(c)) {
            const std::size_t end = literalEnd(statement, i);
            result.text.append(statement.substr(i, end - i));
            i = end;
        } else if (c == ':' && i + 1 < statement.size() && statement[i + 1] == ':') {
            result.text += ':';
            i += 2;
        } else if (c == ':') {
            std::size_t end = i + 1;
            while (end < statement.size() && !endsMarker(statement[end]))
                end = isQuote(statement[end]) ? literalEnd(statement, end) : end + 1;
            result.names.push_back(markerName(statement.substr(i + 1, end - i - 1)));
            result.text += '?';
            i = end;
        } else {
            result.text += c;
            ++i;
        }
    }
    return result;
}

}  // namespace vcl
