#pragma once
// The long-value (LVAL) pages of a table's memo and OLE columns, kept as Jet 4 keeps them.
//
// A Jet 4 table definition lists, after its index names, two usage maps per long-value column: the
// LVAL pages the column's values use, and those of them with room left. Values written here go on
// pages of their own column (first on one its free-space map lists, as Jet reuses room), new pages
// enter that column's maps, and pages that lose or gain room are taken out of or put into its
// free-space map.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"
#include "jet/write/page_store.h"
#include "jet/write/row_encoding.h"

namespace jet::write {

struct LongValueColumnMaps {
    std::uint16_t column = 0;        // ColumnDef::number
    std::uint32_t usageMap = 0;      // row pointer of the map of the column's LVAL pages
    std::uint32_t freeSpaceMap = 0;  // row pointer of the map of those with free space
};

// The maps the definition lists, each checked to name a long-value column of the table and to point at
// a usage map row; nothing when the list is not there in a form understood (then no maps are kept).
std::optional<std::vector<LongValueColumnMaps>> longValueMaps(const PageStore& store, const TableDef& table);

// A long value a stored row keeps on LVAL pages, with its column.
struct ColumnLongValue {
    std::uint16_t column = 0;
    LongValueRef ref;
};
std::vector<ColumnLongValue> columnLongValues(const TableDef& table, const std::vector<std::uint8_t>& row);

// The LVAL pages a long value's rows are on, in chain order; stops at a link that leads off LVAL pages.
std::vector<std::uint32_t> longValuePages(const PageStore& store, const LongValueRef& ref);

// The long values of one change (one or many rows of one table).
class LongValuePages {
public:
    LongValuePages(PageStore& store, const TableDef& table);

    // The row's stored bytes, its long values put on LVAL pages of their columns.
    std::vector<std::uint8_t> encode(const std::vector<Value>& values);
    // Frees the long values a stored row holds (their LVAL rows marked deleted).
    void freeValuesOf(const std::vector<std::uint8_t>& row);
    // Brings the free-space maps up to date for every LVAL page this change touched; call before commit.
    void finish();

private:
    std::vector<std::uint8_t> store(const std::vector<std::uint8_t>& stored, std::optional<std::size_t> maps);
    std::uint32_t addRow(std::vector<std::uint8_t> row, std::optional<std::size_t> maps);
    std::optional<std::uint32_t> pageWithRoom(std::size_t maps, std::size_t bytes) const;
    std::uint32_t newPage(const std::vector<std::uint8_t>& image, std::optional<std::size_t> maps);
    void free(const LongValueRef& ref, std::optional<std::size_t> maps);
    std::optional<std::size_t> mapsOf(std::uint16_t column) const;

    PageStore& store_;
    const TableDef& table_;
    std::vector<LongValueColumnMaps> maps_;
    std::map<int, std::uint32_t> current_;                        // per maps entry (-1: none): page being filled
    std::map<std::uint32_t, std::optional<std::size_t>> touched_;  // LVAL page -> its column's maps
};

}  // namespace jet::write
