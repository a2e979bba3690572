// The three statements the program composes, run against a small bank.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ado/engine_error.h"
#include "ado/sql/executor.h"
#include "ado/sql/parser.h"
#include "sql_test_table.h"

namespace {

using ado::sql::execute;
using ado::sql::parseSelect;

const std::vector<std::optional<std::string>> kQuestions = {
    "What is the CAPITAL of France?",   // 1
    "法国的首都是哪里？",               // 2
    "ＡＢＣ全角字母",                   // 3
    "ａｂｃ全角小写",                   // 4
    "ΑΒΓ希腊字母",                      // 5
    "Москва столица",                   // 6
    "he said \"yes\"",                  // 7
    "it's 10:30",                       // 8
    "",                                 // 9
    std::nullopt,                       // 10
    "two  blanks",                      // 11
    "ΣΑΣΑ",                             // 12
    "abc half-width",                   // 13
    "100% sure_*?[x]",                  // 14
    "emoji 😀 then x",                  // 15
};

std::string searchStatement(const std::string& text) {
    return "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + text + "\"),0)<>0";
}

std::vector<std::int64_t> idsOf(const ado::sql::Result& result) {
    std::vector<std::int64_t> ids;
    for (std::size_t row : result.rows) ids.push_back(static_cast<std::int64_t>(row) + 1);
    return ids;
}

struct SearchCase {
    std::string text;
    std::vector<std::int64_t> ids;
};

class SearchStatement : public ::testing::TestWithParam<std::tuple<SearchCase, bool>> {};

TEST_P(SearchStatement, SelectsTheRowsContainingTheLowerCasedText) {
    const auto& [c, textViews] = GetParam();
    sql_test::MemoryCatalog catalog;
    catalog.add(sql_test::bank(kQuestions, textViews));
    const auto result = execute(parseSelect(searchStatement(c.text)), catalog, {});
    EXPECT_EQ(idsOf(result), c.ids) << "search text: " << c.text;
    ASSERT_EQ(result.columns.size(), 1u);
    EXPECT_EQ(result.columns[0].name, "题目");
    EXPECT_EQ(result.columns[0].source, std::optional<std::size_t>(1));
}

const SearchCase kSearchCases[] = {
    {"capital", {1}},
    {"CAPITAL", {1}},
    {"CaPiTaL oF", {1}},
    {"法国", {2}},
    {"法國", {}},                         // traditional and simplified forms differ
    {"？", {2}},                          // full-width question mark
    {"?", {1, 14}},                       // half-width one, no wildcard
    {"ＡＢＣ", {3, 4}},                   // full-width capitals lower-case to full-width small letters
    {"ａｂｃ", {3, 4}},
    {"abc", {13}},                        // half-width does not match full-width
    {"αβγ", {5}},
    {"ΑΒΓ", {5}},
    {"МОСКВА", {6}},
    {"столица", {6}},
    {"ΣΑΣ", {12}},                        // every sigma lower-cases alike, at a word's end too
    {"σασα", {12}},
    {"\"\"yes\"\"", {7}},                 // doubled double quotes stand for one
    {"\"\"", {7}},
    {"it's", {8}},
    {"10:30", {8}},
    {"'", {8}},
    {" ", {1, 6, 7, 8, 11, 13, 14, 15}},
    {"  ", {11}},
    {"%", {14}},
    {"_*?[x]", {14}},
    {"[", {14}},
    {"😀 THEN", {15}},
    {"zzz", {}},
};

INSTANTIATE_TEST_SUITE_P(Bank, SearchStatement,
                         ::testing::Combine(::testing::ValuesIn(kSearchCases), ::testing::Bool()));

TEST(WholeBankStatements, SelectEveryRowNullAndEmptyIncluded) {
    sql_test::MemoryCatalog catalog;
    catalog.add(sql_test::bank(kQuestions));
    const auto questions = execute(parseSelect("select 题目 from tiku"), catalog, {});
    EXPECT_EQ(questions.rowCount(), kQuestions.size());
    ASSERT_EQ(questions.columns.size(), 1u);
    EXPECT_EQ(questions.columns[0].name, "题目");
    EXPECT_EQ(questions.columns[0].type, jet::ColumnType::Memo);
    EXPECT_TRUE(jet::isNull(questions.value(9, 0)));
    EXPECT_EQ(questions.value(8, 0), jet::Value(std::string()));

    const auto everything = execute(parseSelect("select * from tiku\r\n"), catalog, {});
    EXPECT_EQ(everything.rowCount(), kQuestions.size());
    ASSERT_EQ(everything.columns.size(), 2u);
    EXPECT_EQ(everything.columns[0].name, "ID");
    EXPECT_EQ(everything.columns[1].source, std::optional<std::size_t>(1));
    EXPECT_EQ(everything.value(0, 0), jet::Value(std::int64_t{1}));
}

TEST(SearchStatementErrors, EmptyBankGivesNoRows) {
    sql_test::MemoryCatalog catalog;
    catalog.add(sql_test::bank({}));
    EXPECT_EQ(execute(parseSelect(searchStatement("a")), catalog, {}).rowCount(), 0u);
}

struct RejectedCase {
    std::string statement;
    std::string message;
};

class RejectedStatement : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedStatement, FailsWithTheMessage) {
    const RejectedCase& c = GetParam();
    sql_test::MemoryCatalog catalog;
    catalog.add(sql_test::bank(kQuestions));
    try {
        execute(parseSelect(c.statement), catalog, {});
        FAIL() << "accepted: " << c.statement;
    } catch (const ado::EngineError& e) {
        EXPECT_EQ(std::string(e.what()), c.message) << c.statement;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bank, RejectedStatement,
    ::testing::Values(
        // a single double quote in the search text ends the literal early
        RejectedCase{searchStatement("a\"b"), "文本常量缺少结束的引号，位于第 55 个字符"},
        RejectedCase{searchStatement("a\" b \""), "语法错误：此处应为“)”，却是“b”，位于第 55 个字符"},
        RejectedCase{searchStatement("\""), "文本常量缺少结束的引号，位于第 51 个字符"},
        // the parameter scan cut the statement off at its marker
        RejectedCase{"select 题目 from tiku where InStr(1,LCase(题目),LCase(\"ab'c?",
                     "文本常量缺少结束的引号，位于第 51 个字符"},
        RejectedCase{"select 题目 from tiku where InStr(1,LCase(题目),LCase(?),0)<>0",
                     "参数标记“?”没有值，位于第 51 个字符"},
        RejectedCase{"select 题目 from tk", "找不到输入表或查询“tk”，位于第 16 个字符"},
        RejectedCase{"select 题 from tiku", "表“tiku”中没有列“题”，位于第 8 个字符"},
        RejectedCase{"select 题目 from tiku where InStr(1,LCase(问题),LCase(\"a\"),0)<>0",
                     "表“tiku”中没有列“问题”，位于第 41 个字符"}));

}  // namespace
