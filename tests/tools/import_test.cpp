// new, import and reading the bank back: escapes, bad lines, refusing banks with data.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tool_run.h"

using tool_test::readFile;
using tool_test::runTool;
using tool_test::writeFile;

namespace {

class ImportTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0); }

    tool_test::ToolResult import(const std::string& content)
    {
        writeFile(text, content);
        return runTool({"import", bank.string(), text.string()});
    }
    std::string exported() { return runTool({"export", bank.string(), "tiku"}).out; }

    testing_support::TempDir dir;
    std::filesystem::path bank = dir / "bank.mdb";
    std::filesystem::path text = dir / "questions.txt";
};

TEST_F(ImportTest, NewBankIsEmptyTiku)
{
    EXPECT_EQ(runTool({"tables", bank.string()}).out, "tiku\n");
    EXPECT_EQ(runTool({"count", bank.string(), "tiku"}).out, "0\n");
    EXPECT_EQ(exported(), "");
    auto schema = runTool({"schema", bank.string()});
    EXPECT_EQ(schema.exitCode, 0);
    EXPECT_NE(schema.out.find("CREATE TABLE [tiku]"), std::string::npos) << schema.out;
    EXPECT_NE(schema.out.find("[ID] Long Integer AutoNumber"), std::string::npos) << schema.out;
    EXPECT_NE(schema.out.find("[题目] Memo"), std::string::npos) << schema.out;
    EXPECT_NE(schema.out.find("PRIMARY KEY ([ID])"), std::string::npos) << schema.out;
    EXPECT_EQ(runTool({"schema", bank.string(), "TIKU"}).out, schema.out);  // names ignore letter case
}

struct EscapeCase {
    std::string line;
    std::string json;  // the 题目 value as export prints it
};
class ImportEscapes : public ImportTest, public testing::WithParamInterface<EscapeCase> {};

TEST_P(ImportEscapes, DecodedIntoTheQuestion)
{
    auto result = import(GetParam().line + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(exported(), "{\"ID\":1,\"题目\":" + GetParam().json + "}\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ImportEscapes,
    testing::Values(EscapeCase{"水的化学式是什么？", "\"水的化学式是什么？\""},
                    EscapeCase{"第一行\\n第二行", "\"第一行\\n第二行\""},
                    EscapeCase{"路径 C:\\\\Windows", "\"路径 C:\\\\Windows\""},
                    // "\\n" is a backslash followed by the letter n, not a line break
                    EscapeCase{"a\\\\nb", "\"a\\\\nb\""},
                    EscapeCase{"A. H2O\\nB. CO2\\nC. \"O2\"", "\"A. H2O\\nB. CO2\\nC. \\\"O2\\\"\""},
                    EscapeCase{"tab\there", "\"tab\\there\""}));

TEST_F(ImportTest, LinesBecomeRowsInOrder)
{
    // CRLF line ends, a byte-order mark, empty lines and a last line without a line break
    auto result = import("\xEF\xBB\xBF第一题\r\n\r\n第二题\n\n第三题");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(exported(), "{\"ID\":1,\"题目\":\"第一题\"}\n{\"ID\":2,\"题目\":\"第二题\"}\n{\"ID\":3,\"题目\":\"第三题\"}\n");
    EXPECT_NE(result.out.find("3 questions"), std::string::npos) << result.out;
}

struct BadLineCase {
    std::string content;
    std::string message;
};
class ImportBadLine : public ImportTest, public testing::WithParamInterface<BadLineCase> {};

TEST_P(ImportBadLine, RejectedWithLineNumberAndBankUnchanged)
{
    std::string before = readFile(bank);
    auto result = import(GetParam().content);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(text.string()), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_EQ(readFile(bank), before);
    EXPECT_EQ(runTool({"count", bank.string(), "tiku"}).out, "0\n");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path(), ec))
        EXPECT_TRUE(entry.path() == bank || entry.path() == text) << "left behind: " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ImportBadLine,
    testing::Values(BadLineCase{"好\n也好\n\xE4\xB8\n", "line 3: invalid UTF-8 at byte 1"},
                    BadLineCase{"ok\nab\xFF\n", "line 2: invalid UTF-8 at byte 3"},
                    BadLineCase{"overlong \xC0\xAF\n", "line 1: invalid UTF-8"},
                    BadLineCase{"surrogate \xED\xA0\x80\n", "line 1: invalid UTF-8"},
                    BadLineCase{"x\ny\nz \\t\n", "line 3: unknown escape"},
                    BadLineCase{"ends in \\\n", "line 1: a lone backslash"},
                    BadLineCase{std::string("a\0b\0\n", 5), "line 1: a NUL character"}));

