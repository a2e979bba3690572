// The command line: help, usage errors (exit 2) and failures (exit 1) with a message naming the file.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tool_run.h"

using tool_test::runTool;

namespace {

const std::vector<std::string> commandNames = {"new", "import", "tables", "schema", "count", "export", "sql"};

TEST(ToolHelp, ListsEveryCommand)
{
    auto result = runTool({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.empty());
    for (const auto& name : commandNames)
        EXPECT_NE(result.out.find("  " + name + " "), std::string::npos) << name;
}

class CommandHelp : public testing::TestWithParam<std::string> {};

TEST_P(CommandHelp, PrintsUsageAndSucceeds)
{
    for (const char* flag : {"--help", "-h"}) {
        auto result = runTool({GetParam(), flag});
        EXPECT_EQ(result.exitCode, 0) << flag;
        EXPECT_EQ(result.out.rfind("usage: tessarin-bank " + GetParam() + " FILE", 0), 0u) << result.out;
        EXPECT_TRUE(result.err.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandHelp, testing::ValuesIn(commandNames));

struct UsageCase {
    std::vector<std::string> arguments;
    std::string message;
};
class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithHintOnStandardError)
{
    auto result = runTool(GetParam().arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrors,
    testing::Values(UsageCase{{}, "usage: tessarin-bank COMMAND"}, UsageCase{{"frobnicate", "x"}, "unknown command 'frobnicate'"},
                    UsageCase{{"new"}, "missing arguments"}, UsageCase{{"new", "a.mdb", "b.mdb"}, "too many arguments"},
                    UsageCase{{"import", "a.mdb"}, "usage: tessarin-bank import FILE TEXTFILE"},
                    UsageCase{{"tables"}, "missing arguments"}, UsageCase{{"schema", "a", "b", "c"}, "too many arguments"},
                    UsageCase{{"count", "a.mdb"}, "missing arguments"}, UsageCase{{"export", "a.mdb"}, "missing arguments"},
                    UsageCase{{"sql", "a.mdb"}, "missing arguments"}, UsageCase{{"export", "--fast", "a.mdb", "t"}, "unknown option '--fast'"},
                    UsageCase{{"sql", "--fast", "select 1"}, "unknown option '--fast'"}));

// A failure: exit 1, nothing on standard output, one line on standard error that names the file.
void expectFailureNaming(const tool_test::ToolResult& result, const std::string& file, const std::string& what = "")
{
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(what), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
}

class MissingFile : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(MissingFile, FailsNamingTheFile)
{
    testing_support::TempDir dir;
    std::string missing = (dir / "nowhere.mdb").string();
    std::vector<std::string> arguments = {GetParam()[0], missing};
    arguments.insert(arguments.end(), GetParam().begin() + 1, GetParam().end());
    expectFailureNaming(runTool(arguments), missing);
}

INSTANTIATE_TEST_SUITE_P(Commands, MissingFile,
                         testing::Values(std::vector<std::string>{"tables"}, std::vector<std::string>{"schema"},
                                         std::vector<std::string>{"count", "tiku"}, std::vector<std::string>{"export", "tiku"},
                                         std::vector<std::string>{"sql", "select * from tiku"},
                                         std::vector<std::string>{"import", "questions.txt"}));

class NotAnAccessFile : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(NotAnAccessFile, FailsNamingTheFile)
{
    testing_support::TempDir dir;
    auto file = dir / "notes.mdb";
    tool_test::writeFile(file, std::string(5000, 'x') + "this is a text file, not a bank\n");
    std::vector<std::string> arguments = {GetParam()[0], file.string()};
    arguments.insert(arguments.end(), GetParam().begin() + 1, GetParam().end());
    expectFailureNaming(runTool(arguments), file.string());
    EXPECT_EQ(tool_test::readFile(file), std::string(5000, 'x') + "this is a text file, not a bank\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, NotAnAccessFile,
                         testing::Values(std::vector<std::string>{"tables"}, std::vector<std::string>{"schema"},
                                         std::vector<std::string>{"count", "tiku"}, std::vector<std::string>{"export", "tiku"},
                                         std::vector<std::string>{"sql", "select * from tiku"}));

TEST(Failures, EmptyFileIsNoBank)
{
    testing_support::TempDir dir;
    auto file = dir / "empty.mdb";
    tool_test::writeFile(file, "");
    expectFailureNaming(runTool({"tables", file.string()}), file.string());
}

TEST(Failures, FolderIsNoBank)
{
    testing_support::TempDir dir;
    expectFailureNaming(runTool({"export", dir.path().string(), "tiku"}), dir.path().string());
}

class UnknownTable : public testing::TestWithParam<std::string> {};

TEST_P(UnknownTable, FailsNamingFileAndTable)
{
    testing_support::TempDir dir;
    auto bank = dir / "bank.mdb";
    ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
    auto result = runTool({GetParam(), bank.string(), "questions"});
    expectFailureNaming(result, bank.string(), "questions");
}

INSTANTIATE_TEST_SUITE_P(Commands, UnknownTable, testing::Values("schema", "count", "export"));

TEST(Failures, SqlOnUnknownTableGivesEngineMessage)
{
    testing_support::TempDir dir;
    auto bank = dir / "bank.mdb";
    ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
    auto result = runTool({"sql", bank.string(), "select * from questions"});
    expectFailureNaming(result, bank.string());
    EXPECT_NE(result.err.find("questions"), std::string::npos) << result.err;
}

TEST(Failures, SqlRejectedStatement)
{
    testing_support::TempDir dir;
    auto bank = dir / "bank.mdb";
    ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
    expectFailureNaming(runTool({"sql", bank.string(), "selec * frm tiku"}), bank.string());
}

TEST(Failures, FullOutputIsAFailure)
{
    testing_support::TempDir dir;
    auto bank = dir / "bank.mdb";
    ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
    tool_test::writeFile(dir / "q.txt", "一\n二\n");
    ASSERT_EQ(runTool({"import", bank.string(), (dir / "q.txt").string()}).exitCode, 0);
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    auto result = testing_support::runCommand(testing_support::shellQuote(TESSARIN_BANK_TOOL) + " export " +
                                              testing_support::shellQuote(bank.string()) + " tiku 2>&1 >/dev/full");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("cannot write the output"), std::string::npos) << result.out;
}

TEST(Failures, NewNeverOverwrites)
{
    testing_support::TempDir dir;
    auto file = dir / "precious.mdb";
    tool_test::writeFile(file, "keep me");
    expectFailureNaming(runTool({"new", file.string()}), file.string(), "already exists");
    EXPECT_EQ(tool_test::readFile(file), "keep me");
}

TEST(Failures, NewNeverFollowsALinkToNowhere)
{
    testing_support::TempDir dir;
    auto link = dir / "bank.mdb";
    std::filesystem::create_symlink(dir / "elsewhere.mdb", link);
    expectFailureNaming(runTool({"new", link.string()}), link.string(), "already exists");
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere.mdb"));
}

TEST(Failures, NewInMissingFolder)
{
    testing_support::TempDir dir;
    auto file = dir / "no" / "such" / "bank.mdb";
    expectFailureNaming(runTool({"new", file.string()}), file.string());
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
