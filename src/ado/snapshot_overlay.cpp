#include "ado/snapshot_overlay.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

#include "ado/table_snapshot.h"

namespace ado {
namespace {

std::uint64_t keyOf(jet::RowId id) { return std::uint64_t{id.page} << 16 | id.row; }

}  // namespace

SnapshotOverlay::SnapshotOverlay(std::shared_ptr<const TableSnapshot> table, const SnapshotOverlay* previous,
                                 const std::vector<SnapshotChange>& changes, std::vector<jet::RowId>& rowIds) {
    // Start from the table as it is: its rows' slots and the cells of the rows written before.
    std::vector<std::vector<jet::Value>> written;
    const std::size_t columns = table->columns().size();
    if (previous) {
        read_ = previous->read_;
        slots_ = previous->slots_;
        for (std::size_t r = 0; r < previous->written_->rowCount(); ++r) {
            std::vector<jet::Value> row(columns);
            for (std::size_t c = 0; c < columns; ++c) row[c] = previous->written_->value(r, c);
            written.push_back(std::move(row));
        }
    } else {
        read_ = std::move(table);
        slots_.resize(read_->rowCount());
        std::iota(slots_.begin(), slots_.end(), std::uint32_t{0});
    }
    if (rowIds.size() != slots_.size()) throw std::invalid_argument("the snapshot does not know where its rows live");

    // Rows by place, only for the places the changes name.
    std::unordered_map<std::uint64_t, std::size_t> rowAt;
    for (const SnapshotChange& change : changes)
        if (change.kind != SnapshotChange::Kind::Insert) rowAt.emplace(keyOf(change.where), kGone);
    if (!rowAt.empty())
        for (std::size_t r = 0; r < rowIds.size(); ++r)
            if (auto found = rowAt.find(keyOf(rowIds[r])); found != rowAt.end()) found->second = r;

    std::vector<bool> removed(slots_.size(), false);
    for (const SnapshotChange& change : changes) {
        if (change.kind == SnapshotChange::Kind::Insert) {
            if (change.values.size() != columns) throw std::invalid_argument("an added row has the wrong number of cells");
            rowAt[keyOf(change.where)] = slots_.size();
            slots_.push_back(kWritten | static_cast<std::uint32_t>(written.size()));
            rowIds.push_back(change.where);
            removed.push_back(false);
            written.push_back(change.values);
            continue;
        }
        const std::size_t row = rowAt.at(keyOf(change.where));
        if (row == kGone || removed[row]) throw std::invalid_argument("a changed row is not in the snapshot");
        if (change.kind == SnapshotChange::Kind::Remove) {
            removed[row] = true;
            continue;
        }
        if (change.values.size() != columns) throw std::invalid_argument("an updated row has the wrong number of cells");
        slots_[row] = kWritten | static_cast<std::uint32_t>(written.size());
        written.push_back(change.values);
    }

    // Drop the removed rows, and the written cells that no row shows any more.
    std::vector<std::vector<jet::Value>> kept;
    std::size_t next = 0;
    for (std::size_t r = 0; r < slots_.size(); ++r) {
        if (removed[r]) continue;
        std::uint32_t slot = slots_[r];
        if (slot & kWritten) {
            kept.push_back(std::move(written[slot & ~kWritten]));
            slot = kWritten | static_cast<std::uint32_t>(kept.size() - 1);
        }
        slots_[next] = slot;
        rowIds[next] = rowIds[r];
        ++next;
    }
    slots_.resize(next);
    rowIds.resize(next);
    written_ = TableSnapshot::fromValues(read_->name(), read_->columns(), kept);

    rowOfRead_.assign(read_->rowCount(), kGone);
    rowOfWritten_.assign(kept.size(), kGone);
    for (std::size_t r = 0; r < slots_.size(); ++r) {
        const std::uint32_t slot = slots_[r];
        (slot & kWritten ? rowOfWritten_[slot & ~kWritten] : rowOfRead_[slot]) = static_cast<std::uint32_t>(r);
    }
}

const TableSnapshot& SnapshotOverlay::source(std::uint32_t slot) const { return slot & kWritten ? *written_ : *read_; }

jet::Value SnapshotOverlay::value(std::size_t row, std::size_t column) const {
    const std::uint32_t slot = slots_.at(row);
    return source(slot).value(slot & ~kWritten, column);
}

bool SnapshotOverlay::hasTextView(std::size_t column) const { return read_->hasTextView(column); }

std::optional<std::string_view> SnapshotOverlay::textView(std::size_t row, std::size_t column) const {
    if (row >= slots_.size()) return std::nullopt;
    const std::uint32_t slot = slots_[row];
    return source(slot).textView(slot & ~kWritten, column);
}

bool SnapshotOverlay::hasSearchIndex(std::size_t column) const { return read_->hasSearchIndex(column); }

Matches SnapshotOverlay::findText(std::size_t column, std::string_view loweredNeedle) const {
    const Matches inRead = read_->findText(column, loweredNeedle);
    const Matches inWritten = written_->findText(column, loweredNeedle);
    const bool positioned = inRead.positions.size() == inRead.rows.size() &&
                            inWritten.positions.size() == inWritten.rows.size();
    // (row here, position) of every match still shown; the map keeps the read rows' order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> found;
    found.reserve(inRead.rows.size() + inWritten.rows.size());
    for (std::size_t i = 0; i < inRead.rows.size(); ++i)
        if (const std::uint32_t row = rowOfRead_[inRead.rows[i]]; row != kGone)
            found.emplace_back(row, positioned ? inRead.positions[i] : Matches::kUnknown);
    const std::size_t fromRead = found.size();
    for (std::size_t i = 0; i < inWritten.rows.size(); ++i)
        found.emplace_back(rowOfWritten_[inWritten.rows[i]], positioned ? inWritten.positions[i] : Matches::kUnknown);
    std::sort(found.begin() + static_cast<std::ptrdiff_t>(fromRead), found.end());
    std::inplace_merge(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(fromRead), found.end());

    Matches matches;
    matches.rows.reserve(found.size());
    for (const auto& [row, position] : found) matches.rows.push_back(row);
    if (positioned) {
        matches.positions.reserve(found.size());
        for (const auto& [row, position] : found) matches.positions.push_back(position);
    }
    return matches;
}

std::size_t SnapshotOverlay::memoryUsed() const {
    return read_->memoryUsed() + written_->memoryUsed() + (slots_.capacity() + rowOfRead_.capacity() + rowOfWritten_.capacity()) * 4;
}

}  // namespace ado
