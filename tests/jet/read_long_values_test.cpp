// Memo values of every storage form: in the row, in one row of a long-value page, and in chains of
// long-value pages; compressed (Latin) and plain (Chinese) UTF-16 alike.
#include <gtest/gtest.h>

#include <optional>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

std::string repeated(const std::string& piece, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) s += piece;
    return s;
}

TEST(ReadLongValues, EveryLengthReadsBackAsWritten) {
    std::vector<std::optional<std::string>> questions = {
        std::nullopt,
        "",
        "a",
        repeated("x", 30),                 // fits in the row
        repeated("中", 40),                 // 80 bytes of UTF-16: leaves the row
        repeated("abc", 700),               // compressed, one long-value row
        repeated("题目", 1500),             // 6000 bytes: more than one page
        repeated("第一题：选择正确答案。ABC ", 3000),  // mixed, a chain of several pages
        repeated("z", 100000),              // a long chain
    };
    testing_support::TempDir dir;
    const auto file = dir / "data.mdb";
    jet::writeBank(file, questions);

    auto db = jet::Database::open(file);
    const jet::TableDef& t = db->table("tiku");
    const int text = t.columnIndex("题目");
    ASSERT_GE(text, 0);
    auto reader = db->read("tiku");
    std::vector<jet::Value> row;
    std::size_t i = 0;
    while (reader.next(row)) {
        ASSERT_LT(i, questions.size());
        SCOPED_TRACE(i);
        const jet::Value& v = row[std::size_t(text)];
        if (!questions[i]) {
            EXPECT_TRUE(jet::isNull(v));
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(v));
            EXPECT_EQ(std::get<std::string>(v), *questions[i]);
        }
        ++i;
    }
    EXPECT_EQ(i, questions.size());
}

}  // namespace
