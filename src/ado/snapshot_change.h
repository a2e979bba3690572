#pragma once
// One change that this program wrote to a table, as a snapshot of that table takes it over: the row is
// named by its place in the file, and carries its cells as the file now holds them.
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace ado {

struct SnapshotChange {
    enum class Kind { Update, Remove, Insert };
    Kind kind = Kind::Update;
    jet::RowId where;
    std::vector<jet::Value> values;  // every column; empty for Remove
};

}  // namespace ado
