#pragma once
// A small table held in memory, and a catalog of such tables, for the SQL layer's tests.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ado/sql/executor.h"
#include "ado/sql/table.h"
#include "ado/sql/text.h"

namespace sql_test {

class MemoryTable : public ado::sql::Table {
public:
    MemoryTable(std::string name, std::vector<ado::sql::ColumnInfo> columns, std::vector<std::vector<jet::Value>> rows,
                bool textViews = true)
        : name_(std::move(name)), columns_(std::move(columns)), rows_(std::move(rows)), textViews_(textViews) {}

    const std::string& name() const override { return name_; }
    const std::vector<ado::sql::ColumnInfo>& columns() const override { return columns_; }
    std::size_t rowCount() const override { return rows_.size(); }
    jet::Value value(std::size_t row, std::size_t column) const override { return rows_.at(row).at(column); }
    bool hasTextView(std::size_t column) const override {
        return textViews_ && (columns_[column].type == jet::ColumnType::Text || columns_[column].type == jet::ColumnType::Memo);
    }
    std::optional<std::string_view> textView(std::size_t row, std::size_t column) const override {
        const jet::Value& v = rows_.at(row).at(column);
        if (const auto* text = std::get_if<std::string>(&v)) return std::string_view(*text);
        return std::nullopt;
    }

private:
    std::string name_;
    std::vector<ado::sql::ColumnInfo> columns_;
    std::vector<std::vector<jet::Value>> rows_;
    bool textViews_;
};

class MemoryCatalog : public ado::sql::Catalog {
public:
    void add(std::shared_ptr<const ado::sql::Table> table) { tables_.push_back(std::move(table)); }
    std::shared_ptr<const ado::sql::Table> table(std::string_view name) override {
        for (const auto& t : tables_)
            if (ado::sql::compareText(t->name(), name) == 0) return t;
        return nullptr;
    }

private:
    std::vector<std::shared_ptr<const ado::sql::Table>> tables_;
};

// The question bank: table tiku with ID and 题目; nullopt is a Null question.
inline std::shared_ptr<MemoryTable> bank(const std::vector<std::optional<std::string>>& questions, bool textViews = true) {
    std::vector<std::vector<jet::Value>> rows;
    std::int64_t id = 1;
    for (const auto& q : questions) rows.push_back({jet::Value(id++), q ? jet::Value(*q) : jet::Value()});
    return std::make_shared<MemoryTable>(
        "tiku", std::vector<ado::sql::ColumnInfo>{{"ID", jet::ColumnType::Long}, {"题目", jet::ColumnType::Memo}},
        std::move(rows), textViews);
}

}  // namespace sql_test
