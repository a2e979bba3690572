#pragma once
// The key bytes Jet sorts an index's entries by, made from a row's values.
#include <cstdint>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::write {

// The key bytes of an index entry for a row's values; nothing when the writer cannot encode a key of
// this index (a text key, for one). Keys of integer, AutoNumber and Yes/No columns are supported.
std::optional<std::vector<std::uint8_t>> indexKey(const TableDef& table, const IndexDef& index,
                                                  const std::vector<Value>& row);
bool canMaintainIndex(const TableDef& table, const IndexDef& index);

}  // namespace jet::write
