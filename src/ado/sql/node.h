#pragma once
// A compiled expression: a tree of nodes, each evaluating itself for one row at a time.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ado/sql/datum.h"
#include "jet/value.h"

namespace ado::sql::detail {

class Node {
public:
    explicit Node(std::size_t position) : position_(position) {}
    virtual ~Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // The value for one row. The text it shows stays valid until this node is evaluated again.
    virtual Datum eval(std::size_t row) const = 0;
    // Whether the value is the same for every row, so that it may be computed once.
    virtual bool isConstant() const = 0;
    std::size_t position() const { return position_; }

private:
    std::size_t position_;
};

using NodePtr = std::unique_ptr<Node>;

// A value computed once.
class Constant final : public Node {
public:
    Constant(jet::Value value, std::size_t position) : Node(position), value_(std::move(value)) {
        datum_ = fromValue(value_, scratch_);
    }
    Datum eval(std::size_t) const override { return datum_; }
    bool isConstant() const override { return true; }

private:
    jet::Value value_;
    std::string scratch_;
    Datum datum_;
};

// Whether every node is constant.
inline bool allConstant(const std::vector<NodePtr>& nodes) {
    for (const NodePtr& n : nodes)
        if (!n->isConstant()) return false;
    return true;
}

}  // namespace ado::sql::detail
