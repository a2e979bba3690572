#pragma once
// Reads a statement of the Jet dialect into its parsed form.
//
//   SELECT [DISTINCT] [TOP n [PERCENT]] list FROM table [WHERE expr] [ORDER BY expr [ASC|DESC], ...]
//   UPDATE table SET column = expr [, ...] [WHERE expr]
//   DELETE [*] FROM table [WHERE expr]
//   INSERT INTO table [(column, ...)] VALUES (expr, ...)
//
// A statement may end with one ";". All failures are ado::EngineError with the character position.
#include <cstddef>
#include <string_view>

#include "ado/sql/ast.h"

namespace ado::sql {

// Deepest nesting of parentheses, function calls and unary operators accepted.
inline constexpr std::size_t kMaxNesting = 200;
// Tallest expression tree accepted (long chains such as 1+1+...+1 count too).
inline constexpr std::uint32_t kMaxExpressionDepth = 1000;

Statement parseStatement(std::string_view utf8);

// Like parseStatement, but anything other than a SELECT is an error.
SelectStatement parseSelect(std::string_view utf8);

}  // namespace ado::sql
