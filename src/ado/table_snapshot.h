#pragma once
// One table's rows as they were in the file when it was read, held column by column: text and memo
// columns in one UTF-8 buffer each (with the instant search's index beside them), other columns as
// values. Immutable once built, shared by every result that reads it.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ado/search_index.h"
#include "ado/snapshot_change.h"
#include "ado/sql/table.h"
#include "ado/text_column.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace jet {
class Database;
}

namespace ado {

class SnapshotOverlay;

class TableSnapshot final : public sql::Table, public std::enable_shared_from_this<TableSnapshot> {
public:
    // Reads every row of the table. Throws jet::Error when the file cannot be read.
    static std::shared_ptr<const TableSnapshot> read(const jet::Database& database, std::string_view table);

    // A snapshot of given cells (tests and tools): one vector per column, each rows long.
    static std::shared_ptr<const TableSnapshot> fromValues(std::string name, std::vector<sql::ColumnInfo> columns,
                                                           const std::vector<std::vector<jet::Value>>& rows);

    const std::string& name() const override { return name_; }
    const std::vector<sql::ColumnInfo>& columns() const override { return columns_; }
    std::size_t rowCount() const override { return rowCount_; }
    jet::Value value(std::size_t row, std::size_t column) const override;
    bool hasTextView(std::size_t column) const override;
    std::optional<std::string_view> textView(std::size_t row, std::size_t column) const override;

    // The instant search's index of a text or memo column; null for other columns (and for a snapshot
    // with changes: search it through findText).
    const SearchIndex* searchIndex(std::size_t column) const;
    // Whether the column can be searched through an index, and the search, as SearchIndex::find does
    // it, for a snapshot with changes too.
    bool hasSearchIndex(std::size_t column) const;
    Matches findText(std::size_t column, std::string_view loweredNeedle, const Matches* earlier = nullptr,
                     std::string_view earlierNeedle = {}) const;

    // The same table after changes this program wrote to the file, without reading the file again:
    // shares this snapshot's cells, which stay as they are (snapshot_overlay.h). Throws
    // std::invalid_argument when a change names a row this snapshot does not hold.
    std::shared_ptr<const TableSnapshot> withChanges(const std::vector<SnapshotChange>& changes) const;
    // Where each row lives in the file (empty for a snapshot made from values).
    const std::vector<jet::RowId>& rowIds() const { return rowIds_; }
    std::size_t memoryUsed() const;

    TableSnapshot(const TableSnapshot&) = delete;
    TableSnapshot& operator=(const TableSnapshot&) = delete;
    ~TableSnapshot() override;

private:
    struct Column {
        std::unique_ptr<TextColumn> text;          // text and memo columns
        std::unique_ptr<SearchIndex> search;       // beside text
        std::vector<jet::Value> values;            // every other column
    };
    TableSnapshot() = default;
    void addColumn(const sql::ColumnInfo& info, std::size_t expectedRows, std::size_t textBytes);
    void appendRow(std::vector<jet::Value>& row);
    void finish();

    std::string name_;
    std::vector<sql::ColumnInfo> columns_;
    std::vector<Column> cells_;
    std::vector<jet::RowId> rowIds_;
    std::size_t rowCount_ = 0;
    std::shared_ptr<const SnapshotOverlay> overlay_;  // set for a snapshot with changes; cells_ is then empty
};

bool isTextType(jet::ColumnType type);

}  // namespace ado
