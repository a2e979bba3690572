// Changing the rows of a result: through the connection's file writer, then shown in the result.
#include <stdexcept>

#include "ado/connection.h"
#include "ado/engine_error.h"
#include "ado/recordset.h"
#include "ado/table_snapshot.h"

namespace ado {

void Recordset::allowChanges(std::shared_ptr<Connection> connection, bool distinct) {
    connection_.reset();
    const auto table = snapshot();
    if (!connection || distinct || !table || table->rowIds().size() != table->rowCount()) return;
    for (const auto& column : result_.columns)
        if (!column.source) return;
    if (connection->canWrite(table->name())) connection_ = std::move(connection);
}

void Recordset::requireChangeable() const {
    if (!connection_) throw EngineError("不能更新：这个结果是只读的（数据库或对象为只读）");
}

std::vector<jet::Value> Recordset::sourceCells(std::size_t sourceRow) const {
    std::vector<jet::Value> cells(result_.table->columns().size());
    for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = result_.table->value(sourceRow, c);
    return cells;
}

std::size_t Recordset::sourceColumn(std::size_t field) const {
    if (field >= fields_.size()) throw std::out_of_range("recordset field out of range");
    return *result_.columns[field].source;
}

void Recordset::update(std::size_t row, const FieldValues& values) {
    requireChangeable();
    if (row >= result_.rows.size()) throw std::out_of_range("recordset row out of range");
    const auto table = snapshot();
    const std::size_t source = result_.rows[row];
    RowWrite write{SnapshotChange::Kind::Update, table->rowIds().at(source), sourceCells(source), {}};
    write.values = write.expected;
    for (const FieldValue& value : values) write.values[sourceColumn(value.field)] = value.value;
    std::vector<RowWrite> writes{std::move(write)};
    result_.table = connection_->writeRows(table->name(), table, writes);  // the row keeps its number
}

void Recordset::remove(std::size_t row) {
    requireChangeable();
    if (row >= result_.rows.size()) throw std::out_of_range("recordset row out of range");
    const auto table = snapshot();
    const std::size_t source = result_.rows[row];
    std::vector<RowWrite> writes{{SnapshotChange::Kind::Remove, table->rowIds().at(source), sourceCells(source), {}}};
    result_.table = connection_->writeRows(table->name(), table, writes);
    // The table's rows after the removed one moved up by one.
    result_.rows.erase(result_.rows.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t& r : result_.rows)
        if (r > source) --r;
}

std::size_t Recordset::insert(const FieldValues& values) {
    requireChangeable();
    const auto table = snapshot();
    RowWrite write{SnapshotChange::Kind::Insert, {}, {}, std::vector<jet::Value>(table->columns().size())};
    for (const FieldValue& value : values) write.values[sourceColumn(value.field)] = value.value;
    std::vector<RowWrite> writes{std::move(write)};
    result_.table = connection_->writeRows(table->name(), table, writes);
    result_.rows.push_back(result_.table->rowCount() - 1);  // a new row comes last in the table
    return result_.rows.size() - 1;
}

}  // namespace ado
