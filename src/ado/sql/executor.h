#pragma once
// Runs a SELECT against a catalog and describes the result without copying the source's cells.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/sql/ast.h"
#include "ado/sql/table.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace ado::sql {

// The values bound to the ? markers, in order; nullopt is a marker without a value.
using ParameterValues = std::vector<std::optional<jet::Value>>;

struct ResultColumn {
    std::string name;
    jet::ColumnType type;
    std::optional<std::size_t> source;  // the source column whose cells this column shows
    std::vector<jet::Value> computed;   // otherwise: one value per result row
};

struct Result {
    std::shared_ptr<const Table> table;  // the source table
    std::vector<ResultColumn> columns;
    std::vector<std::size_t> rows;       // source row numbers, in result order

    std::size_t rowCount() const { return rows.size(); }
    jet::Value value(std::size_t row, std::size_t column) const;
};

// A way for the engine to answer a WHERE faster than the evaluator, e.g. for matchSearchShape's form.
class RowFilterProvider {
public:
    virtual ~RowFilterProvider() = default;
    // The rows of table, ascending, for which where is true; nullopt to leave it to the evaluator.
    virtual std::optional<std::vector<std::size_t>> filter(const Table& table, const Expr& where,
                                                           const ParameterValues& parameters) = 0;
};

// Throws ado::EngineError: unknown table or column, a marker without a value, and the evaluation's
// failures (type mismatch, division by zero, wrong arguments), each naming its character position.
Result execute(const SelectStatement&, Catalog&, const ParameterValues& parameters,
               RowFilterProvider* filter = nullptr);

// The checks execute makes of the markers, for statements the engine runs itself.
void requireParameterValues(const Parameters&, const ParameterValues&);

}  // namespace ado::sql
