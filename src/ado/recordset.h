#pragma once
// The result of a statement: a static snapshot held in the program's memory. Its record count is
// exact, its cells never change, and it stays valid whatever happens to the connection afterwards
// (it shares the table snapshot it reads from).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ado/sql/executor.h"
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
    // Takes over what the executor produced: the source table, the result's columns and its rows.
    explicit Recordset(sql::Result result);

    std::size_t recordCount() const { return result_.rows.size(); }
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

    // The source table's row behind a result row (for writes); the table itself.
    std::size_t sourceRow(std::size_t row) const { return result_.rows.at(row); }
    std::shared_ptr<const TableSnapshot> snapshot() const;

private:
    void check(std::size_t row, std::size_t field) const;

    sql::Result result_;
    std::vector<Field> fields_;
};

}  // namespace ado
