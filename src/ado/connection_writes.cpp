// Changing rows through a connection: the file writer does the work, and what the connection keeps
// (the table's snapshot, the file's stamp) is brought up to date without reading the table again.
#include <stdexcept>

#include "ado/column_value.h"
#include "ado/connection.h"
#include "ado/engine_error.h"
#include "ado/search_cache.h"
#include "ado/sql/text.h"
#include "ado/table_snapshot.h"
#include "jet/database.h"
#include "jet/write/table_writer.h"

namespace ado {
namespace {

// The writer's messages may end like sentences; the engine's do not.
std::string engineMessage(std::string message) {
    const std::string fullStop = "。";
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        while (!message.empty() && (message.back() == '.' || static_cast<unsigned char>(message.back()) <= ' ')) {
            message.pop_back();
            trimmed = true;
        }
        if (message.ends_with(fullStop)) {
            message.erase(message.size() - fullStop.size());
            trimmed = true;
        }
    }
    return message;
}

void fitToColumns(const jet::TableDef& table, std::vector<jet::Value>& values) {
    if (values.size() != table.columns.size())
        throw EngineError("内部错误：行的值个数与表“" + table.name + "”的列数不符");
    for (std::size_t c = 0; c < values.size(); ++c) values[c] = valueForColumn(table.columns[c], std::move(values[c]));
}

}  // namespace

bool Connection::canWrite(std::string_view table, std::string* why) const {
    if (!database_ || !database_->hasTable(table)) {
        if (why) *why = "找不到表“" + std::string(table) + "”";
        return false;
    }
    try {
        return jet::TableWriter::canWrite(*database_, database_->table(table), why);
    } catch (const jet::Error& e) {
        if (why) *why = engineMessage(e.what());
        return false;
    }
}

std::shared_ptr<const TableSnapshot> Connection::writeRows(std::string_view table,
                                                           const std::shared_ptr<const TableSnapshot>& seen,
                                                           std::vector<RowWrite>& writes) {
    if (!database_ || !database_->hasTable(table)) throw EngineError("找不到表“" + std::string(table) + "”");
    const jet::TableDef definition = database_->table(table);
    for (RowWrite& write : writes)
        if (write.kind != SnapshotChange::Kind::Remove) fitToColumns(definition, write.values);

    // Only when the file is still as this connection last read it can the kept rows take our changes
    // over; a change by another program since means reading them again.
    const bool onlyWriter = stampNow() == stamp_;
    const auto kept = snapshots_.find(sql::lowerCase(table));
    const bool seenIsKept = kept != snapshots_.end() && kept->second == seen;

    // One batch: every change is written or, when one fails, none is.
    std::vector<jet::RowChange> batch;
    batch.reserve(writes.size());
    for (const RowWrite& write : writes) {
        jet::RowChange change{jet::RowChange::Kind::Update, write.where, write.expected, write.values};
        if (write.kind == SnapshotChange::Kind::Remove) change = {jet::RowChange::Kind::Remove, write.where, write.expected, {}};
        if (write.kind == SnapshotChange::Kind::Insert) change = {jet::RowChange::Kind::Insert, {}, {}, write.values};
        batch.push_back(std::move(change));
    }
    try {
        jet::TableWriter(path_).apply(definition.name, batch);
    } catch (const jet::Error& e) {
        throw EngineError(engineMessage(e.what()));
    }
    for (std::size_t i = 0; i < writes.size(); ++i)
        if (writes[i].kind == SnapshotChange::Kind::Insert) {
            writes[i].where = batch[i].where;
            writes[i].values = std::move(batch[i].values);
        }
    std::vector<SnapshotChange> changes = takeOverWrites(definition.name, writes, onlyWriter);

    if (seenIsKept) {
        const auto now = snapshots_.find(sql::lowerCase(table));
        if (now != snapshots_.end()) return now->second;
    }
    try {
        return seen->withChanges(changes);
    } catch (const std::invalid_argument&) {
        throw EngineError("内部错误：写入的行不在结果中");
    }
}

std::vector<SnapshotChange> Connection::takeOverWrites(std::string_view table, const std::vector<RowWrite>& written,
                                                       bool onlyWriter) {
    searchCache_->clear();
    std::vector<SnapshotChange> changes;
    for (const RowWrite& write : written) changes.push_back({write.kind, write.where, write.values});
    // The file as it is now: the writer may have added pages, and moved rows and definitions.
    try {
        database_ = jet::Database::open(path_);
        stamp_ = stampNow();
        const jet::TableDef& definition = database_->table(table);
        // The cells as the file holds them now (a Single keeps a float's precision, for one), so that the
        // next change of a row expects exactly what the writer will find.
        for (SnapshotChange& change : changes)
            if (change.kind != SnapshotChange::Kind::Remove && !database_->readRow(definition, change.where, change.values))
                throw EngineError("写入的行读不回来");
    } catch (const std::exception&) {
        stamp_ = FileStamp{};  // read everything again at the next statement
        snapshots_.clear();
        return changes;
    }
    if (!onlyWriter) {
        snapshots_.clear();
        return changes;
    }
    const auto kept = snapshots_.find(sql::lowerCase(table));
    if (kept == snapshots_.end() || changes.empty()) return changes;
    try {
        kept->second = kept->second->withChanges(changes);
    } catch (const std::invalid_argument&) {
        snapshots_.erase(kept);
    }
    return changes;
}

}  // namespace ado
