#pragma once
// Facts of the Jet page format that every reader and writer of the file shares: page types, the
// masked header area, and where things sit on each kind of page, by file version.
#include <cstdint>

namespace jet::format {

// First byte of every page.
enum class PageType : std::uint8_t {
    Database = 0x00,      // page 0, the file header
    Data = 0x01,          // rows, and long values ("LVAL" pages)
    TableDefinition = 0x02,
    IndexNode = 0x03,     // intermediate index page
    IndexLeaf = 0x04,
    UsageMap = 0x05,      // a page of a by-reference usage bitmap
};

// File header (page 0).
inline constexpr std::uint32_t MagicOffset = 0x00;           // 00 01 00 00
inline constexpr std::uint32_t EngineNameOffset = 0x04;      // "Standard Jet DB\0"
inline constexpr std::uint32_t VersionOffset = 0x14;         // 0 Jet 3, 1 Jet 4, 2+ ACE
inline constexpr std::uint32_t MaskedAreaOffset = 0x18;      // RC4-masked from here
inline constexpr std::uint32_t MaskedAreaLengthJet3 = 126;
inline constexpr std::uint32_t MaskedAreaLengthJet4 = 128;
inline constexpr std::uint32_t HeaderMaskKey = 0x6b39dac7;   // the RC4 key of the masked area
inline constexpr std::uint32_t SortOrderOffsetJet3 = 0x3a;   // 2 bytes
inline constexpr std::uint32_t CodePageOffset = 0x3c;        // 2 bytes
inline constexpr std::uint32_t DatabaseKeyOffset = 0x3e;     // 4 bytes; non-zero: pages RC4-encrypted
inline constexpr std::uint32_t PasswordOffset = 0x42;        // 20 bytes (Jet 3) / 40 bytes (Jet 4)
inline constexpr std::uint32_t PasswordLengthJet3 = 20;
inline constexpr std::uint32_t PasswordLengthJet4 = 40;
inline constexpr std::uint32_t SortOrderOffsetJet4 = 0x6e;   // 2 bytes order, 2 bytes version
inline constexpr std::uint32_t CreationDateOffset = 0x72;    // Jet 4: 8-byte double, masks the password
inline constexpr std::uint8_t VersionJet3 = 0x00;
inline constexpr std::uint8_t VersionJet4 = 0x01;

// Row-offset entries of data pages: the low 13 bits are the offset, the high bits flags.
inline constexpr std::uint16_t RowOffsetMask = 0x1fff;
inline constexpr std::uint16_t RowDeletedFlag = 0x8000;
inline constexpr std::uint16_t RowLookupFlag = 0x4000;  // the row holds a pointer to where it moved

// A row pointer ("data pointer") packs page and row: page << 8 | row.
inline constexpr std::uint32_t pointerPage(std::uint32_t pointer) { return pointer >> 8; }
inline constexpr std::uint16_t pointerRow(std::uint32_t pointer) { return pointer & 0xff; }
inline constexpr std::uint32_t makePointer(std::uint32_t page, std::uint16_t row) { return page << 8 | (row & 0xff); }

// Long values (memo, OLE): the 12-byte reference stored in the row.
inline constexpr std::uint32_t LongValueReferenceSize = 12;
inline constexpr std::uint32_t LongValueInline = 0x80000000;     // the value follows the reference
inline constexpr std::uint32_t LongValueSinglePage = 0x40000000; // one row on an LVAL page
inline constexpr std::uint32_t LongValueLengthMask = 0x3fffffff;

// Usage maps: first byte of the map row.
inline constexpr std::uint8_t UsageMapInline = 0x00;     // start page + bitmap
inline constexpr std::uint8_t UsageMapReference = 0x01;  // list of usage-map pages
inline constexpr std::uint32_t UsageMapPageHeader = 4;   // bitmap of a type 0x05 page starts here

// Table types in the definition.
inline constexpr std::uint8_t TableTypeUser = 0x4e;
inline constexpr std::uint8_t TableTypeSystem = 0x53;

// The catalog MSysObjects always starts at page 2.
inline constexpr std::uint32_t CatalogPage = 2;

// Offsets that differ between Jet 3 and Jet 4.
struct Layout {
    int version;
    std::uint32_t pageSize;

