#pragma once
// What the writer knows of a table it creates: columns with their place in a row, indexes, and the
// pages it was given. Enough to encode rows and to write the table definition page.
#include <cstdint>
#include <string>
#include <vector>

#include "jet/schema.h"

namespace jet::create {

struct ColumnLayout {
    std::string name;
    ColumnType type;
    std::uint8_t flags;            // column flags of the definition (fixed, updatable, AutoNumber, ...)
    std::uint16_t size;            // bytes; 0 for memo and OLE
    bool compressedUnicode = false;
    // Filled by layOut(): column number, offset among fixed columns or index among variable ones.
    std::uint16_t number = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t varIndex = 0;
    bool fixed() const { return flags & 0x01; }
    bool longValue() const { return type == ColumnType::Memo || type == ColumnType::OLE; }
};

struct IndexLayout {
    std::string name;
    std::vector<std::uint16_t> columns;  // column numbers, all ascending
    std::uint8_t flags;                  // 0x01 unique, 0x02 ignore nulls, 0x08 required, 0x80 always
    std::uint8_t kind;                   // 1 primary key, 0 other
    std::uint32_t rootPage = 0;          // first index page
    std::uint32_t usageMap = 0;          // row pointer of the index's usage map
};

struct TableLayout {
    std::string name;
    std::uint8_t tableType = 0;  // format::TableTypeUser or TableTypeSystem
    std::vector<ColumnLayout> columns;
    std::vector<IndexLayout> indexes;  // one logical index per physical index, same order
    std::uint32_t definitionPage = 0;
    std::uint32_t rowCount = 0;
    std::uint32_t lastAutoNumber = 0;
    std::uint32_t usageMap = 0;      // row pointers of the table's own maps
    std::uint32_t freeSpaceMap = 0;
    struct LongValueMaps { std::uint16_t column; std::uint32_t usageMap, freeSpaceMap; };
    std::vector<LongValueMaps> longValueMaps;  // one pair per memo/OLE column

    // Numbers the columns and places them in the row: fixed columns one after another, the
    // variable ones by their order. Call once after the columns are listed.
    void layOut();
    std::uint16_t fixedLength() const;
    std::uint16_t varCount() const;
};

}  // namespace jet::create
