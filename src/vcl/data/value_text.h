#pragma once
// How the engine's values read as field text and which field type each column kind becomes.
#include <string>

#include "jet/schema.h"
#include "jet/value.h"
#include "vcl/data/field_type.h"

namespace vcl {

// The text of a value as a field reads it; Null gives "" (callers tell Null apart themselves).
std::string valueText(const jet::Value& value);

TFieldType fieldTypeOf(jet::ColumnType type) noexcept;

// A field's text as a value for a column of the type: numbers and yes/no read from the text, everything
// else as text. Throws EDatabaseError "'x' is not a valid integer value" (or floating point, boolean).
jet::Value valueFromText(const std::string& text, jet::ColumnType type);

}  // namespace vcl
