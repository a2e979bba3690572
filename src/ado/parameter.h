#pragma once
// A statement's parameter: one per "?" marker, in the order the markers appear.
#include <optional>
#include <string>

#include "jet/value.h"

namespace ado {

struct Parameter {
    std::string name;                 // as the caller named it; the engine describes markers as "Param1", ...
    std::optional<jet::Value> value;  // nullopt: no value given (running the statement then fails)
};

}  // namespace ado
