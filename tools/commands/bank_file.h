#pragma once
// Opening a file for reading and finding its tables, with messages that name the file.
#include <filesystem>
#include <memory>
#include <string_view>

#include "jet/database.h"

namespace tool {

std::unique_ptr<jet::Database> openForReading(const std::filesystem::path& file);

// The user or system table by name (letter case ignored); Failure naming the file when there is none.
const jet::TableDef& requireTable(const jet::Database& database, std::string_view name);

}  // namespace tool
