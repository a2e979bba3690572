#pragma once
// Turns a parsed expression into nodes bound to one table and the parameter values.
#include <string_view>

#include "ado/sql/ast.h"
#include "ado/sql/executor.h"
#include "ado/sql/node.h"
#include "ado/sql/table.h"

namespace ado::sql::detail {

struct Scope {
    const Table* table = nullptr;  // null: no column may be named
    std::string_view alias;        // FROM table alias, empty when none
    const ParameterValues* parameters = nullptr;
};

// Parts whose value is the same for every row are computed here, once. Throws ado::EngineError for
// an unknown column, table qualifier or function, a wrong argument count, a marker without a value.
NodePtr compile(const Expr&, const Scope&);

// The column that a name refers to; throws for an unknown one or a qualifier that is not the table's.
std::size_t resolveColumn(const ColumnRef&, std::size_t position, const Scope&);

}  // namespace ado::sql::detail
