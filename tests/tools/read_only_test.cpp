// The reading commands leave every byte and the modification time of the file as they were.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tool_run.h"

using tool_test::runTool;

namespace {

struct Snapshot {
    std::string bytes;
    std::filesystem::file_time_type modified;
    bool operator==(const Snapshot&) const = default;
};
Snapshot snapshotOf(const std::filesystem::path& file) { return {tool_test::readFile(file), std::filesystem::last_write_time(file)}; }

const std::vector<std::vector<std::string>> readingCommands = {
    {"tables"}, {"schema"}, {"count", "TABLE"}, {"export", "TABLE"}, {"sql", "select * from TABLE"},
    {"export", "no_such_table"}, {"sql", "select nonsense from TABLE where"}};

void expectUnchangedByEveryReadingCommand(const std::filesystem::path& file, const std::string& table)
{
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - std::chrono::hours(1));
    Snapshot before = snapshotOf(file);
    for (auto command : readingCommands) {
        std::vector<std::string> arguments = {command[0], file.string()};
        for (std::size_t i = 1; i < command.size(); ++i) {
            std::string argument = command[i];
            if (auto at = argument.find("TABLE"); at != std::string::npos)
                argument.replace(at, 5, table);
            arguments.push_back(argument);
        }
        runTool(arguments);
        EXPECT_TRUE(snapshotOf(file) == before) << command[0] << " changed " << file;
    }
}

TEST(ReadOnly, CreatedBank)
{
    testing_support::TempDir dir;
    auto bank = dir / "bank.mdb";
    ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
    tool_test::writeFile(dir / "q.txt", "一题\n二题\n");
    ASSERT_EQ(runTool({"import", bank.string(), (dir / "q.txt").string()}).exitCode, 0);
    expectUnchangedByEveryReadingCommand(bank, "tiku");
}

TEST(ReadOnly, AccessFiles)
{
    TESSARIN_REQUIRE_FIXTURES();
    testing_support::TempDir dir;
    for (const char* name : {"testV2000.mdb", "testV1997.mdb", "testUnicodeCompV2003.mdb"}) {
        auto copy = testing_support::copyFixture(name, dir.path());
        std::string table = tool_test::lines(runTool({"tables", copy.string()}).out).at(0);
        expectUnchangedByEveryReadingCommand(copy, table);
    }
}

}  // namespace
