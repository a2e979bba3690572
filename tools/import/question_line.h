#pragma once
// One line of an import file turned into a question's text.
#include <stdexcept>
#include <string>
#include <string_view>

namespace tool {

// What is wrong with a line; the caller adds the file and line number.
class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Checks that line (without its line break) is valid UTF-8 without NUL characters, then replaces the
// escapes: "\n" by a line break, "\\" by one backslash. Throws LineError naming the byte position
// (1-based) of a bad sequence or an unknown escape.
std::string decodeQuestionLine(std::string_view line);

}  // namespace tool
