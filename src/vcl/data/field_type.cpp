#include "vcl/data/field_type.h"

namespace vcl {

std::string_view FieldTypeName(TFieldType type) noexcept
{
    switch (type) {
    case TFieldType::ftUnknown: return "Unknown";
    case TFieldType::ftString: return "String";
    case TFieldType::ftSmallint: return "SmallInt";
    case TFieldType::ftInteger: return "Integer";
    case TFieldType::ftWord: return "Word";
    case TFieldType::ftBoolean: return "Boolean";
    case TFieldType::ftFloat: return "Float";
    case TFieldType::ftCurrency: return "Currency";
    case TFieldType::ftBCD: return "BCD";
    case TFieldType::ftDate: return "Date";
    case TFieldType::ftTime: return "Time";
    case TFieldType::ftDateTime: return "DateTime";
    case TFieldType::ftBytes: return "Bytes";
    case TFieldType::ftVarBytes: return "VarBytes";
    case TFieldType::ftAutoInc: return "AutoInc";
    case TFieldType::ftBlob: return "Blob";
    case TFieldType::ftMemo: return "Memo";
    case TFieldType::ftGraphic: return "Graphic";
    case TFieldType::ftFmtMemo: return "FmtMemo";
    case TFieldType::ftWideString: return "WideString";
    case TFieldType::ftLargeint: return "LargeInt";
    case TFieldType::ftGuid: return "Guid";
    case TFieldType::ftFMTBcd: return "FMTBcd";
    case TFieldType::ftWideMemo: return "WideMemo";
    }
    return "Unknown";
}

bool IsBlobType(TFieldType type) noexcept
{
    switch (type) {
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
    case TFieldType::ftFmtMemo:
    case TFieldType::ftWideMemo:
        return true;
    default:
        return false;
    }
}

}  // namespace vcl
