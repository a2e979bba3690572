#pragma once
// Nodes for the operators: arithmetic, &, comparisons, And, Or, Not, Like, Is Null, In, Between.
#include <cstddef>
#include <vector>

#include "ado/sql/ast.h"
#include "ado/sql/node.h"

namespace ado::sql::detail {

NodePtr makeUnary(UnaryOp op, NodePtr operand, std::size_t position);
NodePtr makeBinary(BinaryOp op, NodePtr left, NodePtr right, std::size_t position);
NodePtr makeLike(NodePtr value, NodePtr pattern, bool negated, std::size_t position);
NodePtr makeIsNull(NodePtr operand, bool negated, std::size_t position);
NodePtr makeIn(NodePtr value, std::vector<NodePtr> items, bool negated, std::size_t position);
NodePtr makeBetween(NodePtr value, NodePtr low, NodePtr high, bool negated, std::size_t position);

}  // namespace ado::sql::detail
