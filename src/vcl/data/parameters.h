#pragma once
// A query's parameter list: one entry per marker of its statement, in marker order.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/data/field_type.h"

namespace vcl {

struct TParameter {
    std::string Name;
    std::optional<std::string> Value;  // nullopt: no value (Null); text otherwise
    TFieldType DataType = TFieldType::ftUnknown;
};

class TParameters {
public:
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TParameter& operator[](int index) { return items_.at(static_cast<std::size_t>(index)); }
    const TParameter& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
    TParameter* FindParam(std::string_view name);  // case ignored (ASCII)
    TParameter& ParamByName(std::string_view name);  // throws EDatabaseError "Parameter 'x' not found"
    TParameter& Add(std::string name);
    void Clear() noexcept { items_.clear(); }
    const std::vector<TParameter>& items() const noexcept { return items_; }
    std::vector<TParameter>& items() noexcept { return items_; }

private:
    std::vector<TParameter> items_;
};

}  // namespace vcl
