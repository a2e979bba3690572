#pragma once
// Answers the search box's condition, InStr(1, LCase(column), LCase(text), 0) <> 0, from a snapshot's
// search index instead of evaluating it row by row. Every other condition is left to the evaluator.
#include <optional>
#include <vector>

#include "ado/search_cache.h"
#include "ado/sql/executor.h"

namespace ado {

class SearchFilter final : public sql::RowFilterProvider {
public:
    explicit SearchFilter(SearchCache& cache) : cache_(cache) {}

    std::optional<std::vector<std::size_t>> filter(const sql::Table& table, const sql::Expr& where,
                                                   const sql::ParameterValues& parameters) override;

private:
    SearchCache& cache_;
};

}  // namespace ado
