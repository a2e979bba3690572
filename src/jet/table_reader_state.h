#pragma once
// The position of a TableReader: which data page and row come next, and the decoder of its rows.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "jet/data_page.h"
#include "jet/database_state.h"
#include "jet/row_decoder.h"

namespace jet::detail {

struct TableReaderState {
    TableReaderState(std::shared_ptr<const DatabaseState> database, TableDef definition)
        : db(std::move(database)), table(std::move(definition)), decoder(*db, table) {}

    // The next live row of the table; false at the end.
    bool next(std::vector<Value>& row, RowId* where);

    std::shared_ptr<const DatabaseState> db;
    const TableDef table;
    RowDecoder decoder;
    std::size_t nextPage = 0;           // index into table.dataPages
    std::optional<DataPage> page;       // the page being read
    std::uint16_t nextRow = 0;
    std::size_t releasedBelow = 0;      // file offset below which the mapping was handed back
};

// The bytes of the row in `slot`, following a moved row's pointer to where it now lives. nullopt for a
// deleted row.
std::optional<std::span<const std::uint8_t>> liveRowBytes(const DatabaseState& db, const DataPage& page,
                                                          const RowSlot& slot, std::uint32_t& storedOnPage);

}  // namespace jet::detail
