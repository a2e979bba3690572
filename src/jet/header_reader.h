#pragma once
// Page 0: which Jet version wrote the file, its page size, code page, collating order and password.
#include <cstdint>
#include <filesystem>
#include <span>

#include "jet/schema.h"

namespace jet::detail {

// Reads and checks the header; throws jet::Error naming the file for anything that is not a Jet 3 or
// Jet 4 file of whole pages, and for a file protected by a database password.
FileHeader readFileHeader(std::span<const std::uint8_t> file, const std::filesystem::path& path);

// The header area as stored, unmasked (offsets relative to the file's start; bytes outside the masked
// area are copied as they are). Writers mask it again with the same call.
void toggleHeaderMask(std::span<std::uint8_t> page0, int version);

}  // namespace jet::detail
