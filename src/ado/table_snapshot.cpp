#include "ado/table_snapshot.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "ado/snapshot_overlay.h"
#include "jet/database.h"

namespace ado {

bool isTextType(jet::ColumnType type) { return type == jet::ColumnType::Text || type == jet::ColumnType::Memo; }

TableSnapshot::~TableSnapshot() = default;

void TableSnapshot::addColumn(const sql::ColumnInfo& info, std::size_t expectedRows, std::size_t textBytes) {
    columns_.push_back(info);
    Column column;
    if (isTextType(info.type)) {
        column.text = std::make_unique<TextColumn>();
        column.text->reserve(expectedRows, textBytes);
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
        column.search = std::make_unique<SearchIndex>(*column.text);
    }
    rowIds_.shrink_to_fit();
}

std::shared_ptr<const TableSnapshot> TableSnapshot::read(const jet::Database& database, std::string_view table) {
    std::shared_ptr<TableSnapshot> snapshot(new TableSnapshot());
    jet::TableReader reader = database.read(table);
    const jet::TableDef& def = reader.table();
    snapshot->name_ = def.name;
    // A text column's UTF-8 takes at most one and a half times the file's bytes (UCS-2 or compressed
    // text becomes one to three bytes per character). Reserving that much costs address space only:
    // pages never written are never made, and copying the buffer as it grows would touch it all twice.
    std::error_code error;
    const std::uintmax_t fileBytes = std::filesystem::file_size(database.path(), error);
    const std::size_t textBytes = error ? 0 : static_cast<std::size_t>(fileBytes + fileBytes / 2 + 4096);
    for (const auto& column : def.columns)
        snapshot->addColumn({column.name, column.type}, def.rowCount, textBytes);
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
    for (const auto& column : columns) snapshot->addColumn(column, rows.size(), 0);
    for (auto row : rows) {
        if (row.size() != columns.size()) throw std::invalid_argument("a row has the wrong number of cells");
        snapshot->appendRow(row);
    }
    snapshot->finish();
    return snapshot;
}

jet::Value TableSnapshot::value(std::size_t row, std::size_t column) const {
    if (overlay_) return overlay_->value(row, column);
    const Column& cells = cells_.at(column);
    if (row >= rowCount_) throw std::out_of_range("snapshot row out of range");
    if (!cells.text) return cells.values[row];
    if (cells.text->isNull(row)) return jet::Null{};
    return std::string(cells.text->at(row));
}

bool TableSnapshot::hasTextView(std::size_t column) const {
    if (overlay_) return overlay_->hasTextView(column);
    return cells_.at(column).text != nullptr;
}

std::optional<std::string_view> TableSnapshot::textView(std::size_t row, std::size_t column) const {
    if (overlay_) return overlay_->textView(row, column);
    const Column& cells = cells_.at(column);
    if (!cells.text || row >= rowCount_) return std::nullopt;
    return cells.text->cell(row);
}

const SearchIndex* TableSnapshot::searchIndex(std::size_t column) const {
    if (overlay_) return nullptr;
    return cells_.at(column).search.get();
}

bool TableSnapshot::hasSearchIndex(std::size_t column) const {
    if (overlay_) return overlay_->hasSearchIndex(column);
    return cells_.at(column).search != nullptr;
}

Matches TableSnapshot::findText(std::size_t column, std::string_view loweredNeedle, const Matches* earlier,
                                std::string_view earlierNeedle) const {
    // earlier only narrows the search; a search of every row finds the same.
    if (overlay_) return overlay_->findText(column, loweredNeedle);
    const SearchIndex* index = cells_.at(column).search.get();
    if (!index) throw std::invalid_argument("column " + columns_.at(column).name + " has no search index");
    return index->find(loweredNeedle, earlier, earlierNeedle);
}

std::shared_ptr<const TableSnapshot> TableSnapshot::withChanges(const std::vector<SnapshotChange>& changes) const {
    std::shared_ptr<TableSnapshot> changed(new TableSnapshot());
    changed->name_ = name_;
    changed->columns_ = columns_;
    changed->rowIds_ = rowIds_;
    changed->overlay_ = std::make_shared<const SnapshotOverlay>(shared_from_this(), overlay_.get(), changes, changed->rowIds_);
    changed->rowCount_ = changed->overlay_->rowCount();
    return changed;
}

std::size_t TableSnapshot::memoryUsed() const {
    std::size_t bytes = rowIds_.capacity() * sizeof(jet::RowId);
    if (overlay_) return bytes + overlay_->memoryUsed();
    for (const auto& column : cells_) {
        if (column.text) bytes += column.text->memoryUsed();
        if (column.search) bytes += column.search->memoryUsed();
        bytes += column.values.capacity() * sizeof(jet::Value);
    }
    return bytes;
}

}  // namespace ado
