#pragma once
// A value for one field of a result row, by the field's number: what an edit or a new row sets.
#include <cstddef>
#include <vector>

#include "jet/value.h"

namespace ado {

struct FieldValue {
    std::size_t field = 0;
    jet::Value value;
};
using FieldValues = std::vector<FieldValue>;

}  // namespace ado
