// The bank's settings and the query they make, opened against a bank in the current directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "bank/question_bank.h"
#include "jet/create/bank_builder.h"
#include "support/test_support.h"
#include "vcl/data/ado_query.h"

namespace {

namespace fs = std::filesystem;

TEST(QuestionBankSettings, AreTheWindowDescriptionsValues)
{
    EXPECT_EQ(bank::kConnectionString,
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb;Persist Security Info=False");
    EXPECT_EQ(bank::kInitialStatement, "select * from tiku");
    EXPECT_EQ(bank::kTable, "tiku");
    EXPECT_EQ(bank::kQuestionColumn, "题目");
}

TEST(QuestionBankSettings, GiveTheQueryItsConnectionCursorAndInitialStatement)
{
    vcl::TADOQuery query;
    bank::applyQuestionBankSettings(query);
    EXPECT_EQ(query.ConnectionString(), bank::kConnectionString);
    EXPECT_EQ(query.CursorType(), vcl::TCursorType::ctStatic);
    ASSERT_EQ(query.SQL().Count(), 1);
    EXPECT_EQ(query.SQL()[0], "select * from tiku");
    EXPECT_EQ(query.CommandText(), "select * from tiku\r\n");
    EXPECT_EQ(query.Parameters().Count(), 0);
    EXPECT_FALSE(query.Active());
}

struct BankInCurrentFolder : testing::Test {
    testing_support::TempDir folder;
    fs::path previous = fs::current_path();
    void SetUp() override { fs::current_path(folder.path()); }
    void TearDown() override { fs::current_path(previous); }
};

TEST_F(BankInCurrentFolder, TheInitialStatementCountsEveryQuestion)
{
    jet::writeBank(folder / "data.mdb", {"第一题", "第二题", std::nullopt, "第四题"});
    vcl::TADOQuery query;
    query.SetName("qry1");
    bank::applyQuestionBankSettings(query);
    query.Open();
    EXPECT_EQ(query.RecordCount(), 4);
    EXPECT_EQ(query.RecNo(), 1);
    EXPECT_EQ(query.FieldByName(bank::kQuestionColumn)->AsString(), "第一题");
}

TEST_F(BankInCurrentFolder, AnEmptyBankCountsZero)
{
    jet::writeBank(folder / "data.mdb", {});
    vcl::TADOQuery query;
    bank::applyQuestionBankSettings(query);
    query.Open();
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_TRUE(query.IsEmpty());
}

TEST_F(BankInCurrentFolder, TheBankIsLookedUpInTheCurrentFolderWhenConnecting)
{
    vcl::TADOQuery query;
    query.SetName("qry1");
    bank::applyQuestionBankSettings(query);
    EXPECT_THROW(query.Open(), vcl::EOleException);
    fs::create_directory(folder / "other");
    jet::writeBank(folder / "other" / "data.mdb", {"在别处"});
    fs::current_path(folder / "other");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
}

}  // namespace
