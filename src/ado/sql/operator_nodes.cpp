#include "ado/sql/operator_nodes.h"

#include <cmath>
#include <optional>

#include "ado/sql/error_at.h"
#include "ado/sql/like_pattern.h"

namespace ado::sql::detail {
namespace {

Datum ofNumber(const Number& n) { return n.isInteger ? Datum::ofInteger(n.integer) : Datum::ofReal(n.real); }

Datum ofCondition(std::optional<bool> c) { return c ? Datum::ofBool(*c) : Datum::null(); }

// Operands of \ and Mod: rounded to whole numbers, half to even, as Jet does.
std::int64_t wholeOperand(const Datum& d, std::size_t position) { return toInteger(d, position); }

class UnaryNode final : public Node {
public:
    UnaryNode(UnaryOp op, NodePtr operand, std::size_t position)
        : Node(position), op_(op), operand_(std::move(operand)) {}
    bool isConstant() const override { return operand_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const Datum v = operand_->eval(row);
        if (v.isNull()) return v;
        if (op_ == UnaryOp::Not) return Datum::ofBool(!*toCondition(v, position()));
        Number n = toNumber(v, position());
        if (op_ == UnaryOp::Plus) return ofNumber(n);
        if (n.isInteger && n.integer != INT64_MIN) return Datum::ofInteger(-n.integer);
        return Datum::ofReal(-n.asReal());
    }

private:
    UnaryOp op_;
    NodePtr operand_;
};

class ArithmeticNode final : public Node {
public:
    ArithmeticNode(BinaryOp op, NodePtr left, NodePtr right, std::size_t position)
        : Node(position), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    bool isConstant() const override { return left_->isConstant() && right_->isConstant(); }

