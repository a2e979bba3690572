#pragma once
// Base64 (RFC 4648, with padding) for binary column values in JSON output.
#include <string_view>

#include "output/output_buffer.h"

namespace tool {

void writeBase64(OutputBuffer& out, std::string_view bytes);

}  // namespace tool
