// The statements that the search box's text turns into.
#include "search/search_statement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHead = "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"";
const std::string kTail = "\"),0)<>0";

struct StatementCase {
    const char* label;
    std::string text;
    std::string statement;
};

class SearchStatement : public testing::TestWithParam<StatementCase> {};

TEST_P(SearchStatement, IsFormedFromTheText)
{
    EXPECT_EQ(search::statementFor(GetParam().text), GetParam().statement);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SearchStatement,
    testing::Values(
        StatementCase{"empty", "", "select 题目 from tiku"},
        StatementCase{"one_blank", " ", kHead + " " + kTail},
        StatementCase{"a", "a", kHead + "a" + kTail},
        StatementCase{"ab", "ab", kHead + "ab" + kTail},
        StatementCase{"chinese", "题库", kHead + "题库" + kTail},
        StatementCase{"upper_case_kept", "ABC", kHead + "ABC" + kTail},
        // A double quote is written twice, so that it stays a character of the text.
        StatementCase{"double_quote", "\"", kHead + "\"\"" + kTail},
        StatementCase{"two_double_quotes", "\"\"", kHead + "\"\"\"\"" + kTail},
        StatementCase{"quote_that_would_end_the_literal", "x\") or (\"1\"=\"1",
                      kHead + "x\"\") or (\"\"1\"\"=\"\"1" + kTail},
        StatementCase{"apostrophe_then_colon", "':", kHead + "':" + kTail},
        StatementCase{"wildcards_stand_for_themselves", "%_*?[]", kHead + "%_*?[]" + kTail}),
    [](const testing::TestParamInfo<StatementCase>& info) { return std::string(info.param.label); });

TEST(SearchStatementShape, AddsAFixedLengthToATextWithoutDoubleQuotes)
{
    // 63 bytes in code page 936; the two 题目 of the head take four bytes more in UTF-8.
    for (const std::string text : {"a", "some text", "题目"})
        EXPECT_EQ(search::statementFor(text).size(), text.size() + 67u) << text;
}

TEST(SearchStatementShape, WholeBankStatementSelectsTheQuestionColumnAlone)
{
    EXPECT_EQ(search::kWholeBankStatement, "select 题目 from tiku");
    EXPECT_EQ(search::statementFor(""), search::kWholeBankStatement);
}

TEST(SearchStatementShape, OnlyTheEmptyTextIsEmpty)
{
    EXPECT_NE(search::statementFor(" "), search::kWholeBankStatement);
    EXPECT_NE(search::statementFor("\t"), search::kWholeBankStatement);
}

}  // namespace
