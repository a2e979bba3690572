#include "ado/sql/datum.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "ado/sql/error_at.h"
#include "ado/sql/text.h"

namespace ado::sql::detail {
namespace {

double decimalToReal(const jet::Decimal& d) {
    double value = 0;
    unsigned __int128 m = d.mantissa;
    double scale = 1;
    while (m) {
        value += static_cast<double>(static_cast<std::uint64_t>(m % 10)) * scale;
        m /= 10;
        scale *= 10;
    }
    value /= std::pow(10.0, d.scale);
    return d.negative ? -value : value;
}

std::string guidText(const jet::Guid& g) {
    // Stored little-endian in its first three groups, as Windows keeps a GUID.
    const auto& b = g.bytes;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return buffer;
}

void appendReal(double value, std::string& out) {
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof buffer, "%.15G", value);
    out.append(buffer, static_cast<std::size_t>(n));
}

void appendCurrency(std::int64_t units, std::string& out) {
    const bool negative = units < 0;
    const unsigned long long magnitude =
        negative ? 0ull - static_cast<unsigned long long>(units) : static_cast<unsigned long long>(units);
    if (negative) out += '-';
    out += std::to_string(magnitude / 10000);
    unsigned long long fraction = magnitude % 10000;
    if (fraction) {
        std::string digits = std::to_string(fraction + 10000).substr(1);
        while (digits.back() == '0') digits.pop_back();
        out += '.';
        out += digits;
    }
}

// "yyyy/m/d h:mm:ss", the date alone at midnight, the time alone on day zero.
void appendDate(double days, std::string& out) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) {
        appendReal(days, out);
        return;
    }
    const double whole = std::trunc(days);
    long long seconds = std::llround(std::fabs(days - whole) * 86400.0);
    long long day = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += days < 0 ? -1 : 1;
    }
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    long long z = day - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    char buffer[64];
    int n = 0;
    if (day != 0 || seconds == 0)
        n = std::snprintf(buffer, sizeof buffer, "%lld/%lld/%lld", y, m, d);
    if (seconds != 0)
        n += std::snprintf(buffer + n, sizeof buffer - static_cast<std::size_t>(n), "%s%lld:%02lld:%02lld",
                           n ? " " : "", seconds / 3600, seconds / 60 % 60, seconds % 60);
    out.append(buffer, static_cast<std::size_t>(n));
}

std::optional<Number> parseNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    Number number;
    std::string_view digits = text;
    if (digits.front() == '+') digits.remove_prefix(1);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number.integer);
    if (error == std::errc() && end == digits.data() + digits.size()) return number;
    const std::string copy(text);
    char* stop = nullptr;
    const double real = std::strtod(copy.c_str(), &stop);
    if (stop != copy.c_str() + copy.size() || !std::isfinite(real)) return std::nullopt;
    // strtod takes hexadecimal and "inf"; Jet's numbers are decimal only.
    for (char c : copy)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-' || c == ' '))
            return std::nullopt;
    number.isInteger = false;
    number.real = real;
    return number;
}

int sign(double a, double b) { return a < b ? -1 : a > b ? 1 : 0; }

}  // namespace

void typeMismatch(std::size_t position) { failAt("表达式中数据类型不匹配", position); }

Datum fromValue(const jet::Value& value, std::string& scratch) {
    Datum d;
    switch (value.index()) {
    case 0: break;
    case 1: d = Datum::ofBool(std::get<bool>(value)); break;
    case 2: d = Datum::ofInteger(std::get<std::int64_t>(value)); break;
    case 3: d = Datum::ofReal(std::get<double>(value)); break;
    case 4: d = Datum::ofText(std::get<std::string>(value)); break;
    case 5: d.kind = Kind::Currency; d.integer = std::get<jet::Currency>(value).units; break;
    case 6: d.kind = Kind::Date; d.real = std::get<jet::DateTime>(value).days; break;
    case 7: scratch = guidText(std::get<jet::Guid>(value)); d = Datum::ofText(scratch); break;
    case 8: d.kind = Kind::Binary; d.text = std::get<jet::Bytes>(value).data; break;
    case 9: d = Datum::ofReal(decimalToReal(std::get<jet::Decimal>(value))); break;
    }
    return d;
}

jet::Value toValue(const Datum& d) {
    switch (d.kind) {
    case Kind::Null: return jet::Value{};
    case Kind::Bool: return d.boolean;
    case Kind::Integer: return d.integer;
    case Kind::Real: return d.real;
    case Kind::Currency: return jet::Currency{d.integer};
    case Kind::Date: return jet::DateTime{d.real};
    case Kind::Text: return std::string(d.text);
    case Kind::Binary: return jet::Bytes{std::string(d.text)};
    }
    return jet::Value{};
}

Number toNumber(const Datum& d, std::size_t position) {
    Number n;
    switch (d.kind) {
    case Kind::Bool: n.integer = d.boolean ? -1 : 0; return n;
    case Kind::Integer: n.integer = d.integer; return n;
    case Kind::Real:
    case Kind::Date: n.isInteger = false; n.real = d.real; return n;
    case Kind::Currency: n.isInteger = false; n.real = static_cast<double>(d.integer) / 10000.0; return n;
    case Kind::Text:
        if (auto parsed = parseNumber(d.text)) return *parsed;
        typeMismatch(position);
    case Kind::Null:
    case Kind::Binary: break;
    }
    typeMismatch(position);
}

std::int64_t toInteger(const Datum& d, std::size_t position) {
    const Number n = toNumber(d, position);
    if (n.isInteger) return n.integer;
    const double rounded = std::nearbyint(n.real);
    if (!(rounded > -9.2e18 && rounded < 9.2e18)) failAt("数值溢出", position);
    return static_cast<std::int64_t>(rounded);
}

std::string_view toText(const Datum& d, std::string& scratch) {
    switch (d.kind) {
    case Kind::Text:
    case Kind::Binary: return d.text;
    case Kind::Null: return {};
    case Kind::Bool: return d.boolean ? "-1" : "0";
    default: break;
    }
    scratch.clear();
    switch (d.kind) {
    case Kind::Integer: scratch = std::to_string(d.integer); break;
    case Kind::Real: appendReal(d.real, scratch); break;
    case Kind::Currency: appendCurrency(d.integer, scratch); break;
    case Kind::Date: appendDate(d.real, scratch); break;
    default: break;
    }
    return scratch;
}

std::optional<bool> toCondition(const Datum& d, std::size_t position) {
    if (d.isNull()) return std::nullopt;
    if (d.kind == Kind::Bool) return d.boolean;
    const Number n = toNumber(d, position);
    return n.isInteger ? n.integer != 0 : n.real != 0;
}

std::optional<int> compare(const Datum& a, const Datum& b, std::size_t position) {
    if (a.isNull() || b.isNull()) return std::nullopt;
    if (a.kind == Kind::Text && b.kind == Kind::Text) return compareText(a.text, b.text);
    if (a.kind == Kind::Binary && b.kind == Kind::Binary) {
        const int c = a.text.compare(b.text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (!a.isNumeric() || !b.isNumeric()) typeMismatch(position);
    const Number x = toNumber(a, position);
    const Number y = toNumber(b, position);
    if (x.isInteger && y.isInteger) return x.integer < y.integer ? -1 : x.integer > y.integer ? 1 : 0;
    return sign(x.asReal(), y.asReal());
}

}  // namespace ado::sql::detail
