#include "jet/table_definition_reader.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "jet/byte_order.h"
#include "jet/text_decoder.h"
#include "jet/usage_map_reader.h"

namespace jet::detail {
namespace {

// The definition's bytes: the first page whole, then each continuation page after its 8-byte header,
// so that offsets run on across pages as Jet lays them out.
class DefinitionBytes {
public:
    DefinitionBytes(const DatabaseState& db, std::uint32_t first, const std::string& name) : db_(db), name_(name) {
        std::unordered_set<std::uint32_t> seen;
        std::uint32_t page = first;
        while (page != 0) {
            if (!seen.insert(page).second) fail("的定义页形成循环");
            const auto bytes = db.page(page);
            if (bytes[0] != std::uint8_t(format::PageType::TableDefinition))
                fail("的定义所在的第 " + std::to_string(page) + " 页不是表定义页");
            const std::size_t skip = bytes_.empty() ? 0 : 8;
            bytes_.insert(bytes_.end(), bytes.begin() + skip, bytes.end());
            page = le32(bytes.data() + db.layout->tdefNextPage);
        }
    }

    const std::uint8_t* at(std::size_t offset, std::size_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset) fail("的定义不完整");
        return bytes_.data() + offset;
    }
    std::uint8_t u8(std::size_t offset) const { return *at(offset, 1); }
    std::uint16_t u16(std::size_t offset) const { return le16(at(offset, 2)); }
    std::uint32_t u32(std::size_t offset) const { return le32(at(offset, 4)); }

    [[noreturn]] void fail(const std::string& what) const { db_.corrupt("表“" + name_ + "”" + what); }

private:
    const DatabaseState& db_;
    const std::string& name_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

TableDef readTableDefinition(const DatabaseState& db, std::uint32_t page, const std::string& name) {
    const format::Layout& L = *db.layout;
    const DefinitionBytes def(db, page, name);
    TextDecoder names(db.header.version, db.textCodePage(), db.path());

    TableDef table;
    table.name = name;
    table.definitionPage = page;
    table.rowCount = def.u32(L.tdefRowCount);
    table.nextAutoNumber = def.u32(L.tdefAutoNumber);
    table.tableType = def.u8(L.tdefTableType);
    table.maxColumns = def.u16(L.tdefMaxColumns);
    table.varColumns = def.u16(L.tdefVarColumns);
    const std::uint16_t columnCount = def.u16(L.tdefColumnCount);
    table.logicalIndexCount = def.u32(L.tdefLogicalIndexCount);
    table.physicalIndexCount = def.u32(L.tdefPhysicalIndexCount);
    table.usageMap = def.u32(L.tdefUsageMap);
    table.freeSpaceMap = def.u32(L.tdefFreeSpaceMap);
    // Jet allows 255 columns and 32 indexes; larger counts mean a damaged page, and bounding them
    // keeps a damaged file from asking for huge allocations.
    if (columnCount > 4096 || table.physicalIndexCount > 1024 || table.logicalIndexCount > 1024)
        def.fail("的定义中的列数或索引数不合理");

    std::size_t pos = L.tdefBlockEnd + std::size_t(table.physicalIndexCount) * L.physicalIndexCountEntry;
    table.columns.resize(columnCount);
    for (auto& column : table.columns) {
        const std::uint8_t* c = def.at(pos, L.columnEntry);
        column.type = ColumnType(c[L.columnType]);
        column.number = le16(c + L.columnNumber);
        column.varIndex = le16(c + L.columnVarIndex);
        column.flags = c[L.columnFlags];
        column.fixedOffset = le16(c + L.columnFixedOffset);
        column.size = le16(c + L.columnSize);
        column.fixed = column.flags & column_flags::Fixed;
        column.autoNumber = column.flags & (column_flags::AutoLong | column_flags::AutoGuid);
        if (column.type == ColumnType::Numeric) {
            column.precision = c[L.columnPrecision];
            column.scale = c[L.columnScale];
        }
        if (column.type == ColumnType::Text || column.type == ColumnType::Memo) {
            column.sortOrder = le16(c + L.columnSortOrder);
            if (L.columnCodePage) column.codePage = le16(c + L.columnCodePage);
            if (L.columnCompressedUnicode) column.compressedUnicode = c[L.columnCompressedUnicode] & 0x01;
        }
        pos += L.columnEntry;
    }
    for (auto& column : table.columns) {
        const std::size_t length = L.nameLengthSize == 1 ? def.u8(pos) : def.u16(pos);
        pos += L.nameLengthSize;
        names.decodeName(def.at(pos, length), length, column.name);
        pos += length;
    }
    std::stable_sort(table.columns.begin(), table.columns.end(),
                     [](const ColumnDef& a, const ColumnDef& b) { return a.number < b.number; });

    struct PhysicalIndex {
        std::vector<IndexColumn> columns;
        std::uint32_t usageMap = 0;
        std::uint32_t firstPage = 0;
        std::uint8_t flags = 0;
    };
    std::vector<PhysicalIndex> physical(table.physicalIndexCount);
    for (auto& index : physical) {
        const std::uint8_t* p = def.at(pos, L.physicalIndexEntry) + L.physicalIndexSkip;
        for (int i = 0; i < 10; ++i) {
            const std::uint16_t number = le16(p + 3 * i);
            if (number != 0xffff) index.columns.push_back({number, p[3 * i + 2] == 0x01});
        }
        index.usageMap = le32(p + 30);
        index.firstPage = le32(p + 34);
        index.flags = p[38];
        pos += L.physicalIndexEntry;
    }
    table.indexes.resize(table.logicalIndexCount);
    for (auto& index : table.indexes) {
        const std::uint8_t* p = def.at(pos, L.logicalIndexEntry) + L.logicalIndexSkip;
        index.number = le32(p);
        index.physicalIndex = le32(p + 4);
        index.kind = p[19];
        pos += L.logicalIndexEntry;
    }
    for (auto& index : table.indexes) {
        const std::size_t length = L.nameLengthSize == 1 ? def.u8(pos) : def.u16(pos);
        pos += L.nameLengthSize;
        names.decodeName(def.at(pos, length), length, index.name);
        pos += length;
        if (index.physicalIndex >= physical.size()) def.fail("的索引“" + index.name + "”指向不存在的索引数据");
        const PhysicalIndex& p = physical[index.physicalIndex];
        index.columns = p.columns;
        index.flags = p.flags;
        index.firstPage = p.firstPage;
        index.usageMap = p.usageMap;
        index.primary = index.kind == 1;
        index.foreignKey = index.kind == 2;
        index.unique = index.primary || (p.flags & index_flags::Unique);
        index.ignoreNulls = p.flags & index_flags::IgnoreNulls;
        index.required = p.flags & index_flags::Required;
    }

    table.dataPages = readUsageMap(db, table.usageMap);
    return table;
}

}  // namespace jet::detail
