#pragma once
// An expression compiled once against a table and its parameter values, then evaluated row by row.
// The engine uses it for the WHERE of UPDATE and DELETE and the values of UPDATE and INSERT.
#include <cstddef>
#include <memory>
#include <vector>

#include "ado/sql/ast.h"
#include "ado/sql/executor.h"
#include "ado/sql/table.h"
#include "jet/value.h"

namespace ado::sql {

namespace detail { class Node; }

class CompiledExpr {
public:
    // table may be null for an expression that reads no column (INSERT's values). Throws
    // ado::EngineError for an unknown column or function, a wrong argument count or a marker
    // without a value.
    CompiledExpr(const Expr&, const Table* table, const ParameterValues& parameters);
    ~CompiledExpr();
    CompiledExpr(CompiledExpr&&) noexcept;
    CompiledExpr& operator=(CompiledExpr&&) noexcept;

    jet::Value evaluate(std::size_t row) const;
    // WHERE's rule: true selects; false and Null do not.
    bool isTrue(std::size_t row) const;

private:
    std::unique_ptr<detail::Node> root_;
};

// The rows, ascending, of table for which where is true (every row when where is null).
std::vector<std::size_t> selectRows(const Table& table, const Expr* where, const ParameterValues& parameters);

}  // namespace ado::sql
