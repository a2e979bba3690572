#pragma once
// Recognises the condition the search box composes, so that the engine may answer it its own way:
//   InStr(1, LCase(column), LCase(text), 0) <> 0
// with text a literal or a ? marker. A faster answer must keep the evaluator's meaning: a row is
// selected when its cell is not Null and lowerCase(text) occurs in lowerCase(cell) (ado/sql/text.h);
// a marker bound to Null selects nothing, one bound to a number searches for its text form.
#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "ado/sql/ast.h"

namespace ado::sql {

struct SearchShape {
    ColumnRef column;
    std::size_t columnPosition = 0;
    std::variant<std::string /*the literal's text*/, ParameterRef> text;
};

std::optional<SearchShape> matchSearchShape(const Expr&);

}  // namespace ado::sql
