#pragma once
// What the file says about itself: header facts, tables, columns and indexes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

enum class ColumnType : std::uint8_t {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    DateTime = 8,
    Binary = 9,
    Text = 10,
    OLE = 11,
    Memo = 12,
    Guid = 15,
    Numeric = 16,
};

// Access's own English name of a type ("Text", "Memo", "Long Integer", ...); "Unknown" for others.
std::string_view columnTypeName(ColumnType type);
// Size in bytes of a fixed-length type's stored value (0 for Boolean, which lives in the null mask,
// and for the variable-length types).
std::uint16_t fixedSizeOf(ColumnType type);

// Column flag bits as stored in the table definition.
namespace column_flags {
inline constexpr std::uint8_t Fixed = 0x01;
inline constexpr std::uint8_t Nullable = 0x02;
inline constexpr std::uint8_t AutoLong = 0x04;
inline constexpr std::uint8_t Replication = 0x10;
inline constexpr std::uint8_t AutoGuid = 0x40;
inline constexpr std::uint8_t Hyperlink = 0x80;
}  // namespace column_flags

struct ColumnDef {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::uint16_t number = 0;       // column id within the row (counts deleted columns too)
    std::uint16_t size = 0;         // stored length in bytes (0 for Memo and OLE)
    std::uint8_t flags = 0;         // column_flags bits
    bool autoNumber = false;        // AutoNumber (auto long or auto GUID)
    bool fixed = false;             // stored in the fixed part of the row
    std::uint16_t fixedOffset = 0;  // offset within the fixed part (fixed columns)
    std::uint16_t varIndex = 0;     // slot in the row's variable-column offset table (variable columns)
    std::uint8_t precision = 0;     // Numeric
    std::uint8_t scale = 0;         // Numeric
    std::uint16_t codePage = 0;     // Jet 3 text columns: code page; 0 = the file's
    std::uint16_t sortOrder = 0;    // text columns: collating order (0x409 = General)
    bool compressedUnicode = false; // Jet 4 text and memo: "Unicode compression" on
};

// Index flag bits as stored with the physical index.
namespace index_flags {
inline constexpr std::uint8_t Unique = 0x01;
inline constexpr std::uint8_t IgnoreNulls = 0x02;
inline constexpr std::uint8_t Required = 0x08;
}  // namespace index_flags

struct IndexColumn {
    std::uint16_t columnNumber = 0;  // ColumnDef::number
    bool ascending = true;
};

struct IndexDef {
    std::string name;
    std::uint32_t number = 0;        // logical index number
    std::uint32_t physicalIndex = 0; // which physical index holds the entries (shared by foreign keys)
    std::vector<IndexColumn> columns;
    std::uint8_t flags = 0;          // index_flags bits
    std::uint8_t kind = 0;           // 1 primary key, 2 foreign key, 0 other
    bool primary = false;
    bool unique = false;
    bool ignoreNulls = false;
    bool required = false;
    bool foreignKey = false;
    std::uint32_t firstPage = 0;     // root page of the index tree
    std::uint32_t usageMap = 0;      // row pointer (page << 8 | row) of the index's usage map
};

struct TableDef {
    std::string name;
    std::uint32_t definitionPage = 0;  // first page of the table definition
    std::uint32_t rowCount = 0;
    std::uint32_t nextAutoNumber = 0;
    std::uint8_t tableType = 0;         // 0x4e user, 0x53 system
    std::uint16_t maxColumns = 0;       // highest column count a row may carry
    std::uint16_t varColumns = 0;       // number of variable-length columns
    std::uint32_t logicalIndexCount = 0;
    std::uint32_t physicalIndexCount = 0;
    std::vector<ColumnDef> columns;     // in column-number order, as Access shows them
    std::vector<IndexDef> indexes;
    std::uint32_t usageMap = 0;         // row pointer of the map of pages the table owns
    std::uint32_t freeSpaceMap = 0;     // row pointer of the map of its pages with free space
    std::vector<std::uint32_t> dataPages;  // the table's data pages, ascending

    // The column by name, letter case ignored; nullptr when there is none.
    const ColumnDef* findColumn(std::string_view name) const;
    // Its position in columns, or -1.
    int columnIndex(std::string_view name) const;
};

// Where a row lives: data page and slot in that page's row table.
struct RowId {
    std::uint32_t page = 0;
    std::uint16_t row = 0;
    friend bool operator==(const RowId&, const RowId&) = default;
};

struct FileHeader {
    int version = 4;                 // 3 (Access 97) or 4 (Access 2000/2002/2003)
    std::uint8_t versionByte = 1;    // the raw byte at 0x14
    std::uint32_t pageSize = 4096;
    std::uint32_t pageCount = 0;
    std::uint16_t codePage = 0;      // default code page of the file (Jet 3 text)
    std::uint16_t sortOrder = 0;     // default text collating order
    std::uint16_t sortVersion = 0;   // Jet 4: version of the collating order
    std::uint32_t databaseKey = 0;   // non-zero: the pages are RC4-encrypted
    bool hasPassword = false;
    double creationDate = 0;         // Jet 4 (days since 1899-12-30)
};

// Whether two names are the same with letter case ignored (Access's rule for table and column names).
bool sameName(std::string_view a, std::string_view b);

// One row of the system catalog MSysObjects.
struct CatalogEntry {
    std::string name;
    std::int32_t id = 0;        // low 24 bits: first page of the definition (tables)
    std::int32_t parentId = 0;
    std::int16_t type = 0;      // 1 local table, 4/6 linked tables, 5 queries, ...
    std::uint32_t flags = 0;    // 0x80000000 / 0x00000002 mark system tables
    bool isUserTable() const { return type == 1 && (flags & 0x80000002u) == 0; }
};

}  // namespace jet
