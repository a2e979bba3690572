// sql: the program's own three statements through the engine, printed as JSON Lines.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tool_run.h"

using tool_test::runTool;

namespace {

class SqlTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
        tool_test::writeFile(dir / "q.txt", "ABC 是什么的缩写？\n水的化学式是什么？\\nA. H2O  B. CO2\n含有 aBc 和“引号”的题\nabd\n");
        ASSERT_EQ(runTool({"import", bank.string(), (dir / "q.txt").string()}).exitCode, 0);
    }
    tool_test::ToolResult sql(const std::string& statement) { return runTool({"sql", bank.string(), statement}); }

    testing_support::TempDir dir;
    std::filesystem::path bank = dir / "bank.mdb";
};

TEST_F(SqlTest, SelectEverything)
{
    auto result = sql("select * from tiku");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"ID\":1,\"题目\":\"ABC 是什么的缩写？\"}\n"
              "{\"ID\":2,\"题目\":\"水的化学式是什么？\\nA. H2O  B. CO2\"}\n"
              "{\"ID\":3,\"题目\":\"含有 aBc 和“引号”的题\"}\n"
              "{\"ID\":4,\"题目\":\"abd\"}\n");
    EXPECT_EQ(result.out, runTool({"export", bank.string(), "tiku"}).out);
}

TEST_F(SqlTest, SelectQuestionColumn)
{
    auto result = sql("select 题目 from tiku");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(tool_test::lines(result.out),
              (std::vector<std::string>{"{\"题目\":\"ABC 是什么的缩写？\"}", "{\"题目\":\"水的化学式是什么？\\nA. H2O  B. CO2\"}",
                                        "{\"题目\":\"含有 aBc 和“引号”的题\"}", "{\"题目\":\"abd\"}"}));
}

struct SearchCase {
    std::string fragment;
    std::vector<std::string> ids;  // the rows expected, by their first characters
};
class SqlSearch : public SqlTest, public testing::WithParamInterface<SearchCase> {};

TEST_P(SqlSearch, InStrOfLowerCaseFindsFragmentIgnoringCase)
{
    auto result = sql("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + GetParam().fragment + "\"),0)<>0");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto rows = tool_test::lines(result.out);
    ASSERT_EQ(rows.size(), GetParam().ids.size()) << result.out;
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].rfind("{\"题目\":\"" + GetParam().ids[i], 0), 0u) << rows[i];
}

INSTANTIATE_TEST_SUITE_P(Fragments, SqlSearch,
                         testing::Values(SearchCase{"abc", {"ABC", "含有"}}, SearchCase{"ABC", {"ABC", "含有"}},
                                         SearchCase{"h2o", {"水的"}}, SearchCase{"什么", {"ABC", "水的"}},
                                         SearchCase{"ab", {"ABC", "含有", "abd"}}, SearchCase{"xyz", {}}));

TEST_F(SqlTest, NoRowsPrintsNothing)
{
    auto result = sql("select * from tiku where ID > 100");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
}

}  // namespace
