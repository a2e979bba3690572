#pragma once
// JSON string literals: quotes, backslashes and every control character escaped.
#include <string>
#include <string_view>

#include "output/output_buffer.h"

namespace tool {

// Writes text (UTF-8) as a JSON string literal, quotes included.
void writeJsonString(OutputBuffer& out, std::string_view text);

// The same literal as a string, for keys that are written once and reused for every row.
std::string jsonString(std::string_view text);

}  // namespace tool
