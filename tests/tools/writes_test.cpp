// The commands that change or check a bank: sql with UPDATE, DELETE and INSERT, and check.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "jet/database.h"
#include "jet/format.h"
#include "support/test_support.h"
#include "tool_run.h"

using tool_test::runTool;

namespace {

class WritesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(runTool({"new", bank.string()}).exitCode, 0);
        tool_test::writeFile(dir / "q.txt", "第一题\n第二题 CPU\n第三题\n");
        ASSERT_EQ(runTool({"import", bank.string(), (dir / "q.txt").string()}).exitCode, 0);
    }
    tool_test::ToolResult sql(const std::string& statement) { return runTool({"sql", bank.string(), statement}); }
    std::string exported() { return runTool({"export", bank.string(), "tiku"}).out; }

    testing_support::TempDir dir;
    std::filesystem::path bank = dir / "bank.mdb";
};

struct ChangeCase {
    const char* statement;
    const char* printed;   // the number of rows changed
    const char* exported;  // the table afterwards
};

class SqlChanges : public WritesTest, public testing::WithParamInterface<ChangeCase> {};

TEST_P(SqlChanges, PrintTheRowsChangedAndLeaveAConsistentBank)
{
    const ChangeCase& c = GetParam();
    const auto result = sql(c.statement);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, c.printed);
    EXPECT_EQ(exported(), c.exported);
    const auto check = runTool({"check", bank.string()});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out, "consistent\n");
}

INSTANTIATE_TEST_SUITE_P(
    Statements, SqlChanges,
    testing::Values(
        ChangeCase{"update tiku set 题目 = 题目 & \"（改）\" where ID <> 2", "2\n",
                   "{\"ID\":1,\"题目\":\"第一题（改）\"}\n{\"ID\":2,\"题目\":\"第二题 CPU\"}\n{\"ID\":3,\"题目\":\"第三题（改）\"}\n"},
        ChangeCase{"UPDATE tiku SET 题目 = Null", "3\n", "{\"ID\":1,\"题目\":null}\n{\"ID\":2,\"题目\":null}\n{\"ID\":3,\"题目\":null}\n"},
        ChangeCase{"delete from tiku where InStr(1,LCase(题目),LCase(\"cpu\"),0)<>0", "1\n",
                   "{\"ID\":1,\"题目\":\"第一题\"}\n{\"ID\":3,\"题目\":\"第三题\"}\n"},
        ChangeCase{"DELETE * FROM tiku", "3\n", ""},
        ChangeCase{"insert into tiku (题目) values ('第四题')", "1\n",
                   "{\"ID\":1,\"题目\":\"第一题\"}\n{\"ID\":2,\"题目\":\"第二题 CPU\"}\n{\"ID\":3,\"题目\":\"第三题\"}\n"
                   "{\"ID\":4,\"题目\":\"第四题\"}\n"},
        ChangeCase{"update tiku set 题目 = 'x' where ID = 42", "0\n",
                   "{\"ID\":1,\"题目\":\"第一题\"}\n{\"ID\":2,\"题目\":\"第二题 CPU\"}\n{\"ID\":3,\"题目\":\"第三题\"}\n"}));

TEST_F(WritesTest, ARejectedChangeIsAFailureAndChangesNothing)
{
    const std::string before = exported();
    for (const std::string statement : {"update tiku set 答案 = 1", "insert into tiku (ID) values ('abc')",
                                        "delete from nothing"}) {
        const auto result = sql(statement);
        EXPECT_EQ(result.exitCode, 1) << statement;
        EXPECT_TRUE(result.out.empty()) << statement;
        EXPECT_NE(result.err.find("tessarin-bank sql: "), std::string::npos) << result.err;
    }
    EXPECT_EQ(exported(), before);
}

// A statement that changes many rows is one change: when a later row is refused, the rows before it
// are not written either, and the file stays byte for byte as it was.
TEST_F(WritesTest, AManyRowStatementRefusedAtALaterRowChangesNoRow)
{
    ASSERT_EQ(sql("update tiku set 题目 = 题目 & '（长）" + std::string(600, 'x') + "'").exitCode, 0);  // long values
    const auto bytes = [&] {
        std::ifstream in(bank, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes();
    struct Refused {
        const char* statement;
        const char* message;
    };
    for (const Refused& r : {Refused{"update tiku set ID = 100, 题目 = 'x' where ID <= 2", "已有这个值"},
                             Refused{"update tiku set ID = 4 - ID, 题目 = Null where ID >= 2", "已有这个值"}}) {
        const auto result = sql(r.statement);
        EXPECT_EQ(result.exitCode, 1) << r.statement;
        EXPECT_TRUE(result.out.empty()) << r.statement;
        EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
        EXPECT_EQ(bytes(), before) << r.statement;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "bank.mdb-journal"));
    const auto check = runTool({"check", bank.string()});
    EXPECT_EQ(check.out, "consistent\n") << check.err;
    // The same statements with room for their keys change every row they name.
    ASSERT_EQ(sql("update tiku set ID = ID + 100, 题目 = 'x' where ID <= 2").out, "2\n");
    ASSERT_EQ(sql("delete from tiku where ID > 100").out, "2\n");
    EXPECT_EQ(exported().find("\"ID\":1"), std::string::npos);
    EXPECT_EQ(runTool({"check", bank.string()}).out, "consistent\n");
}

TEST_F(WritesTest, CheckOfANewBankFindsItConsistent)
{
    // The question column has no index in a new bank: only the primary key is there, and it is checked.
    const auto all = runTool({"check", bank.string()});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, "consistent\n");
    const auto one = runTool({"check", bank.string(), "TIKU"});
    EXPECT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.out, "consistent\n");
    const auto missing = runTool({"check", bank.string(), "questions"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("questions"), std::string::npos) << missing.err;
}