    Datum eval(std::size_t row) const override {
        const Datum a = left_->eval(row);
        const Datum b = right_->eval(row);
        if (a.isNull() || b.isNull()) return Datum::null();
        // + joins two texts, as in Jet.
        if (op_ == BinaryOp::Add && a.kind == Kind::Text && b.kind == Kind::Text) {
            buffer_.assign(a.text);
            buffer_.append(b.text);
            return Datum::ofText(buffer_);
        }
        if (op_ == BinaryOp::IntDivide || op_ == BinaryOp::Mod) {
            const std::int64_t x = wholeOperand(a, position());
            const std::int64_t y = wholeOperand(b, position());
            if (y == 0) failAt("除数为零", position());
            if (y == -1) return Datum::ofInteger(op_ == BinaryOp::Mod ? 0 : x == INT64_MIN ? x : -x);
            return Datum::ofInteger(op_ == BinaryOp::Mod ? x % y : x / y);
        }
        const Number x = toNumber(a, position());
        const Number y = toNumber(b, position());
        if (x.isInteger && y.isInteger) {
            std::int64_t r = 0;
            switch (op_) {
            case BinaryOp::Add:
                if (!__builtin_add_overflow(x.integer, y.integer, &r)) return Datum::ofInteger(r);
                break;
            case BinaryOp::Subtract:
                if (!__builtin_sub_overflow(x.integer, y.integer, &r)) return Datum::ofInteger(r);
                break;
            case BinaryOp::Multiply:
                if (!__builtin_mul_overflow(x.integer, y.integer, &r)) return Datum::ofInteger(r);
                break;
            default: break;
            }
        }
        const double p = x.asReal(), q = y.asReal();
        double r = 0;
        switch (op_) {
        case BinaryOp::Add: r = p + q; break;
        case BinaryOp::Subtract: r = p - q; break;
        case BinaryOp::Multiply: r = p * q; break;
        case BinaryOp::Divide:
            if (q == 0) failAt("除数为零", position());
            r = p / q;
            break;
        case BinaryOp::Power:
            r = std::pow(p, q);
            if (std::isnan(r)) failAt("无效的过程调用或参数：乘方的结果不是实数", position());
            break;
        default: break;
        }
        if (!std::isfinite(r)) failAt("数值溢出", position());
        return Datum::ofReal(r);
    }

private:
    BinaryOp op_;
    NodePtr left_, right_;
    mutable std::string buffer_;
};

// & treats Null as empty text; only Null & Null is Null.
class ConcatNode final : public Node {
public:
    ConcatNode(NodePtr left, NodePtr right, std::size_t position)
        : Node(position), left_(std::move(left)), right_(std::move(right)) {}
    bool isConstant() const override { return left_->isConstant() && right_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const Datum a = left_->eval(row);
        const Datum b = right_->eval(row);
        if (a.isNull() && b.isNull()) return Datum::null();
        const std::string_view x = toText(a, leftText_);
        const std::string_view y = toText(b, rightText_);
        buffer_.assign(x);
        buffer_.append(y);
        return Datum::ofText(buffer_);
    }

private:
    NodePtr left_, right_;
    mutable std::string leftText_, rightText_, buffer_;
};

class CompareNode final : public Node {
public:
    CompareNode(BinaryOp op, NodePtr left, NodePtr right, std::size_t position)
        : Node(position), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    bool isConstant() const override { return left_->isConstant() && right_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const Datum a = left_->eval(row);
        const Datum b = right_->eval(row);
        const std::optional<int> c = compare(a, b, position());
        if (!c) return Datum::null();
        switch (op_) {
        case BinaryOp::Equal: return Datum::ofBool(*c == 0);
        case BinaryOp::NotEqual: return Datum::ofBool(*c != 0);
        case BinaryOp::Less: return Datum::ofBool(*c < 0);
        case BinaryOp::Greater: return Datum::ofBool(*c > 0);
        case BinaryOp::LessEqual: return Datum::ofBool(*c <= 0);
        default: return Datum::ofBool(*c >= 0);
        }
    }

private:
    BinaryOp op_;
    NodePtr left_, right_;
};

// Three-valued And / Or; the right side is not evaluated when the left decides.
class LogicNode final : public Node {
public:
    LogicNode(bool isAnd, NodePtr left, NodePtr right, std::size_t position)
        : Node(position), isAnd_(isAnd), left_(std::move(left)), right_(std::move(right)) {}
    bool isConstant() const override { return left_->isConstant() && right_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const std::optional<bool> a = toCondition(left_->eval(row), position());
        if (a && *a != isAnd_) return Datum::ofBool(*a);
        const std::optional<bool> b = toCondition(right_->eval(row), position());
        if (b && *b != isAnd_) return Datum::ofBool(*b);
        if (!a || !b) return Datum::null();
        return Datum::ofBool(isAnd_);
    }

private:
    bool isAnd_;
    NodePtr left_, right_;
};

class LikeNode final : public Node {
public:
    LikeNode(NodePtr value, NodePtr pattern, bool negated, std::size_t position)
        : Node(position), value_(std::move(value)), pattern_(std::move(pattern)), negated_(negated) {}
    bool isConstant() const override { return value_->isConstant() && pattern_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const Datum v = value_->eval(row);
        const Datum p = pattern_->eval(row);
        if (v.isNull() || p.isNull()) return Datum::null();
        const std::string_view patternText = toText(p, patternScratch_);
        if (!compiled_ || patternText != compiledFrom_) {
            compiled_.emplace(patternText, position());
            compiledFrom_.assign(patternText);
        }
        return Datum::ofBool(compiled_->matches(toText(v, valueScratch_)) != negated_);
    }

private:
    NodePtr value_, pattern_;
    bool negated_;
    mutable std::optional<LikePattern> compiled_;  // the last pattern, reused while it stays the same
    mutable std::string compiledFrom_, patternScratch_, valueScratch_;
};

class IsNullNode final : public Node {
public:
    IsNullNode(NodePtr operand, bool negated, std::size_t position)
        : Node(position), operand_(std::move(operand)), negated_(negated) {}
    bool isConstant() const override { return operand_->isConstant(); }
    Datum eval(std::size_t row) const override { return Datum::ofBool(operand_->eval(row).isNull() != negated_); }

private:
    NodePtr operand_;
    bool negated_;
};

// x In (a, b, ...): true on a match; else Null when x or an item is Null; else false.
class InNode final : public Node {
public:
    InNode(NodePtr value, std::vector<NodePtr> items, bool negated, std::size_t position)
        : Node(position), value_(std::move(value)), items_(std::move(items)), negated_(negated) {}
    bool isConstant() const override { return value_->isConstant() && allConstant(items_); }
    Datum eval(std::size_t row) const override {
        const Datum v = value_->eval(row);
        if (v.isNull()) return v;
        bool sawNull = false;
        for (const NodePtr& item : items_) {
            const std::optional<int> c = compare(v, item->eval(row), item->position());
            if (!c) sawNull = true;
            else if (*c == 0) return Datum::ofBool(!negated_);
        }
        return sawNull ? Datum::null() : Datum::ofBool(negated_);
    }

private:
    NodePtr value_;
    std::vector<NodePtr> items_;
    bool negated_;
};

class BetweenNode final : public Node {
public:
    BetweenNode(NodePtr value, NodePtr low, NodePtr high, bool negated, std::size_t position)
        : Node(position), value_(std::move(value)), low_(std::move(low)), high_(std::move(high)), negated_(negated) {}
    bool isConstant() const override { return value_->isConstant() && low_->isConstant() && high_->isConstant(); }
    Datum eval(std::size_t row) const override {
        const Datum v = value_->eval(row);
        const std::optional<int> low = compare(v, low_->eval(row), position());
        const std::optional<int> high = compare(v, high_->eval(row), position());
        std::optional<bool> above = low ? std::optional<bool>(*low >= 0) : std::nullopt;
        std::optional<bool> below = high ? std::optional<bool>(*high <= 0) : std::nullopt;
        std::optional<bool> inside;
        if ((above && !*above) || (below && !*below)) inside = false;
        else if (above && below) inside = true;
        if (inside && negated_) inside = !*inside;
        return ofCondition(inside);
    }

private:
    NodePtr value_, low_, high_;
    bool negated_;
};

}  // namespace

NodePtr makeUnary(UnaryOp op, NodePtr operand, std::size_t position) {
    return std::make_unique<UnaryNode>(op, std::move(operand), position);
}

NodePtr makeBinary(BinaryOp op, NodePtr left, NodePtr right, std::size_t position) {
    switch (op) {
    case BinaryOp::Concat: return std::make_unique<ConcatNode>(std::move(left), std::move(right), position);
    case BinaryOp::Equal:
    case BinaryOp::NotEqual:
    case BinaryOp::Less:
    case BinaryOp::Greater:
    case BinaryOp::LessEqual:
    case BinaryOp::GreaterEqual: return std::make_unique<CompareNode>(op, std::move(left), std::move(right), position);
    case BinaryOp::And: return std::make_unique<LogicNode>(true, std::move(left), std::move(right), position);
    case BinaryOp::Or: return std::make_unique<LogicNode>(false, std::move(left), std::move(right), position);
    default: return std::make_unique<ArithmeticNode>(op, std::move(left), std::move(right), position);
    }
}

NodePtr makeLike(NodePtr value, NodePtr pattern, bool negated, std::size_t position) {
    return std::make_unique<LikeNode>(std::move(value), std::move(pattern), negated, position);
}

NodePtr makeIsNull(NodePtr operand, bool negated, std::size_t position) {
    return std::make_unique<IsNullNode>(std::move(operand), negated, position);
}

NodePtr makeIn(NodePtr value, std::vector<NodePtr> items, bool negated, std::size_t position) {
    return std::make_unique<InNode>(std::move(value), std::move(items), negated, position);
}

NodePtr makeBetween(NodePtr value, NodePtr low, NodePtr high, bool negated, std::size_t position) {
    return std::make_unique<BetweenNode>(std::move(value), std::move(low), std::move(high), negated, position);
}

}  // namespace ado::sql::detail
