#include "ado/sql/executor.h"

#include "ado/engine_error.h"

namespace ado::sql {

jet::Value Result::value(std::size_t row, std::size_t column) const {
    const ResultColumn& c = columns.at(column);
    if (c.source) return table->value(rows.at(row), *c.source);
    return c.computed.at(row);
}

Result execute(const SelectStatement&, Catalog&, const ParameterValues&, RowFilterProvider*) {
    throw EngineError("查询尚未实现");
}

void requireParameterValues(const Parameters&, const ParameterValues&) {}

}  // namespace ado::sql
