#pragma once
// The evaluator's own value: small, copied freely, its text a view into storage that a node, a
// constant or the table owns. Evaluating a node again may overwrite the text its last result showed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "jet/value.h"

namespace ado::sql::detail {

enum class Kind : std::uint8_t { Null, Bool, Integer, Real, Currency, Date, Text, Binary };

struct Datum {
    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;  // Integer; Currency in ten-thousandths
    double real = 0;           // Real; Date in days since 1899-12-30
    std::string_view text;     // Text; Binary as raw bytes

    static Datum null() { return {}; }
    static Datum ofBool(bool b) { Datum d; d.kind = Kind::Bool; d.boolean = b; return d; }
    static Datum ofInteger(std::int64_t i) { Datum d; d.kind = Kind::Integer; d.integer = i; return d; }
    static Datum ofReal(double r) { Datum d; d.kind = Kind::Real; d.real = r; return d; }
    static Datum ofText(std::string_view t) { Datum d; d.kind = Kind::Text; d.text = t; return d; }

    bool isNull() const { return kind == Kind::Null; }
    bool isNumeric() const { return kind == Kind::Bool || kind == Kind::Integer || kind == Kind::Real || kind == Kind::Currency || kind == Kind::Date; }
};

// A cell's value as a Datum; text that the Datum cannot point into directly (a GUID's text form) goes
// into scratch.
Datum fromValue(const jet::Value& value, std::string& scratch);
// The Datum as a value to hand out.
jet::Value toValue(const Datum& datum);

// A number for arithmetic: an integer when it fits, else a double.
struct Number {
    bool isInteger = true;
    std::int64_t integer = 0;
    double real = 0;
    double asReal() const { return isInteger ? static_cast<double>(integer) : real; }
};

// Conversions with Jet's rules; position names the expression in a type-mismatch message.
Number toNumber(const Datum& datum, std::size_t position);  // not for Null
std::int64_t toInteger(const Datum& datum, std::size_t position);  // rounds half to even
std::string_view toText(const Datum& datum, std::string& scratch);  // not for Null
std::optional<bool> toCondition(const Datum& datum, std::size_t position);  // nullopt for Null

// -1, 0 or 1; nullopt when either side is Null. Text ignores letter case.
std::optional<int> compare(const Datum& a, const Datum& b, std::size_t position);

[[noreturn]] void typeMismatch(std::size_t position);

}  // namespace ado::sql::detail
