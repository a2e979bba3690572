#pragma once
// A table snapshot after this program's own writes, without reading the file again: the rows read from
// the file stay shared and untouched, the rows written since live in a small snapshot of their own, and
// a map says for each row of the changed table where its cells are. Rows keep the file's order: an
// updated row keeps its place, a removed row goes, an added row comes last (where the writer puts it).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ado/search_index.h"
#include "ado/snapshot_change.h"
#include "jet/value.h"

namespace ado {

class TableSnapshot;

class SnapshotOverlay {
public:
    // The rows of `table` (read from the file: `previous` null; or itself changed: its overlay) with
    // `changes` applied in order; rowIds (the table's, one per row) is brought up to date alongside.
    // Throws std::invalid_argument for an update or removal of a row that the table does not hold.
    SnapshotOverlay(std::shared_ptr<const TableSnapshot> table, const SnapshotOverlay* previous,
                    const std::vector<SnapshotChange>& changes, std::vector<jet::RowId>& rowIds);

    std::size_t rowCount() const { return slots_.size(); }
    jet::Value value(std::size_t row, std::size_t column) const;
    bool hasTextView(std::size_t column) const;
    std::optional<std::string_view> textView(std::size_t row, std::size_t column) const;
    bool hasSearchIndex(std::size_t column) const;
    // The rows, ascending, whose lower-cased text in column contains loweredNeedle (with the positions
    // of the first occurrence when both parts know them).
    Matches findText(std::size_t column, std::string_view loweredNeedle) const;
    std::size_t memoryUsed() const;

private:
    static constexpr std::uint32_t kWritten = 0x80000000u;  // slot bit: the row is one of written_'s
    static constexpr std::uint32_t kGone = 0xFFFFFFFFu;
    const TableSnapshot& source(std::uint32_t slot) const;

    std::shared_ptr<const TableSnapshot> read_;     // the rows as read from the file
    std::shared_ptr<const TableSnapshot> written_;  // the rows written since
    std::vector<std::uint32_t> slots_;              // per row: a row of read_, or kWritten | a row of written_
    std::vector<std::uint32_t> rowOfRead_;          // per row of read_: its row here, or kGone
    std::vector<std::uint32_t> rowOfWritten_;       // per row of written_: its row here
};

}  // namespace ado
