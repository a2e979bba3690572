#pragma once
// The key bytes Jet sorts an index's entries by, made from a row's values.
#include <cstdint>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::write {

// Whether the writer can make the keys of this index at all: every column is Yes/No, Byte, Integer,
// Long (AutoNumber included), Currency, Single, Double, Date/Time, or Text/Memo in the General sort
// order. An index with another column (GUID, Decimal, binary, text in another order) cannot be kept.
bool canMaintainIndex(const TableDef& table, const IndexDef& index);

// The key bytes of an index entry for a row's values. Nothing when the index cannot be kept, or when
// this row's value cannot be keyed exactly: a text with a character beyond U+00FF, a fixed-length text
// shorter than its column, a value of a type the column does not store.
std::optional<std::vector<std::uint8_t>> indexKey(const TableDef& table, const IndexDef& index,
                                                  const std::vector<Value>& row);

// indexKey, or a jet::Error naming the index when the key cannot be made (nothing is written then).
std::vector<std::uint8_t> requireIndexKey(const TableDef& table, const IndexDef& index, const std::vector<Value>& row);

// Whether two rows hold the same values in the index's columns (then their keys are the same too,
// whether or not the writer can make them).
bool sameIndexedValues(const TableDef& table, const IndexDef& index, const std::vector<Value>& a,
                       const std::vector<Value>& b);

}  // namespace jet::write