TEST(WritesFixtures, CheckNamesTheIndexesItCannotCheck)
{
    TESSARIN_REQUIRE_FIXTURES();
    testing_support::TempDir dir;
    const auto copy = testing_support::copyFixture("testV2000.mdb", dir.path());
    const auto result = runTool({"check", copy.string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto printed = tool_test::lines(result.out);
    ASSERT_GE(printed.size(), 2u) << result.out;
    EXPECT_EQ(printed.back(), "consistent");
    // Its text keys are checked now; the GUID key of Table4 is not.
    EXPECT_NE(result.out.find("not checked: index PrimaryKey of table Table4"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("of table Table1"), std::string::npos) << result.out;
}

// On a copy of an Access table with text and Date/Time indexes: a statement changing an indexed text
// is written and the check finds every index exact; a text the writer cannot key is refused, naming
// the index, and the file is left as it was.
TEST(WritesFixtures, SqlChangesToTextKeyedAccessTablesKeepTheirIndexes)
{
    TESSARIN_REQUIRE_FIXTURES();
    testing_support::TempDir dir;
    const auto copy = testing_support::copyFixture("fixedTextTestV2000.mdb", dir.path());
    const auto update = runTool({"sql", copy.string(), "UPDATE users SET c_user_login = 'Zoe-Admin' WHERE i_user_id = 2"});
    EXPECT_EQ(update.exitCode, 0) << update.err;
    EXPECT_EQ(update.out, "1\n");
    const auto check = runTool({"check", copy.string()});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out, "consistent\n");

    const std::string before = tool_test::readFile(copy);
    const auto refused = runTool({"sql", copy.string(), "UPDATE users SET c_user_login = '管理员' WHERE i_user_id = 2"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Users2_1_idx"), std::string::npos) << refused.err;
    EXPECT_EQ(tool_test::readFile(copy), before);
    EXPECT_NE(runTool({"export", copy.string(), "users"}).out.find("Zoe-Admin"), std::string::npos);
}

TEST_F(WritesTest, ADamagedCopyFailsTheCheckWithItsFirstInconsistency)
{
    const auto copy = dir / "damaged.mdb";
    std::filesystem::copy_file(bank, copy);
    // The stored row count of tiku says five rows where there are three.
    const std::uint32_t definitionPage = jet::Database::open(copy)->table("tiku").definitionPage;
    {
        std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(std::streamoff(definitionPage) * jet::format::Jet4Layout.pageSize + jet::format::Jet4Layout.tdefRowCount);
        const char five[4] = {5, 0, 0, 0};
        file.write(five, 4);
    }
    const auto result = runTool({"check", copy.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find("damaged.mdb"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("tiku"), std::string::npos) << result.err;
    EXPECT_EQ(tool_test::lines(result.err).size(), 1u) << result.err;
    EXPECT_EQ(runTool({"check", bank.string()}).exitCode, 0);
}

TEST_F(WritesTest, ALeftoverJournalFailsTheCheckAndTheNextWritePutsItBack)
{
    tool_test::writeFile(dir / "bank.mdb-journal", "TSRNJRN1 cut off");  // a journal whose writing was cut off
    const auto check = runTool({"check", bank.string()});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.err.find("journal"), std::string::npos) << check.err;
    ASSERT_EQ(sql("update tiku set 题目 = 'x' where ID = 1").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "bank.mdb-journal"));
    EXPECT_EQ(runTool({"check", bank.string()}).exitCode, 0);
}

TEST(WritesHelp, TheHelpNamesTheChangeStatementsAndCheck)
{
    const auto help = runTool({"--help"});
    EXPECT_NE(help.out.find("check FILE [TABLE]"), std::string::npos) << help.out;
    const auto sqlHelp = runTool({"sql", "--help"});
    for (const char* word : {"UPDATE", "DELETE", "INSERT", "number of rows changed"})
        EXPECT_NE(sqlHelp.out.find(word), std::string::npos) << word;
}

}  // namespace
