#include "ado/sql/parser.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "ado/sql/error_at.h"
#include "ado/sql/lexer.h"

namespace ado::sql {
namespace {

std::string describe(const Token& token) {
    switch (token.kind) {
    case TokenKind::End: return "语句结尾";
    case TokenKind::Text: {
        std::string shown = token.text.size() > 40 ? token.text.substr(0, 40) + "…" : token.text;
        return "文本常量“" + shown + "”";
    }
    default: return "“" + token.text + "”";
    }
}

std::uint32_t heightOf(std::initializer_list<const Expr*> children) {
    std::uint32_t height = 0;
    for (const Expr* child : children)
        if (child) height = std::max(height, child->depth);
    return height + 1;
}

class Parser {
public:
    explicit Parser(std::string_view text) : tokens_(tokenize(text)) {}

    Statement statement() {
        const Token& first = peek();
        if (isKeyword("SELECT")) return select();
        if (isKeyword("UPDATE")) return update();
        if (isKeyword("DELETE")) return remove();
        if (isKeyword("INSERT")) return insert();
        failAt("语法错误：语句应以 SELECT、UPDATE、DELETE 或 INSERT 开头，却是" + describe(first), first.position);
    }

private:
    // ---- tokens ----
    const Token& peek(std::size_t ahead = 0) const {
        return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
    }
    const Token& advance() {
        const Token& token = tokens_[index_];
        if (index_ + 1 < tokens_.size()) ++index_;
        return token;
    }
    bool isKeyword(std::string_view word, std::size_t ahead = 0) const {
        const Token& token = peek(ahead);
        return token.kind == TokenKind::Keyword && token.text == word;
    }
    bool isSymbol(std::string_view symbol, std::size_t ahead = 0) const {
        const Token& token = peek(ahead);
        return token.kind == TokenKind::Symbol && token.text == symbol;
    }
    bool acceptKeyword(std::string_view word) {
        if (!isKeyword(word)) return false;
        advance();
        return true;
    }
    bool acceptSymbol(std::string_view symbol) {
        if (!isSymbol(symbol)) return false;
        advance();
        return true;
    }
    [[noreturn]] void unexpected(const std::string& expected) const {
        failAt("语法错误：此处应为" + expected + "，却是" + describe(peek()), peek().position);
    }
    void expectKeyword(std::string_view word) {
        if (!acceptKeyword(word)) unexpected(std::string(word));
    }
    void expectSymbol(std::string_view symbol) {
        if (!acceptSymbol(symbol)) unexpected("“" + std::string(symbol) + "”");
    }
    const Token& expectName(const char* what) {
        if (peek().kind != TokenKind::Name) unexpected(what);
        return advance();
    }
    void expectEnd() {
        acceptSymbol(";");
        if (peek().kind != TokenKind::End) failAt("语法错误：语句结尾处多出" + describe(peek()), peek().position);
    }

    // ---- statements ----
    SelectStatement select() {
        SelectStatement s;
        advance();
        if (acceptKeyword("DISTINCT")) s.distinct = true;
        else acceptKeyword("ALL");
        if (acceptKeyword("TOP")) {
            const Token& count = peek();
            if (count.kind != TokenKind::Integer) unexpected("TOP 后的行数");
            advance();
            Top top;
            auto [end, error] = std::from_chars(count.text.data(), count.text.data() + count.text.size(), top.count);
            if (error != std::errc() || top.count == 0) failAt("TOP 后的行数必须是正整数", count.position);
            top.percent = acceptKeyword("PERCENT");
            if (top.percent && top.count > 100) failAt("TOP 的百分比不能超过 100", count.position);
            s.top = top;
        }
        do s.items.push_back(selectItem());
        while (acceptSymbol(","));
        expectKeyword("FROM");
        s.from = tableRef(true);
        if (acceptKeyword("WHERE")) s.where = expression();
        if (acceptKeyword("ORDER")) {
            expectKeyword("BY");
            do {
                OrderItem item;
                item.expr = expression();
                if (acceptKeyword("DESC")) item.descending = true;
                else acceptKeyword("ASC");
                s.orderBy.push_back(std::move(item));
            } while (acceptSymbol(","));
        }
        expectEnd();
        s.parameters = std::move(parameters_);
        return s;
    }

