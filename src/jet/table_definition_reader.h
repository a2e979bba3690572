#pragma once
// Table definition pages: columns, indexes and the usage maps of a table.
#include <cstdint>
#include <string>

#include "jet/database_state.h"
#include "jet/schema.h"

namespace jet::detail {

// Reads the definition starting at `page` (following its continuation pages) and the table's data
// pages from its usage map. `name` is the catalog's name for it. Throws jet::Error when damaged.
TableDef readTableDefinition(const DatabaseState& db, std::uint32_t page, const std::string& name);

}  // namespace jet::detail
