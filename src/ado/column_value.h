#pragma once
// A value made fit for a column before it is written, as Jet converts what a statement or a view hands
// it: any value becomes text for a text column, a number's text becomes the number for a numeric one.
#include "jet/schema.h"
#include "jet/value.h"

namespace ado {

// Throws EngineError naming the column when the value cannot be turned into the column's type.
jet::Value valueForColumn(const jet::ColumnDef& column, jet::Value value);

}  // namespace ado