    // Data pages: 01 01 free(2) owner(4) [Jet 4: 4 unknown] rowCount(2) offsets(2 each)
    std::uint32_t dataFreeSpace;    // 2
    std::uint32_t dataOwner;        // 4: first page of the owning table's definition ("LVAL" on long-value pages)
    std::uint32_t dataRowCount;     // 8 / 12
    std::uint32_t dataRowTable;     // 10 / 14: first row offset entry
    std::uint32_t maxRowsPerPage;   // 255
    std::uint32_t maxRowSize;       // 2012 / 4060
    std::uint32_t maxLongValueRowSize;   // 2032 / 4076: payload of one long-value row
    std::uint32_t maxInlineLongValue;    // 64: longer memo values leave the row

    // Rows
    std::uint32_t rowColumnCountSize;  // 1 / 2: column count at the start of a row, var count at the end
    std::uint32_t rowVarOffsetSize;    // 1 / 2: one entry of the variable-column offset table

    // Table definition pages: 02 01 (Jet 3 "VC" / Jet 4 free space) next(4), then the definition
    std::uint32_t tdefNextPage;        // 4
    std::uint32_t tdefLength;          // 8
    std::uint32_t tdefRowCount;        // 12 / 16
    std::uint32_t tdefAutoNumber;      // 16 / 20
    std::uint32_t tdefTableType;       // 20 / 40
    std::uint32_t tdefMaxColumns;      // 21 / 41
    std::uint32_t tdefVarColumns;      // 23 / 43
    std::uint32_t tdefColumnCount;     // 25 / 45
    std::uint32_t tdefLogicalIndexCount;   // 27 / 47
    std::uint32_t tdefPhysicalIndexCount;  // 31 / 51
    std::uint32_t tdefUsageMap;        // 35 / 55
    std::uint32_t tdefFreeSpaceMap;    // 39 / 59
    std::uint32_t tdefBlockEnd;        // 43 / 63: one row-count entry per physical index follows
    std::uint32_t physicalIndexCountEntry;  // 8 / 12 bytes each

    // One column entry
    std::uint32_t columnEntry;         // 18 / 25 bytes
    std::uint32_t columnType;          // 0
    std::uint32_t columnNumber;        // 1 / 5
    std::uint32_t columnVarIndex;      // 3 / 7
    std::uint32_t columnSortOrder;     // 9 / 11: text columns
    std::uint32_t columnCodePage;      // 11 / none (0): Jet 3 text columns
    std::uint32_t columnPrecision;     // 11: Numeric
    std::uint32_t columnScale;         // 12: Numeric
    std::uint32_t columnFlags;         // 13 / 15
    std::uint32_t columnCompressedUnicode;  // none (0) / 16: bit 0x01
    std::uint32_t columnFixedOffset;   // 14 / 21
    std::uint32_t columnSize;          // 16 / 23
    std::uint32_t nameLengthSize;      // 1 / 2: names are 8-bit (Jet 3) or UTF-16 with a byte count (Jet 4)

    // Physical index entry: [skip] 10 x (column number 2, order 1), usage map 4, first page 4, flags 1
    std::uint32_t physicalIndexEntry;  // 39 / 52
    std::uint32_t physicalIndexSkip;   // 0 / 4
    // Logical index entry: [skip] number 4, physical index 4, related table type 1, related index 4,
    // related table page 4, cascade updates 1, cascade deletes 1, kind 1
    std::uint32_t logicalIndexEntry;   // 20 / 28
    std::uint32_t logicalIndexSkip;    // 0 / 4

