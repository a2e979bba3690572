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

#include "ado/field_value.h"
#include "ado/sql/executor.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace ado {

class Connection;
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

    // Whether the result can be changed through update/remove/insert: one table read from a file that
    // the writer can change, every field a plain column of it, no DISTINCT. Settled once, by the command
    // that made the result (allowChanges); a result made otherwise cannot be changed.
    bool canUpdate() const { return connection_ != nullptr; }
    void allowChanges(std::shared_ptr<Connection> connection, bool distinct);

    // Changes written to the bank at once, each whole or not at all, with the row as this result shows
    // it as the expected one: a row that someone else changed or deleted since is not overwritten. They
    // throw EngineError (the result unchanged) on failure, and when the result cannot be changed.
    // Afterwards the result shows the change: the row's new cells; the row gone (the rows after it move
    // up one); a new row at the end, whose number insert returns. Fields not given keep their cells (a
    // new row: Null, and the table's next number for an AutoNumber).
    void update(std::size_t row, const FieldValues& values);
    void remove(std::size_t row);
    std::size_t insert(const FieldValues& values);

    // The source table's row behind a result row (for writes); the table itself.
    std::size_t sourceRow(std::size_t row) const { return result_.rows.at(row); }
    std::shared_ptr<const TableSnapshot> snapshot() const;

private:
    void check(std::size_t row, std::size_t field) const;

    std::vector<jet::Value> sourceCells(std::size_t sourceRow) const;
    std::size_t sourceColumn(std::size_t field) const;
    void requireChangeable() const;

    sql::Result result_;
    std::vector<Field> fields_;
    std::shared_ptr<Connection> connection_;  // set when the result can be changed
};

}  // namespace ado
