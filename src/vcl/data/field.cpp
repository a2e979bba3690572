#include "vcl/data/field.h"

#include <algorithm>
#include <cctype>

#include "vcl/data/dataset.h"

namespace vcl {

TField::TField(TDataSet& dataSet, int index, std::string fieldName, TFieldType dataType, int size)
    : dataSet_(&dataSet), index_(index), fieldName_(std::move(fieldName)), dataType_(dataType), size_(size)
{
}

std::optional<std::string> TField::Value() const
{
    return dataSet_->currentValue(*this);
}

std::string TField::DisplayText() const
{
    const auto value = Value();
    if (IsBlob())
        return placeholder(dataType_, value.has_value());
    return value.value_or(std::string());
}

void TField::SetAsString(std::string_view text)
{
    SetValue(std::string(text));
}

void TField::SetValue(std::optional<std::string> value)
{
    dataSet_->setFieldValue(*this, std::move(value));
}

bool TField::CanModify() const
{
    return !readOnly_ && dataSet_->CanModify();
}

std::string TField::placeholder(TFieldType type, bool hasValue)
{
    std::string name(FieldTypeName(type));
    if (hasValue)
        std::ranges::transform(name, name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return "(" + name + ")";
}

}  // namespace vcl