    // Index pages: 03|04 01 free(2) parent(4) [Jet 4: 4 unknown] prev(4) next(4) tail(4) prefix(2) bitmap
    std::uint32_t indexParentPage;     // 4
    std::uint32_t indexPrevPage;       // 8 / 12
    std::uint32_t indexNextPage;       // 12 / 16
    std::uint32_t indexTailPage;       // 16 / 20
    std::uint32_t indexPrefixLength;   // 20 / 24
    std::uint32_t indexBitmap;         // 22 / 27
    std::uint32_t indexEntries;        // 0xf8 / 0x1e0
};

inline constexpr Layout Jet3Layout{
    .version = 3, .pageSize = 2048,
    .dataFreeSpace = 2, .dataOwner = 4, .dataRowCount = 8, .dataRowTable = 10, .maxRowsPerPage = 255,
    .maxRowSize = 2012, .maxLongValueRowSize = 2032, .maxInlineLongValue = 64,
    .rowColumnCountSize = 1, .rowVarOffsetSize = 1,
    .tdefNextPage = 4, .tdefLength = 8, .tdefRowCount = 12, .tdefAutoNumber = 16, .tdefTableType = 20,
    .tdefMaxColumns = 21, .tdefVarColumns = 23, .tdefColumnCount = 25, .tdefLogicalIndexCount = 27,
    .tdefPhysicalIndexCount = 31, .tdefUsageMap = 35, .tdefFreeSpaceMap = 39, .tdefBlockEnd = 43,
    .physicalIndexCountEntry = 8,
    .columnEntry = 18, .columnType = 0, .columnNumber = 1, .columnVarIndex = 3, .columnSortOrder = 9,
    .columnCodePage = 11, .columnPrecision = 11, .columnScale = 12, .columnFlags = 13,
    .columnCompressedUnicode = 0, .columnFixedOffset = 14, .columnSize = 16, .nameLengthSize = 1,
    .physicalIndexEntry = 39, .physicalIndexSkip = 0, .logicalIndexEntry = 20, .logicalIndexSkip = 0,
    .indexParentPage = 4, .indexPrevPage = 8, .indexNextPage = 12, .indexTailPage = 16,
    .indexPrefixLength = 20, .indexBitmap = 22, .indexEntries = 0xf8,
};

inline constexpr Layout Jet4Layout{
    .version = 4, .pageSize = 4096,
    .dataFreeSpace = 2, .dataOwner = 4, .dataRowCount = 12, .dataRowTable = 14, .maxRowsPerPage = 255,
    .maxRowSize = 4060, .maxLongValueRowSize = 4076, .maxInlineLongValue = 64,
    .rowColumnCountSize = 2, .rowVarOffsetSize = 2,
    .tdefNextPage = 4, .tdefLength = 8, .tdefRowCount = 16, .tdefAutoNumber = 20, .tdefTableType = 40,
    .tdefMaxColumns = 41, .tdefVarColumns = 43, .tdefColumnCount = 45, .tdefLogicalIndexCount = 47,
    .tdefPhysicalIndexCount = 51, .tdefUsageMap = 55, .tdefFreeSpaceMap = 59, .tdefBlockEnd = 63,
    .physicalIndexCountEntry = 12,
    .columnEntry = 25, .columnType = 0, .columnNumber = 5, .columnVarIndex = 7, .columnSortOrder = 11,
    .columnCodePage = 0, .columnPrecision = 11, .columnScale = 12, .columnFlags = 15,
    .columnCompressedUnicode = 16, .columnFixedOffset = 21, .columnSize = 23, .nameLengthSize = 2,
    .physicalIndexEntry = 52, .physicalIndexSkip = 4, .logicalIndexEntry = 28, .logicalIndexSkip = 4,
    .indexParentPage = 4, .indexPrevPage = 12, .indexNextPage = 16, .indexTailPage = 20,
    .indexPrefixLength = 24, .indexBitmap = 27, .indexEntries = 0x1e0,
};

inline constexpr const Layout& layoutFor(int version) { return version == 3 ? Jet3Layout : Jet4Layout; }

}  // namespace jet::format
