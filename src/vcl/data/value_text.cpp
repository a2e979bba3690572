#include "vcl/data/value_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <type_traits>

#include "vcl/data/exceptions.h"

namespace vcl {

namespace {

// Fifteen significant digits, no exponent for ordinary magnitudes, "1E20" rather than "1e+20".
std::string floatText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    const auto e = text.find('e');
    if (e == std::string::npos)
        return text;
    std::string mantissa = text.substr(0, e);
    std::string exponent = text.substr(e + 1);
    bool negative = false;
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
        negative = exponent[0] == '-';
        exponent.erase(0, 1);
    }
    exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// "12.3400" as "12.34", "5.0000" as "5".
std::string withoutTrailingZeros(std::string text)
{
    if (text.find('.') == std::string::npos)
        return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

std::string valueText(const jet::Value& value)
{
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, jet::Null>)
                return {};
            else if constexpr (std::is_same_v<T, bool>)
                return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, std::int64_t>)
                return std::to_string(v);
            else if constexpr (std::is_same_v<T, double>)
                return floatText(v);
            else if constexpr (std::is_same_v<T, std::string>)
                return v;
            else if constexpr (std::is_same_v<T, jet::Currency>)
                return withoutTrailingZeros(v.toString());
            else if constexpr (std::is_same_v<T, jet::DateTime>) {
                std::string text = v.toString();
                // A date without a time of day shows as the date alone.
                if (text.size() > 9 && text.ends_with(" 00:00:00"))
                    text.resize(text.size() - 9);
                return text;
            } else if constexpr (std::is_same_v<T, jet::Bytes>)
                return v.data;
            else
                return v.toString();  // Guid, Decimal
        },
        value);
}

TFieldType fieldTypeOf(jet::ColumnType type) noexcept
{
    switch (type) {
    case jet::ColumnType::Boolean: return TFieldType::ftBoolean;
    case jet::ColumnType::Byte: return TFieldType::ftWord;
    case jet::ColumnType::Integer: return TFieldType::ftSmallint;
    case jet::ColumnType::Long: return TFieldType::ftInteger;
    case jet::ColumnType::Currency: return TFieldType::ftBCD;
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return TFieldType::ftFloat;
    case jet::ColumnType::DateTime: return TFieldType::ftDateTime;
    case jet::ColumnType::Binary: return TFieldType::ftVarBytes;
    case jet::ColumnType::Text: return TFieldType::ftWideString;
    case jet::ColumnType::OLE: return TFieldType::ftBlob;
    case jet::ColumnType::Memo: return TFieldType::ftMemo;
    case jet::ColumnType::Guid: return TFieldType::ftGuid;
    case jet::ColumnType::Numeric: return TFieldType::ftBCD;
    }
    return TFieldType::ftUnknown;
}

}  // namespace vcl

namespace vcl {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

[[noreturn]] void notValid(const std::string& text, const char* kind)
{
    throw EDatabaseError("'" + text + "' is not a valid " + kind + " value");
}

template <typename Number>
Number parsed(const std::string& text, const char* kind)
{
    const std::string_view digits = trimmed(text);
    Number number{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        notValid(text, kind);
    return number;
}

}  // namespace

jet::Value valueFromText(const std::string& text, jet::ColumnType type)
{
    switch (type) {
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
        return parsed<std::int64_t>(text, "integer");
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
        return parsed<double>(text, "floating point");
    case jet::ColumnType::Boolean: {
        const std::string_view word = trimmed(text);
        if (sameIgnoringCase(word, "true"))
            return true;
        if (sameIgnoringCase(word, "false"))
            return false;
        notValid(text, "boolean");
    }
    default:
        return text;
    }
}

}  // namespace vcl
