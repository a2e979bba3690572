#include "vcl/widgets/error_text.h"

#include "vcl/widgets/utf8_text.h"

#include <cstdio>

namespace vcl {

std::string errorBoxText(std::string_view message)
{
    std::string text(message);
    // The last byte of a multi-byte UTF-8 character is at least 0x80, so one byte decides for every character.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

std::string startupFailureText(std::string_view className, std::string_view moduleName, std::uint32_t address,
                               std::string_view message)
{
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(address));
    std::string text = "Exception ";
    text += className;
    text += " in module ";
    text += moduleName;
    text += " at ";
    text += hex;
    text += ".\r\n";
    text += message;
    if (!message.empty() && message.back() != '.')
        text += '.';
    text += "\r\n";
    return truncateUtf8(std::move(text), kMaxStartupFailureBytes);
}

}  // namespace vcl
