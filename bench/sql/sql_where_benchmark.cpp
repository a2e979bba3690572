// Times the general evaluator (no fast path) on WHERE conditions over generated questions:
//   bench-sql [ROWS]     (default 1000000)
// Prints one line per condition: rows, matches, and the wall-clock and processor milliseconds for
// parse + compile + scan (processor time tells more on a busy machine).
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ado/sql/executor.h"
#include "ado/sql/parser.h"
#include "question_generator.h"

namespace {

class Questions : public ado::sql::Table {
public:
    explicit Questions(std::vector<std::string> texts) : texts_(std::move(texts)) {}
    const std::string& name() const override { return name_; }
    const std::vector<ado::sql::ColumnInfo>& columns() const override { return columns_; }
    std::size_t rowCount() const override { return texts_.size(); }
    jet::Value value(std::size_t row, std::size_t column) const override {
        if (column == 0) return static_cast<std::int64_t>(row + 1);
        return texts_[row];
    }
    bool hasTextView(std::size_t column) const override { return column == 1; }
    std::optional<std::string_view> textView(std::size_t row, std::size_t) const override { return texts_[row]; }

private:
    std::string name_ = "tiku";
    std::vector<ado::sql::ColumnInfo> columns_{{"ID", jet::ColumnType::Long}, {"题目", jet::ColumnType::Memo}};
    std::vector<std::string> texts_;
};

class OneTable : public ado::sql::Catalog {
public:
    explicit OneTable(std::shared_ptr<const ado::sql::Table> t) : table_(std::move(t)) {}
    std::shared_ptr<const ado::sql::Table> table(std::string_view) override { return table_; }

private:
    std::shared_ptr<const ado::sql::Table> table_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    auto table = std::make_shared<Questions>(bench::QuestionGenerator::make(7, rows));
    OneTable catalog(table);
    const char* conditions[] = {
        "InStr(1,LCase(题目),LCase(\"中国\"),0)<>0",
        "InStr(1,LCase(题目),LCase(\"ABC\"),0)<>0",
        "题目 Like '*北京*'",
        "Len(题目) > 100 And Left(题目, 1) <> 'x'",
    };
    for (const char* condition : conditions) {
        const std::string statement = std::string("select 题目 from tiku where ") + condition;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const ado::sql::Result result = ado::sql::execute(ado::sql::parseSelect(statement), catalog, {});
        const double cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%zu rows, %zu matches, %8.1f ms wall, %8.1f ms processor  %s\n", rows, result.rowCount(), ms, cpu,
                    condition);
    }
    return 0;
}
