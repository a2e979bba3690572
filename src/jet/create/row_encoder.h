#pragma once
// Encodes one Jet 4 row: column count, fixed part, variable part, end-of-data offset, the variable
// offsets (last first), their count and the null mask.
#include <cstdint>
#include <variant>
#include <vector>

#include "jet/create/byte_writer.h"
#include "jet/create/table_layout.h"

namespace jet::create {

// One stored value: Null, an integer (Boolean, Byte, Integer, Long), a double (DateTime, Double), or
// the stored bytes of a variable column (text already encoded, binary, a long-value reference).
using Cell = std::variant<std::monostate, std::int64_t, double, Bytes>;

// values holds one cell per column of table, in column order.
Bytes encodeRow(const TableLayout& table, const std::vector<Cell>& values);

// The stored form of a memo or OLE value kept in the row (the reference and the bytes after it).
Bytes inlineLongValue(const Bytes& value);
// A reference to a long value kept elsewhere: one row on an LVAL page (singlePage) or a chain of them.
Bytes longValueReference(std::uint32_t length, bool singlePage, std::uint32_t rowPointer);

}  // namespace jet::create
