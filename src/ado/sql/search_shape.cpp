#include "ado/sql/search_shape.h"

#include "ado/sql/text.h"

namespace ado::sql {
namespace {

const FunctionCall* call(const Expr& expr, std::string_view name, std::size_t arguments) {
    const auto* f = std::get_if<FunctionCall>(&expr.node);
    if (!f || f->arguments.size() != arguments || compareText(f->name, name) != 0) return nullptr;
    return f;
}

bool isInteger(const Expr& expr, std::int64_t value) {
    const auto* literal = std::get_if<Literal>(&expr.node);
    if (!literal) return false;
    const auto* number = std::get_if<std::int64_t>(&literal->value);
    return number && *number == value;
}

}  // namespace

std::optional<SearchShape> matchSearchShape(const Expr& expr) {
    const auto* test = std::get_if<Binary>(&expr.node);
    if (!test || test->op != BinaryOp::NotEqual || !isInteger(*test->right, 0)) return std::nullopt;
    const FunctionCall* instr = call(*test->left, "InStr", 4);
    if (!instr || !isInteger(*instr->arguments[0], 1) || !isInteger(*instr->arguments[3], 0)) return std::nullopt;
    const FunctionCall* lowerCell = call(*instr->arguments[1], "LCase", 1);
    const FunctionCall* lowerText = call(*instr->arguments[2], "LCase", 1);
    if (!lowerCell || !lowerText) return std::nullopt;
    const Expr& cell = *lowerCell->arguments[0];
    const auto* column = std::get_if<ColumnRef>(&cell.node);
    if (!column) return std::nullopt;
    SearchShape shape{*column, cell.position, std::string()};
    const Expr& text = *lowerText->arguments[0];
    if (const auto* literal = std::get_if<Literal>(&text.node)) {
        const auto* value = std::get_if<std::string>(&literal->value);
        if (!value) return std::nullopt;
        shape.text = *value;
    } else if (const auto* parameter = std::get_if<ParameterRef>(&text.node)) {
        shape.text = *parameter;
    } else {
        return std::nullopt;
    }
    return shape;
}

}  // namespace ado::sql
