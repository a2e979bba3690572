#pragma once
// One column of a dataset's result, read and written in the dataset's current row. Values are UTF-8 text;
// Null reads as "" and IsNull tells it apart from an empty text.
#include <optional>
#include <string>

#include "vcl/data/field_type.h"

namespace vcl {

class TDataSet;

class TField {
public:
    TField(TDataSet& dataSet, int index, std::string fieldName, TFieldType dataType, int size);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const noexcept { return fieldName_; }
    TFieldType DataType() const noexcept { return dataType_; }
    int Index() const noexcept { return index_; }     // position among the dataset's fields, from 0
    int Size() const noexcept { return size_; }       // declared length of a text column, else 0
    TDataSet* DataSet() const noexcept { return dataSet_; }
    bool IsBlob() const noexcept { return IsBlobType(dataType_); }

    // The value in the current row; while the row is being edited, the value as last set.
    std::optional<std::string> Value() const;
    bool IsNull() const { return !Value().has_value(); }
    std::string AsString() const { return Value().value_or(std::string()); }
    // What a list shows: a large object as its placeholder "(Memo)", upper-cased when it holds a value.
    std::string DisplayText() const;

    // Setting a value needs the dataset in editing or inserting; the change stays pending until a post.
    void SetAsString(std::string_view text);
    void SetValue(std::optional<std::string> value);
    void Clear() { SetValue(std::nullopt); }

    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }
    // Whether the field can be written: not read-only and its dataset's rows can be changed.
    bool CanModify() const;

    // The placeholder text for a large object: "(Memo)", or "(MEMO)" when the value is not Null.
    static std::string placeholder(TFieldType type, bool hasValue);

private:
    TDataSet* dataSet_;
    int index_;
    std::string fieldName_;
    TFieldType dataType_;
    int size_;
    bool readOnly_ = false;
};

}  // namespace vcl
