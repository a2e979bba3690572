#pragma once
// Values to the bytes of a stored Jet 4 row, for a table as its definition describes it.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet::write {

// Stores a long value (memo or OLE) that does not stay in the row and returns its 12-byte reference.
using LongValueStore = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>& stored)>;

// A value as the number a numeric or date column stores (Yes is -1, a date its days); nothing for
// a value that is no number.
std::optional<double> numericValue(const Value& v);

// Whether rows of the table can be encoded (every column type is one the writer knows); `why` says
// which column is the obstacle.
bool canEncodeRows(const TableDef& table, std::string* why = nullptr);

// values: one per column of table.columns. Throws jet::Error naming the column when a value does not
// suit its column (too long a text, a number out of range, a type the column cannot take).
std::vector<std::uint8_t> encodeRow(const TableDef& table, const std::vector<Value>& values, const LongValueStore& store);

// The stored bytes of a text or memo value (compressed Unicode where the column allows it).
std::vector<std::uint8_t> storedTextBytes(const ColumnDef& column, const std::string& utf8);

// The long-value references a stored row holds (memo and OLE columns kept outside the row), so that
// a change can free them. Row bytes as the page holds them.
struct LongValueRef {
    std::uint32_t pointer;  // page << 8 | row of the first piece
    bool singlePage;        // one row on one page; otherwise a chain whose rows start with the next pointer
};
std::vector<LongValueRef> longValueRefs(const TableDef& table, const std::vector<std::uint8_t>& row);

}  // namespace jet::write
