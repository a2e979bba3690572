#include "ado/search_filter.h"

#include <string>

#include "ado/sql/search_shape.h"
#include "ado/sql/text.h"
#include "ado/table_snapshot.h"

namespace ado {

std::optional<std::vector<std::size_t>> SearchFilter::filter(const sql::Table& table, const sql::Expr& where,
                                                             const sql::ParameterValues& parameters) {
    const auto shape = sql::matchSearchShape(where);
    if (!shape) return std::nullopt;
    const auto* snapshot = dynamic_cast<const TableSnapshot*>(&table);
    if (!snapshot) return std::nullopt;
    // A qualifier or a column the table lacks: the evaluator gives the error.
    if (!shape->column.table.empty() && sql::compareText(shape->column.table, table.name()) != 0) return std::nullopt;
    const auto column = table.findColumn(shape->column.name);
    if (!column) return std::nullopt;
    if (!snapshot->hasSearchIndex(*column)) return std::nullopt;  // also after this program's own writes

    std::string needle;
    if (const auto* literal = std::get_if<std::string>(&shape->text)) {
        needle = *literal;
    } else {
        const std::size_t marker = std::get<sql::ParameterRef>(shape->text).index;
        if (marker >= parameters.size() || !parameters[marker]) return std::nullopt;  // the evaluator's error
        const jet::Value& value = *parameters[marker];
        if (jet::isNull(value)) return std::vector<std::size_t>{};  // InStr of Null is Null: nothing selected
        const auto* text = std::get_if<std::string>(&value);
        if (!text) return std::nullopt;  // a number searches for its text form: the evaluator's business
        needle = *text;
    }
    std::string lowered = sql::lowerCase(needle);
    if (lowered.empty()) return std::nullopt;  // InStr's rule for an empty needle is the evaluator's

    std::shared_ptr<const Matches> matches;
    const SearchCache::Entry* last = cache_.lastIn(*snapshot, *column);
    if (last && last->loweredNeedle == lowered)
        matches = last->matches;
    else if (last && lowered.find(last->loweredNeedle) != std::string::npos)
        matches = std::make_shared<const Matches>(snapshot->findText(*column, lowered, last->matches.get(), last->loweredNeedle));
    else
        matches = std::make_shared<const Matches>(snapshot->findText(*column, lowered));
    cache_.remember({snapshot->weak_from_this(), *column, std::move(lowered), matches});
    return std::vector<std::size_t>(matches->rows.begin(), matches->rows.end());
}

}  // namespace ado
