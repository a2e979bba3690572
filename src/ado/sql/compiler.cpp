#include "ado/sql/compiler.h"

#include "ado/sql/error_at.h"
#include "ado/sql/evaluator.h"
#include "ado/sql/function_nodes.h"
#include "ado/sql/operator_nodes.h"
#include "ado/sql/text.h"

namespace ado::sql::detail {
namespace {

// A text column read without copying.
class TextColumn final : public Node {
public:
    TextColumn(const Table& table, std::size_t column, std::size_t position)
        : Node(position), table_(table), column_(column) {}
    bool isConstant() const override { return false; }
    Datum eval(std::size_t row) const override {
        const std::optional<std::string_view> text = table_.textView(row, column_);
        return text ? Datum::ofText(*text) : Datum::null();
    }

private:
    const Table& table_;
    std::size_t column_;
};

class ValueColumn final : public Node {
public:
    ValueColumn(const Table& table, std::size_t column, std::size_t position)
        : Node(position), table_(table), column_(column) {}
    bool isConstant() const override { return false; }
    Datum eval(std::size_t row) const override {
        value_ = table_.value(row, column_);
        return fromValue(value_, scratch_);
    }

private:
    const Table& table_;
    std::size_t column_;
    mutable jet::Value value_;
    mutable std::string scratch_;
};

// Computes a node that depends on no row once; one that fails keeps its failure for the rows.
NodePtr folded(NodePtr node) {
    if (dynamic_cast<const Constant*>(node.get()) || !node->isConstant()) return node;
    try {
        return std::make_unique<Constant>(toValue(node->eval(0)), node->position());
    } catch (const EngineError&) {
        return node;
    }
}

struct Compiler {
    const Scope& scope;
    std::size_t position;

    NodePtr operator()(const Literal& n) const { return std::make_unique<Constant>(n.value, position); }

    NodePtr operator()(const ColumnRef& n) const {
        const std::size_t column = resolveColumn(n, position, scope);
        if (scope.table->hasTextView(column)) return std::make_unique<TextColumn>(*scope.table, column, position);
        return std::make_unique<ValueColumn>(*scope.table, column, position);
    }

    NodePtr operator()(const ParameterRef& n) const {
        const ParameterValues* values = scope.parameters;
        if (!values || n.index >= values->size() || !(*values)[n.index])
            failAt("参数标记“?”没有值", position);
        return std::make_unique<Constant>(*(*values)[n.index], position);
    }

    NodePtr operator()(const Unary& n) const { return makeUnary(n.op, compile(*n.operand, scope), position); }
    NodePtr operator()(const Binary& n) const {
        NodePtr left = compile(*n.left, scope);
        return makeBinary(n.op, std::move(left), compile(*n.right, scope), position);
    }
    NodePtr operator()(const Like& n) const {
        NodePtr value = compile(*n.value, scope);
        return makeLike(std::move(value), compile(*n.pattern, scope), n.negated, position);
    }
    NodePtr operator()(const IsNull& n) const { return makeIsNull(compile(*n.operand, scope), n.negated, position); }
    NodePtr operator()(const InList& n) const {
        NodePtr value = compile(*n.value, scope);
        std::vector<NodePtr> items;
        for (const ExprPtr& item : n.items) items.push_back(compile(*item, scope));
        return makeIn(std::move(value), std::move(items), n.negated, position);
    }
    NodePtr operator()(const Between& n) const {
        NodePtr value = compile(*n.value, scope);
        NodePtr low = compile(*n.low, scope);
        return makeBetween(std::move(value), std::move(low), compile(*n.high, scope), n.negated, position);
    }
    NodePtr operator()(const FunctionCall& n) const {
        std::vector<NodePtr> arguments;
        for (const ExprPtr& argument : n.arguments) arguments.push_back(compile(*argument, scope));
        return makeFunction(n.name, std::move(arguments), position);
    }
};

}  // namespace

std::size_t resolveColumn(const ColumnRef& ref, std::size_t position, const Scope& scope) {
    if (!scope.table) failAt("此处不能引用列“" + ref.name + "”", position);
    if (!ref.table.empty() && compareText(ref.table, scope.table->name()) != 0 &&
        (scope.alias.empty() || compareText(ref.table, scope.alias) != 0))
        failAt("未知的表或别名“" + ref.table + "”", position);
    const std::optional<std::size_t> column = scope.table->findColumn(ref.name);
    if (!column) failAt("表“" + scope.table->name() + "”中没有列“" + ref.name + "”", position);
    return *column;
}

NodePtr compile(const Expr& expr, const Scope& scope) {
    return folded(std::visit(Compiler{scope, expr.position}, expr.node));
}

}  // namespace ado::sql::detail

namespace ado::sql {

CompiledExpr::CompiledExpr(const Expr& expr, const Table* table, const ParameterValues& parameters)
    : root_(detail::compile(expr, detail::Scope{table, {}, &parameters})) {}
CompiledExpr::~CompiledExpr() = default;
CompiledExpr::CompiledExpr(CompiledExpr&&) noexcept = default;
CompiledExpr& CompiledExpr::operator=(CompiledExpr&&) noexcept = default;

jet::Value CompiledExpr::evaluate(std::size_t row) const { return detail::toValue(root_->eval(row)); }

bool CompiledExpr::isTrue(std::size_t row) const {
    return detail::toCondition(root_->eval(row), root_->position()).value_or(false);
}

std::vector<std::size_t> selectRows(const Table& table, const Expr* where, const ParameterValues& parameters) {
    std::vector<std::size_t> rows;
    const std::size_t count = table.rowCount();
    if (!where) {
        rows.resize(count);
        for (std::size_t i = 0; i < count; ++i) rows[i] = i;
        return rows;
    }
    const CompiledExpr condition(*where, &table, parameters);
    for (std::size_t i = 0; i < count; ++i)
        if (condition.isTrue(i)) rows.push_back(i);
    return rows;
}

}  // namespace ado::sql
