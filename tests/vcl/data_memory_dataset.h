#pragma once
// A dataset over rows held in memory, and a link that writes down what it is told: for tests of the
// dataset's state machine and notifications without an engine.
#include <optional>
#include <string>
#include <vector>

#include "vcl/data/data_link.h"
#include "vcl/data/data_source.h"
#include "vcl/data/dataset.h"
#include "vcl/data/exceptions.h"
#include "vcl/data/field.h"

namespace testing_support {

using Row = std::vector<std::optional<std::string>>;

class MemoryDataSet : public vcl::TDataSet {
public:
    explicit MemoryDataSet(std::vector<std::string> columns, std::vector<Row> rows = {},
                           vcl::TComponent* owner = nullptr)
        : TDataSet(owner), rows_(std::move(rows)), columns_(std::move(columns))
    {
        SetName("qry1");
    }
    ~MemoryDataSet() override { Close(); }

    std::vector<Row> rows_;  // what the "bank" holds
    bool writable = true;
    std::string failWrites;  // when not empty, every write fails with this engine message
    std::string failOpen;
    int writes = 0;

protected:
    void InternalOpen() override
    {
        if (!failOpen.empty())
            vcl::EngineFailure(failOpen);
        for (const std::string& column : columns_)
            addField(column, vcl::TFieldType::ftWideString, 255);
        open_ = rows_;
    }
    void InternalClose() override { open_.clear(); }
    int InternalRecordCount() const override { return static_cast<int>(open_.size()); }
    std::optional<std::string> InternalValue(int row, int field) const override
    {
        return open_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(field));
    }
    bool InternalCanModify() const override { return writable; }
    void InternalUpdate(int row, const std::vector<FieldChange>& changes) override
    {
        write();
        for (const FieldChange& change : changes)
            open_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(change.field)) = change.value;
        rows_ = open_;
    }
    int InternalInsert(const std::vector<FieldChange>& changes) override
    {
        write();
        Row row(columns_.size());
        for (const FieldChange& change : changes)
            row.at(static_cast<std::size_t>(change.field)) = change.value;
        open_.push_back(row);
        rows_ = open_;
        return static_cast<int>(open_.size()) - 1;
    }
    void InternalDelete(int row) override
    {
        write();
        open_.erase(open_.begin() + row);
        rows_ = open_;
    }

private:
    void write()
    {
        if (!failWrites.empty())
            vcl::EngineFailure(failWrites);
        ++writes;
    }
    std::vector<std::string> columns_;
    std::vector<Row> open_;
};

class RecordingLink : public vcl::TDataLink {
public:
    std::vector<std::string> log;
    // What UpdateData writes into the field named here, when set.
    std::string field;
    std::optional<std::string> pendingText;

protected:
    void ActiveChanged() override { log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { log.push_back("changed"); }
    void DataSetScrolled(int distance) override { log.push_back("scrolled " + std::to_string(distance)); }
    void RecordChanged(vcl::TField* f) override { log.push_back("record " + (f ? f->FieldName() : std::string("*"))); }
    void EditingChanged() override { log.push_back(Editing() ? "editing" : "not editing"); }
    void LayoutChanged() override { log.push_back("layout"); }
    void UpdateData() override
    {
        log.push_back("update data");
        if (pendingText && DataSet() != nullptr) {
            DataSet()->FieldByName(field)->SetAsString(*pendingText);
            pendingText.reset();
        }
    }
};

}  // namespace testing_support
