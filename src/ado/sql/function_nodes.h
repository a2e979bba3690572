#pragma once
// Nodes for the built-in functions: InStr, LCase, UCase, Len, Left, Right, Mid, Trim, LTrim, RTrim,
// Nz, IIf. Names ignore letter case.
//
// Null rules: a Null text or number argument gives Null (InStr with a Null string among them); Nz
// and IIf pass Null on only as a chosen value. Out-of-range numbers (a start below 1, a negative
// length, an unknown InStr comparison) are errors, as in Jet.
#include <cstddef>
#include <string_view>
#include <vector>

#include "ado/sql/node.h"

namespace ado::sql::detail {

// Throws ado::EngineError for an unknown function or a wrong number of arguments.
NodePtr makeFunction(std::string_view name, std::vector<NodePtr> arguments, std::size_t position);

}  // namespace ado::sql::detail