TEST_F(ImportTest, RefusesBankThatHoldsQuestions)
{
    ASSERT_EQ(import("一\n二\n").exitCode, 0);
    std::string before = readFile(bank);
    auto again = import("三\n");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find(bank.string()), std::string::npos) << again.err;
    EXPECT_EQ(readFile(bank), before);
}

TEST_F(ImportTest, RefusesFileThatIsNoBank)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto other = testing_support::copyFixture("testV2000.mdb", dir.path());
    std::string before = readFile(other);
    writeFile(text, "一\n");
    auto result = runTool({"import", other.string(), text.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(other.string()), std::string::npos) << result.err;
    EXPECT_EQ(readFile(other), before);
}

TEST_F(ImportTest, MissingTextFile)
{
    auto result = runTool({"import", bank.string(), (dir / "absent.txt").string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("absent.txt"), std::string::npos) << result.err;
}

TEST_F(ImportTest, ProgressBarOnlyOnTerminal)
{
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += "第 " + std::to_string(i) + " 题：这是一道用来观察进度条的题目。\n";
    auto quiet = import(content);
    ASSERT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "") << "no progress bar when standard error is not a terminal";

    if (testing_support::runCommand("command -v script >/dev/null 2>&1").exitCode != 0)
        GTEST_SKIP() << "script (util-linux) is not installed: no terminal to draw on";
    auto fresh = dir / "fresh.mdb";
    ASSERT_EQ(runTool({"new", fresh.string()}).exitCode, 0);
    std::string command = std::string(TESSARIN_BANK_TOOL) + " import " + testing_support::shellQuote(fresh.string()) + " " +
                          testing_support::shellQuote(text.string());
    auto shown = testing_support::runCommand("script -qec " + testing_support::shellQuote(command) + " /dev/null");
    EXPECT_EQ(shown.exitCode, 0) << shown.out;
    EXPECT_NE(shown.out.find("] "), std::string::npos) << shown.out.substr(0, 300);
    EXPECT_NE(shown.out.find("% "), std::string::npos);
    EXPECT_NE(shown.out.find("writing the index"), std::string::npos);
    EXPECT_NE(shown.out.find("3000 questions imported"), std::string::npos);
    EXPECT_EQ(runTool({"count", fresh.string(), "tiku"}).out, "3000\n");
}

TEST_F(ImportTest, DemoQuestionsImportWhole)
{
    auto demo = testing_support::sourceDir() / "demo" / "questions.txt";
    std::size_t lines = tool_test::lines(readFile(demo)).size();
    ASSERT_GE(lines, 200u);
    auto result = runTool({"import", bank.string(), demo.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(runTool({"count", bank.string(), "tiku"}).out, std::to_string(lines) + "\n");
    auto rows = tool_test::lines(exported());
    ASSERT_EQ(rows.size(), lines);
    EXPECT_EQ(rows[0], "{\"ID\":1,\"题目\":\"中国历史上第一个统一的中央集权王朝是哪个朝代？\"}");
    // a question written with the \n escape comes back as one row holding a line break
    bool sawLineBreak = false;
    for (const auto& row : rows)
        sawLineBreak |= row.find("\\n") != std::string::npos;
    EXPECT_TRUE(sawLineBreak);
    // and an independent reader sees the same number of rows
    if (testing_support::runCommand("command -v mdb-count >/dev/null 2>&1").exitCode == 0) {
        EXPECT_EQ(testing_support::runCommand("mdb-count " + testing_support::shellQuote(bank.string()) + " tiku").out,
                  std::to_string(lines) + "\n");
    }
}

}  // namespace
