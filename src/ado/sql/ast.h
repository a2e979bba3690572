#pragma once
// The parsed form of a statement: expressions and the four statement kinds.
//
// Every node carries the 1-based character position at which it was written, for messages.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "jet/value.h"

namespace ado::sql {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Literal {
    jet::Value value;  // Null, bool, std::int64_t, double or std::string
};

struct ColumnRef {
    std::string table;  // the qualifier of table.column, empty when none
    std::string name;
};

struct ParameterRef {
    std::size_t index = 0;  // 0-based, in the order the ? markers appear in the statement
};

enum class UnaryOp { Negate, Plus, Not };

struct Unary {
    UnaryOp op;
    ExprPtr operand;
};

enum class BinaryOp {
    Add, Subtract, Multiply, Divide, IntDivide, Mod, Power, Concat,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    And, Or,
};

struct Binary {
    BinaryOp op;
    ExprPtr left;
    ExprPtr right;
};

struct Like {
    ExprPtr value;
    ExprPtr pattern;
    bool negated = false;
};

struct IsNull {
    ExprPtr operand;
    bool negated = false;  // Is Not Null
};

struct InList {
    ExprPtr value;
    std::vector<ExprPtr> items;
    bool negated = false;
};

struct Between {
    ExprPtr value;
    ExprPtr low;
    ExprPtr high;
    bool negated = false;
};

struct FunctionCall {
    std::string name;  // as written
    std::vector<ExprPtr> arguments;
};

struct Expr {
    std::variant<Literal, ColumnRef, ParameterRef, Unary, Binary, Like, IsNull, InList, Between, FunctionCall> node;
    std::size_t position = 0;
    std::uint32_t depth = 1;  // height of the tree below and including this node
};

struct TableRef {
    std::string name;
    std::string alias;  // FROM table [AS] alias; empty when none
    std::size_t position = 0;
};

struct SelectItem {
    bool star = false;           // * or table.*
    std::string starTable;       // the qualifier of table.*, empty when none
    ExprPtr expr;                // null for a star
    std::string alias;           // AS name, empty when none
    std::size_t position = 0;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct Top {
    std::uint64_t count = 0;
    bool percent = false;
};

// Positions of the ? markers, in order; their number is the statement's parameter count.
struct Parameters {
    std::vector<std::size_t> positions;
    std::size_t count() const { return positions.size(); }
};

struct SelectStatement {
    bool distinct = false;
    std::optional<Top> top;
    std::vector<SelectItem> items;
    TableRef from;
    ExprPtr where;  // null when there is no WHERE
    std::vector<OrderItem> orderBy;
    Parameters parameters;
};

struct Assignment {
    std::string column;
    std::size_t position = 0;
    ExprPtr value;
};

struct UpdateStatement {
    TableRef table;
    std::vector<Assignment> assignments;
    ExprPtr where;
    Parameters parameters;
};

struct DeleteStatement {
    TableRef table;
    ExprPtr where;
    Parameters parameters;
};

struct InsertColumn {
    std::string name;
    std::size_t position = 0;
};

struct InsertStatement {
    TableRef table;
    std::vector<InsertColumn> columns;  // empty: every column of the table, in order
    std::vector<ExprPtr> values;
    std::size_t valuesPosition = 0;     // of the keyword VALUES
    Parameters parameters;
};

using Statement = std::variant<SelectStatement, UpdateStatement, DeleteStatement, InsertStatement>;

// The ? markers of any statement.
const Parameters& parametersOf(const Statement&);

}  // namespace ado::sql
