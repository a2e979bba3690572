#pragma once
// The result of a statement: a static snapshot held in the program's memory. Its record count is
// exact, its cells never change, and it stays valid whatever happens to the connection afterwards.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"

namespace ado {

class TableSnapshot;

struct Field {
    std::string name;
    jet::ColumnType type = jet::ColumnType::Text;
};

class Recordset {
public:
    // Where one field's cells come from: a column of a table snapshot at the result's source rows, or
    // values computed for each result row.
    struct SnapshotColumn {
        std::size_t column = 0;
    };
    using ComputedColumn = std::vector<jet::Value>;

    // A result over one table snapshot. rows are the snapshot's row numbers in result order; null means
    // every row of the snapshot, in order. Every field that is a SnapshotColumn reads that snapshot.
    struct Source {
        std::shared_ptr<const TableSnapshot> snapshot;             // may be null when every field is computed
        std::shared_ptr<const std::vector<std::uint32_t>> rows;    // null: all rows of the snapshot
        std::size_t computedRowCount = 0;                          // the row count when there is no snapshot
    };

    Recordset(std::vector<Field> fields, std::vector<std::variant<SnapshotColumn, ComputedColumn>> columns,
              Source source);

    std::size_t recordCount() const { return recordCount_; }
    std::size_t fieldCount() const { return fields_.size(); }
    const Field& field(std::size_t field) const { return fields_.at(field); }
    const std::string& fieldName(std::size_t field) const { return fields_.at(field).name; }
    jet::ColumnType fieldType(std::size_t field) const { return fields_.at(field).type; }
    // The field's number by name, letter case ignored as Jet ignores it.
    std::optional<std::size_t> findField(std::string_view name) const;

    // One cell. Throws std::out_of_range for a row or field outside the result.
    jet::Value value(std::size_t row, std::size_t field) const;
    bool isNull(std::size_t row, std::size_t field) const;
    // A text cell without a copy (cheap enough to call for every row drawn): nullopt for Null. The view
    // stays valid as long as the recordset. Throws std::invalid_argument when the field is not Text or
    // Memo (read other types with value()).
    std::optional<std::string_view> text(std::size_t row, std::size_t field) const;

    // Whether the result can be changed through update/remove/insert (not yet: file writes come later).
    bool canUpdate() const { return false; }

    // The snapshot row behind a result row, for writes (nullopt when the result has no snapshot).
    std::optional<std::uint32_t> sourceRow(std::size_t row) const;
    const std::shared_ptr<const TableSnapshot>& snapshot() const { return source_.snapshot; }

private:
    std::vector<Field> fields_;
    std::vector<std::variant<SnapshotColumn, ComputedColumn>> columns_;
    Source source_;
    std::size_t recordCount_ = 0;
};

}  // namespace ado
