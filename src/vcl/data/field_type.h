#pragma once
// The kinds of data a field holds, and the names a field shows for kinds it cannot show as text.
#include <string_view>

namespace vcl {

enum class TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate,
    ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
    ftWideString, ftLargeint, ftGuid, ftFMTBcd, ftWideMemo
};

// "String", "Memo", "Blob" and so on, as the placeholder "(%s)" of a field without a text form shows it.
std::string_view FieldTypeName(TFieldType type) noexcept;

// Whether values of the type are large objects (memo, binary): shown in lists only as a placeholder.
bool IsBlobType(TFieldType type) noexcept;

}  // namespace vcl
