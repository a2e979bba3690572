#include "ado/column_value.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <type_traits>
#include <string>

#include "ado/engine_error.h"
#include "ado/sql/datum.h"

namespace ado {
namespace {

bool isNumeric(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Boolean:
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
    case jet::ColumnType::Currency:
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
        return true;
    default:
        return false;
    }
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The number a text spells, whole when it is an integer; nothing when it spells none.
std::optional<jet::Value> numberIn(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    const char* end = text.data() + text.size();
    std::int64_t whole = 0;
    if (auto [at, error] = std::from_chars(text.data(), end, whole); error == std::errc() && at == end) return whole;
    double real = 0;
    if (auto [at, error] = std::from_chars(text.data(), end, real); error == std::errc() && at == end && std::isfinite(real))
        return real;
    return std::nullopt;
}

}  // namespace

jet::Value valueForColumn(const jet::ColumnDef& column, jet::Value value) {
    if (jet::isNull(value)) return value;
    if (column.type == jet::ColumnType::Text || column.type == jet::ColumnType::Memo) {
        if (std::holds_alternative<std::string>(value) || std::holds_alternative<jet::Bytes>(value)) return value;
        std::string held, converted;
        const sql::detail::Datum datum = sql::detail::fromValue(value, held);
        return std::string(sql::detail::toText(datum, converted));
    }
    if (isNumeric(column.type)) {
        if (const auto* text = std::get_if<std::string>(&value)) {
            std::optional<jet::Value> number = numberIn(*text);
            if (!number) throw EngineError("数据类型不匹配：列“" + column.name + "”需要数值，“" + *text + "”不是数值");
            if (column.type == jet::ColumnType::Boolean)
                return std::visit([](auto n) -> jet::Value {
                    if constexpr (std::is_arithmetic_v<decltype(n)>) return n != 0;
                    return false;
                }, *number);
            return *number;
        }
        if (column.type == jet::ColumnType::Boolean) {
            if (const auto* whole = std::get_if<std::int64_t>(&value)) return *whole != 0;
            if (const auto* real = std::get_if<double>(&value)) return *real != 0;
        }
    }
    return value;
}

}  // namespace ado