    SelectItem selectItem() {
        SelectItem item;
        item.position = peek().position;
        if (acceptSymbol("*")) {
            item.star = true;
            return item;
        }
        if (peek().kind == TokenKind::Name && isSymbol(".", 1) && isSymbol("*", 2)) {
            item.star = true;
            item.starTable = advance().text;
            advance();
            advance();
            return item;
        }
        item.expr = expression();
        if (acceptKeyword("AS")) item.alias = expectName("别名").text;
        return item;
    }

    TableRef tableRef(bool allowAlias) {
        const Token& name = expectName("表名");
        TableRef table{name.text, {}, name.position};
        if (allowAlias) {
            if (acceptKeyword("AS")) table.alias = expectName("表的别名").text;
            else if (peek().kind == TokenKind::Name) table.alias = advance().text;
        }
        return table;
    }

    UpdateStatement update() {
        UpdateStatement s;
        advance();
        s.table = tableRef(false);
        expectKeyword("SET");
        do {
            Assignment assignment;
            const Token* column = &expectName("列名");
            if (acceptSymbol(".")) column = &expectName("列名");
            assignment.column = column->text;
            assignment.position = column->position;
            expectSymbol("=");
            assignment.value = expression();
            s.assignments.push_back(std::move(assignment));
        } while (acceptSymbol(","));
        if (acceptKeyword("WHERE")) s.where = expression();
        expectEnd();
        s.parameters = std::move(parameters_);
        return s;
    }

    DeleteStatement remove() {
        DeleteStatement s;
        advance();
        acceptSymbol("*");
        expectKeyword("FROM");
        s.table = tableRef(false);
        if (acceptKeyword("WHERE")) s.where = expression();
        expectEnd();
        s.parameters = std::move(parameters_);
        return s;
    }

    InsertStatement insert() {
        InsertStatement s;
        advance();
        expectKeyword("INTO");
        s.table = tableRef(false);
        if (acceptSymbol("(")) {
            do {
                const Token& column = expectName("列名");
                s.columns.push_back({column.text, column.position});
            } while (acceptSymbol(","));
            expectSymbol(")");
        }
        s.valuesPosition = peek().position;
        expectKeyword("VALUES");
        expectSymbol("(");
        do s.values.push_back(expression());
        while (acceptSymbol(","));
        expectSymbol(")");
        if (!s.columns.empty() && s.columns.size() != s.values.size())
            failAt("INSERT 的列数（" + std::to_string(s.columns.size()) + "）与值的个数（" +
                       std::to_string(s.values.size()) + "）不一致",
                   s.valuesPosition);
        expectEnd();
        s.parameters = std::move(parameters_);
        return s;
    }

    // ---- expressions, loosest binding first ----
    class Nesting {
    public:
        Nesting(Parser& parser, std::size_t position) : parser_(parser) {
            if (++parser_.nesting_ > kMaxNesting)
                failAt("表达式嵌套太深（超过 " + std::to_string(kMaxNesting) + " 层）", position);
        }
        ~Nesting() { --parser_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
    };

    template <typename Node>
    ExprPtr make(Node node, std::size_t position, std::initializer_list<const Expr*> children) {
        auto expr = std::make_unique<Expr>();
        expr->depth = heightOf(children);
        if (expr->depth > kMaxExpressionDepth)
            failAt("表达式太复杂（超过 " + std::to_string(kMaxExpressionDepth) + " 层）", position);
        expr->node = std::move(node);
        expr->position = position;
        return expr;
    }

    ExprPtr binary(BinaryOp op, ExprPtr left, ExprPtr right, std::size_t position) {
        const Expr* l = left.get();
        const Expr* r = right.get();
        return make(Binary{op, std::move(left), std::move(right)}, position, {l, r});
    }

    ExprPtr expression() {
        Nesting guard(*this, peek().position);
        return orExpr();
    }

    ExprPtr orExpr() {
        ExprPtr left = andExpr();
        while (isKeyword("OR")) {
            const std::size_t at = advance().position;
            left = binary(BinaryOp::Or, std::move(left), andExpr(), at);
        }
        return left;
    }

