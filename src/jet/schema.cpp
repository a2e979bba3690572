#include "jet/schema.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

namespace jet {

std::string_view columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean: return "Yes/No";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long Integer";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "Date/Time";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::OLE: return "OLE Object";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Replication ID";
    case ColumnType::Numeric: return "Decimal";
    }
    return "Unknown";
}

std::uint16_t fixedSizeOf(ColumnType type) {
    switch (type) {
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Single: return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    default: return 0;
    }
}

namespace {

// Compares two UTF-8 names code point by code point after simple case folding.
bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    std::int32_t i = 0;
    std::int32_t j = 0;
    const auto* pa = reinterpret_cast<const std::uint8_t*>(a.data());
    const auto* pb = reinterpret_cast<const std::uint8_t*>(b.data());
    const auto na = std::int32_t(a.size());
    const auto nb = std::int32_t(b.size());
    while (i < na && j < nb) {
        UChar32 ca;
        UChar32 cb;
        U8_NEXT(pa, i, na, ca);
        U8_NEXT(pb, j, nb, cb);
        if (ca != cb && u_foldCase(ca, U_FOLD_CASE_DEFAULT) != u_foldCase(cb, U_FOLD_CASE_DEFAULT)) return false;
    }
    return i == na && j == nb;
}

}  // namespace

int TableDef::columnIndex(std::string_view wanted) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (sameNameIgnoringCase(columns[i].name, wanted)) return int(i);
    return -1;
}

const ColumnDef* TableDef::findColumn(std::string_view wanted) const {
    const int i = columnIndex(wanted);
    return i < 0 ? nullptr : &columns[std::size_t(i)];
}

bool sameName(std::string_view a, std::string_view b) { return sameNameIgnoringCase(a, b); }

}  // namespace jet
