#pragma once
// One change of a table's row that the engine asks the file writer for.
#include <vector>

#include "ado/snapshot_change.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace ado {

struct RowWrite {
    SnapshotChange::Kind kind = SnapshotChange::Kind::Update;
    jet::RowId where;                  // the row (Update, Remove); where it went (Insert, set by the write)
    std::vector<jet::Value> expected;  // Update, Remove: every cell as the caller read it
    std::vector<jet::Value> values;    // Update, Insert: every cell; the write turns them into the columns' types
};

}  // namespace ado