    ExprPtr andExpr() {
        ExprPtr left = notExpr();
        while (isKeyword("AND")) {
            const std::size_t at = advance().position;
            left = binary(BinaryOp::And, std::move(left), notExpr(), at);
        }
        return left;
    }

    ExprPtr notExpr() {
        if (isKeyword("NOT")) {
            const std::size_t at = advance().position;
            Nesting guard(*this, at);
            ExprPtr operand = notExpr();
            const Expr* o = operand.get();
            return make(Unary{UnaryOp::Not, std::move(operand)}, at, {o});
        }
        return comparison();
    }

    ExprPtr comparison() {
        ExprPtr left = concatenation();
        for (;;) {
            const Token& token = peek();
            const std::size_t at = token.position;
            if (token.kind == TokenKind::Symbol) {
                static const std::pair<const char*, BinaryOp> operators[] = {
                    {"=", BinaryOp::Equal},  {"<>", BinaryOp::NotEqual},     {"<", BinaryOp::Less},
                    {">", BinaryOp::Greater}, {"<=", BinaryOp::LessEqual}, {">=", BinaryOp::GreaterEqual},
                };
                const auto found = std::find_if(std::begin(operators), std::end(operators),
                                                [&](const auto& entry) { return token.text == entry.first; });
                if (found == std::end(operators)) return left;
                advance();
                left = binary(found->second, std::move(left), concatenation(), at);
                continue;
            }
            if (isKeyword("IS")) {
                advance();
                const bool negated = acceptKeyword("NOT");
                expectKeyword("NULL");
                const Expr* l = left.get();
                left = make(IsNull{std::move(left), negated}, at, {l});
                continue;
            }
            bool negated = false;
            if (isKeyword("NOT") && (isKeyword("LIKE", 1) || isKeyword("IN", 1) || isKeyword("BETWEEN", 1))) {
                advance();
                negated = true;
            }
            if (acceptKeyword("LIKE")) {
                ExprPtr pattern = concatenation();
                const Expr* l = left.get();
                const Expr* p = pattern.get();
                left = make(Like{std::move(left), std::move(pattern), negated}, at, {l, p});
            } else if (acceptKeyword("IN")) {
                expectSymbol("(");
                InList list{std::move(left), {}, negated};
                do list.items.push_back(expression());
                while (acceptSymbol(","));
                expectSymbol(")");
                std::uint32_t height = list.value->depth;
                for (const ExprPtr& item : list.items) height = std::max(height, item->depth);
                Expr probe;
                probe.depth = height;
                left = make(std::move(list), at, {&probe});
            } else if (acceptKeyword("BETWEEN")) {
                ExprPtr low = concatenation();
                expectKeyword("AND");
                ExprPtr high = concatenation();
                const Expr* v = left.get();
                const Expr* lo = low.get();
                const Expr* hi = high.get();
                left = make(Between{std::move(left), std::move(low), std::move(high), negated}, at, {v, lo, hi});
            } else {
                return left;
            }
        }
    }

    ExprPtr concatenation() {
        ExprPtr left = additive();
        while (isSymbol("&")) {
            const std::size_t at = advance().position;
            left = binary(BinaryOp::Concat, std::move(left), additive(), at);
        }
        return left;
    }

    ExprPtr additive() {
        ExprPtr left = modulo();
        while (isSymbol("+") || isSymbol("-")) {
            const Token& token = advance();
            const BinaryOp op = token.text == "+" ? BinaryOp::Add : BinaryOp::Subtract;
            left = binary(op, std::move(left), modulo(), token.position);
        }
        return left;
    }

    ExprPtr modulo() {
        ExprPtr left = integerDivision();
        while (isKeyword("MOD")) {
            const std::size_t at = advance().position;
            left = binary(BinaryOp::Mod, std::move(left), integerDivision(), at);
        }
        return left;
    }

    ExprPtr integerDivision() {
        ExprPtr left = multiplicative();
        while (isSymbol("\\")) {
            const std::size_t at = advance().position;
            left = binary(BinaryOp::IntDivide, std::move(left), multiplicative(), at);
        }
        return left;
    }

