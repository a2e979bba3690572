#pragma once
// The texts of the error box and of the start-up failure box.
#include <cstdint>
#include <string>
#include <string_view>

namespace vcl {

// The error box's text: the message, with one full stop appended when the message is not empty and its
// last character is greater than "." (compared as unsigned bytes; every non-ASCII character is).
std::string errorBoxText(std::string_view message);

// The longest start-up failure text in bytes.
inline constexpr std::size_t kMaxStartupFailureBytes = 1023;

// "Exception <class> in module <module> at <address>.\r\n<message>[.]\r\n", the address as eight
// upper-case hexadecimal digits, "." added unless the message is empty or ends in one.
std::string startupFailureText(std::string_view className, std::string_view moduleName, std::uint32_t address,
                               std::string_view message);

}  // namespace vcl
