#pragma once
// The table definition page of a table the writer creates.
#include "jet/create/byte_writer.h"
#include "jet/create/table_layout.h"

namespace jet::create {

// One page; throws jet::Error when the definition does not fit in it.
Bytes tableDefinitionPage(const TableLayout& table, std::uint32_t pageSize);

}  // namespace jet::create
