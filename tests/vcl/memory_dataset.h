#pragma once
// A dataset whose rows come from a function, for testing views without an engine: it counts how many
// values the views read, and can hold a million rows without storing any.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vcl/data/dataset.h"

namespace testing_support {

class MemoryDataSet : public vcl::TDataSet {
public:
    using Source = std::function<std::optional<std::string>(int row, int field)>;
    struct Column {
        std::string name;
        vcl::TFieldType type = vcl::TFieldType::ftWideString;
    };

    MemoryDataSet(std::vector<Column> columns, int rows, Source source, vcl::TComponent* owner = nullptr)
        : vcl::TDataSet(owner), columns_(std::move(columns)), rows_(rows), source_(std::move(source))
    {
    }
    // Rows given as the texts of a single column.
    MemoryDataSet(std::string column, std::vector<std::optional<std::string>> texts,
                  vcl::TFieldType type = vcl::TFieldType::ftWideString)
        : MemoryDataSet({{std::move(column), type}}, static_cast<int>(texts.size()), nullptr)
    {
        stored_ = std::move(texts);
        source_ = [this](int row, int) { return stored_.at(static_cast<std::size_t>(row)); };
    }
    ~MemoryDataSet() override { Close(); }

    mutable long long reads = 0;   // values read through the dataset
    bool modifiable = true;
    int rows() const { return rows_; }

protected:
    void InternalOpen() override
    {
        for (const Column& column : columns_)
            addField(column.name, column.type, 255);
    }
    void InternalClose() override { clearFields(); }
    int InternalRecordCount() const override { return rows_; }
    std::optional<std::string> InternalValue(int row, int field) const override
    {
        ++reads;
        if (const auto changed = changes_.find({row, field}); changed != changes_.end())
            return changed->second;
        return source_(row, field);
    }
    bool InternalCanModify() const override { return modifiable; }
    void InternalUpdate(int row, const std::vector<FieldChange>& changes) override
    {
        for (const FieldChange& change : changes)
            changes_[{row, change.field}] = change.value;
    }
    int InternalInsert(const std::vector<FieldChange>& changes) override
    {
        const int row = rows_++;
        for (const FieldChange& change : changes)
            changes_[{row, change.field}] = change.value;
        return row;
    }
    void InternalDelete(int) override { --rows_; }

private:
    std::vector<Column> columns_;
    int rows_;
    Source source_;
    std::vector<std::optional<std::string>> stored_;
    std::map<std::pair<int, int>, std::optional<std::string>> changes_;
};

}  // namespace testing_support
