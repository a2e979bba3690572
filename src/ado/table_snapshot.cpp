#include "ado/table_snapshot.h"

#include <stdexcept>

#include "jet/database.h"

namespace ado {

bool isTextType(jet::ColumnType type) { return type == jet::ColumnType::Text || type == jet::ColumnType::Memo; }

TableSnapshot::~TableSnapshot() = default;

void TableSnapshot::addColumn(const sql::ColumnInfo& info, std::size_t expectedRows) {
    columns_.push_back(info);
    Column column;
    if (isTextType(info.type)) {
        column.text = std::make_unique<TextColumn>();
        column.text->reserve(expectedRows, expectedRows * 64);
    } else {
        column.values.reserve(expectedRows);
    }
    cells_.push_back(std::move(column));
}

void TableSnapshot::appendRow(std::vector<jet::Value>& row) {
    for (std::size_t c = 0; c < cells_.size(); ++c) {
        Column& column = cells_[c];
        jet::Value& cell = row.at(c);
        if (!column.text) {
            column.values.push_back(std::move(cell));
        } else if (const auto* text = std::get_if<std::string>(&cell)) {
            column.text->append(*text);
        } else if (jet::isNull(cell)) {
            column.text->appendNull();
        } else {
            throw std::logic_error("a text column holds a value that is not text");
        }
    }
    ++rowCount_;
}

void TableSnapshot::finish() {
    for (auto& column : cells_) {
        if (!column.text) continue;
        column.text->shrinkToFit();
        column.search = std::make_unique<SearchIndex>(*column.text);
    }
    rowIds_.shrink_to_fit();
}

std::shared_ptr<const TableSnapshot> TableSnapshot::read(const jet::Database& database, std::string_view table) {
    std::shared_ptr<TableSnapshot> snapshot(new TableSnapshot());
    jet::TableReader reader = database.read(table);
    const jet::TableDef& def = reader.table();
    snapshot->name_ = def.name;
    for (const auto& column : def.columns) snapshot->addColumn({column.name, column.type}, def.rowCount);
    snapshot->rowIds_.reserve(def.rowCount);
    std::vector<jet::Value> row;
    jet::RowId where;
    while (reader.next(row, &where)) {
        snapshot->appendRow(row);
        snapshot->rowIds_.push_back(where);
    }
    snapshot->finish();
    return snapshot;
}

std::shared_ptr<const TableSnapshot> TableSnapshot::fromValues(std::string name, std::vector<sql::ColumnInfo> columns,
                                                               const std::vector<std::vector<jet::Value>>& rows) {
    std::shared_ptr<TableSnapshot> snapshot(new TableSnapshot());
    snapshot->name_ = std::move(name);
    for (const auto& column : columns) snapshot->addColumn(column, rows.size());
    for (auto row : rows) {
        if (row.size() != columns.size()) throw std::invalid_argument("a row has the wrong number of cells");
        snapshot->appendRow(row);
    }
    snapshot->finish();
    return snapshot;
}

jet::Value TableSnapshot::value(std::size_t row, std::size_t column) const {
    const Column& cells = cells_.at(column);
    if (row >= rowCount_) throw std::out_of_range("snapshot row out of range");
    if (!cells.text) return cells.values[row];
    if (cells.text->isNull(row)) return jet::Null{};
    return std::string(cells.text->at(row));
}

bool TableSnapshot::hasTextView(std::size_t column) const { return cells_.at(column).text != nullptr; }

std::optional<std::string_view> TableSnapshot::textView(std::size_t row, std::size_t column) const {
    const Column& cells = cells_.at(column);
    if (!cells.text || row >= rowCount_) return std::nullopt;
    return cells.text->cell(row);
}

const SearchIndex* TableSnapshot::searchIndex(std::size_t column) const { return cells_.at(column).search.get(); }

std::size_t TableSnapshot::memoryUsed() const {
    std::size_t bytes = rowIds_.capacity() * sizeof(jet::RowId);
    for (const auto& column : cells_) {
        if (column.text) bytes += column.text->memoryUsed();
        if (column.search) bytes += column.search->memoryUsed();
        bytes += column.values.capacity() * sizeof(jet::Value);
    }
    return bytes;
}

}  // namespace ado
