#include "import/question_line.h"

#include <unicode/utf8.h>

namespace tool {
namespace {

void checkUtf8(std::string_view line)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
    auto length = static_cast<std::int32_t>(line.size());
    std::int32_t i = 0;
    while (i < length) {
        std::int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            throw LineError("invalid UTF-8 at byte " + std::to_string(start + 1));
        if (c == 0)
            throw LineError("a NUL character at byte " + std::to_string(start + 1) +
                            " (the file may be UTF-16; import reads UTF-8)");
    }
}

}  // namespace

std::string decodeQuestionLine(std::string_view line)
{
    if (line.size() > INT32_MAX)
        throw LineError("the line is too long");
    checkUtf8(line);
    std::string text;
    text.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c != '\\') {
            text += c;
            continue;
        }
        if (i + 1 == line.size())
            throw LineError("a lone backslash at the end (write \\\\ for a backslash)");
        char escaped = line[++i];
        if (escaped == 'n')
            text += '\n';
        else if (escaped == '\\')
            text += '\\';
        else
            throw LineError("unknown escape at byte " + std::to_string(i) +
                            " (only \\n and \\\\ are escapes; write \\\\ for a backslash)");
    }
    return text;
}

}  // namespace tool
