#include "jet/create/table_definition.h"

#include "jet/create/text_encoding.h"
#include "jet/error.h"
#include "jet/format.h"

namespace jet::create {
namespace {

const format::Layout& layout = format::Jet4Layout;

// Values Access writes into fields whose meaning is not known; kept so that the page looks like its.
constexpr std::uint32_t kDefinitionTag = 0x0659;     // repeated in every column and logical index entry
constexpr std::uint32_t kPhysicalIndexTag = 0x0783;  // at the start of every physical index entry
constexpr std::uint8_t kAutoNumberEnabled = 0x01;    // after the AutoNumber value
constexpr std::uint8_t kLogicalIndexFiller = 0x04;   // the two cascade bytes of indexes outside relations
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint8_t kIndexFlagAlways = 0x80;
constexpr std::uint16_t kNoColumn = 0xffff;
constexpr int kIndexColumnSlots = 10;

}  // namespace

Bytes tableDefinitionPage(const TableLayout& table, std::uint32_t pageSize) {
    Bytes d(layout.tdefBlockEnd, 0);
    d[0] = std::uint8_t(format::PageType::TableDefinition);
    d[1] = 0x01;
    put32(&d[12], kDefinitionTag);
    put32(&d[layout.tdefRowCount], table.rowCount);
    put32(&d[layout.tdefAutoNumber], table.lastAutoNumber);
    d[layout.tdefAutoNumber + 4] = kAutoNumberEnabled;
    d[layout.tdefTableType] = table.tableType;
    put16(&d[layout.tdefMaxColumns], std::uint32_t(table.columns.size()));
    put16(&d[layout.tdefVarColumns], table.varCount());
    put16(&d[layout.tdefColumnCount], std::uint32_t(table.columns.size()));
    put32(&d[layout.tdefLogicalIndexCount], std::uint32_t(table.indexes.size()));
    put32(&d[layout.tdefPhysicalIndexCount], std::uint32_t(table.indexes.size()));
    put32(&d[layout.tdefUsageMap], table.usageMap);
    put32(&d[layout.tdefFreeSpaceMap], table.freeSpaceMap);

    for (std::size_t i = 0; i < table.indexes.size(); ++i) {  // row counts of the physical indexes
        append32(d, 0);
        append32(d, table.rowCount);
        append32(d, 0);
    }
    for (const ColumnLayout& c : table.columns) {
        Bytes e(layout.columnEntry, 0);
        e[layout.columnType] = std::uint8_t(c.type);
        put32(&e[1], kDefinitionTag);
        put16(&e[layout.columnNumber], c.number);
        put16(&e[layout.columnVarIndex], c.varIndex);
        put16(&e[layout.columnNumber + 4], c.number);
        put16(&e[layout.columnSortOrder], kGeneralSortOrder);
        e[layout.columnFlags] = c.flags;
        e[layout.columnCompressedUnicode] = c.compressedUnicode ? 0x01 : 0x00;
        put16(&e[layout.columnFixedOffset], c.fixed() ? c.fixedOffset : 0);
        put16(&e[layout.columnSize], c.size);
        appendBytes(d, e);
    }
    for (const ColumnLayout& c : table.columns) {
        const Bytes name = utf16le(c.name);
        append16(d, std::uint32_t(name.size()));
        appendBytes(d, name);
    }
    for (const IndexLayout& index : table.indexes) {
        Bytes e(layout.physicalIndexEntry, 0);
        put32(&e[0], kPhysicalIndexTag);
        for (int slot = 0; slot < kIndexColumnSlots; ++slot) {
            const bool used = std::size_t(slot) < index.columns.size();
            put16(&e[4 + 3 * slot], used ? index.columns[std::size_t(slot)] : kNoColumn);
            e[4 + 3 * slot + 2] = used ? 0x01 : 0x00;  // ascending
        }
        put32(&e[34], index.usageMap);
        put32(&e[38], index.rootPage);
        e[46] = std::uint8_t(index.flags | kIndexFlagAlways);
        appendBytes(d, e);
    }
    for (std::size_t i = 0; i < table.indexes.size(); ++i) {
        Bytes e(layout.logicalIndexEntry, 0);
        put32(&e[0], kDefinitionTag);
        put32(&e[4], std::uint32_t(i));   // index number
        put32(&e[8], std::uint32_t(i));   // its physical index
        e[12] = 0;                        // no related table
        put32(&e[13], 0xffffffffu);
        put32(&e[17], 0);
        e[21] = kLogicalIndexFiller;
        e[22] = kLogicalIndexFiller;
        e[23] = table.indexes[i].kind;
        appendBytes(d, e);
    }
    for (const IndexLayout& index : table.indexes) {
        const Bytes name = utf16le(index.name);
        append16(d, std::uint32_t(name.size()));
        appendBytes(d, name);
    }
    for (const TableLayout::LongValueMaps& maps : table.longValueMaps) {
        append16(d, maps.column);
        append32(d, maps.usageMap);
        append32(d, maps.freeSpaceMap);
    }
    append16(d, kNoColumn);

    if (d.size() + 8 > pageSize) throw Error("表定义太长，一页放不下: " + table.name);
    put16(&d[2], std::uint32_t(pageSize - 8 - d.size()));
    put32(&d[layout.tdefLength], std::uint32_t(d.size()));
    d.resize(pageSize, 0);
    return d;
}

}  // namespace jet::create