    ExprPtr multiplicative() {
        ExprPtr left = unary();
        while (isSymbol("*") || isSymbol("/")) {
            const Token& token = advance();
            const BinaryOp op = token.text == "*" ? BinaryOp::Multiply : BinaryOp::Divide;
            left = binary(op, std::move(left), unary(), token.position);
        }
        return left;
    }

    // Unary minus binds looser than ^, as in -2^2 = -4.
    ExprPtr unary() {
        if (isSymbol("-") || isSymbol("+")) {
            const Token& token = advance();
            Nesting guard(*this, token.position);
            const UnaryOp op = token.text == "-" ? UnaryOp::Negate : UnaryOp::Plus;
            ExprPtr operand = unary();
            const Expr* o = operand.get();
            return make(Unary{op, std::move(operand)}, token.position, {o});
        }
        return power();
    }

    ExprPtr power() {
        ExprPtr left = primary();
        while (isSymbol("^")) {
            const std::size_t at = advance().position;
            ExprPtr right;
            if (isSymbol("-") || isSymbol("+")) {
                const Token& sign = advance();
                Nesting guard(*this, sign.position);
                ExprPtr operand = primary();
                const Expr* o = operand.get();
                right = make(Unary{sign.text == "-" ? UnaryOp::Negate : UnaryOp::Plus, std::move(operand)},
                             sign.position, {o});
            } else {
                right = primary();
            }
            left = binary(BinaryOp::Power, std::move(left), std::move(right), at);
        }
        return left;
    }

    ExprPtr primary() {
        const Token& token = peek();
        const std::size_t at = token.position;
        switch (token.kind) {
        case TokenKind::Integer: {
            advance();
            std::int64_t value = 0;
            auto [end, error] = std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
            if (error == std::errc()) return make(Literal{value}, at, {});
            return make(Literal{std::strtod(token.text.c_str(), nullptr)}, at, {});
        }
        case TokenKind::Real:
            advance();
            return make(Literal{std::strtod(token.text.c_str(), nullptr)}, at, {});
        case TokenKind::Text:
            advance();
            return make(Literal{token.text}, at, {});
        case TokenKind::Parameter:
            advance();
            parameters_.positions.push_back(at);
            return make(ParameterRef{parameters_.positions.size() - 1}, at, {});
        case TokenKind::Keyword:
            if (acceptKeyword("NULL")) return make(Literal{jet::Value{}}, at, {});
            if (acceptKeyword("TRUE")) return make(Literal{true}, at, {});
            if (acceptKeyword("FALSE")) return make(Literal{false}, at, {});
            unexpected("表达式");
        case TokenKind::Symbol:
            if (acceptSymbol("(")) {
                ExprPtr inner = expression();
                expectSymbol(")");
                return inner;
            }
            unexpected("表达式");
        case TokenKind::Name:
            return nameOrCall();
        case TokenKind::End:
            unexpected("表达式");
        }
        unexpected("表达式");
    }

    ExprPtr nameOrCall() {
        const Token& name = advance();
        if (!name.bracketed && isSymbol("(")) {
            advance();
            Nesting guard(*this, name.position);
            FunctionCall call{name.text, {}};
            std::uint32_t height = 0;
            if (!isSymbol(")")) {
                do {
                    call.arguments.push_back(expression());
                    height = std::max(height, call.arguments.back()->depth);
                } while (acceptSymbol(","));
            }
            expectSymbol(")");
            Expr probe;
            probe.depth = height;
            return make(std::move(call), name.position, {&probe});
        }
        if (acceptSymbol(".")) {
            const Token& column = expectName("列名");
            return make(ColumnRef{name.text, column.text}, name.position, {});
        }
        return make(ColumnRef{{}, name.text}, name.position, {});
    }

    std::vector<Token> tokens_;
    std::size_t index_ = 0;
    std::size_t nesting_ = 0;
    Parameters parameters_;
};

}  // namespace

Statement parseStatement(std::string_view utf8) { return Parser(utf8).statement(); }

SelectStatement parseSelect(std::string_view utf8) {
    Statement statement = parseStatement(utf8);
    if (auto* select = std::get_if<SelectStatement>(&statement)) return std::move(*select);
    throw EngineError("此处需要 SELECT 语句，却是更改数据的语句");
}

}  // namespace ado::sql
