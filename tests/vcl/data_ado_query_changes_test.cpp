// Changes through the ADO query reach the bank at once: edit and post, a new row in an empty result,
// delete, and what a refused change leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/test_support.h"
#include "jet/create/bank_builder.h"
#include "vcl/data/ado_query.h"

namespace {

namespace fs = std::filesystem;
using Questions = std::vector<std::optional<std::string>>;

std::string failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vcl::Exception& e) {
        return e.Message();
    }
    return "";
}

struct ChangesToTheBank : testing::Test {
    testing_support::TempDir folder;
    fs::path previous = fs::current_path();

    void SetUp() override { fs::current_path(folder.path()); }
    void TearDown() override { fs::current_path(previous); }

    void makeBank(const Questions& questions) { jet::writeBank(folder / "data.mdb", questions); }

    static std::unique_ptr<vcl::TADOQuery> openQuery(const std::string& statement = "select * from tiku")
    {
        auto query = std::make_unique<vcl::TADOQuery>();
        query->SetName("qry1");
        query->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb;Persist Security Info=False");
        query->SetCursorType(vcl::TCursorType::ctStatic);
        query->SQL().Add(statement);
        query->Open();
        return query;
    }
    // The questions as a new query reads them from the file now.
    static Questions stored()
    {
        auto query = openQuery();
        Questions questions;
        for (int row = 0; row < query->RecordCount(); ++row)
            questions.push_back(query->valueAt(row, *query->FieldByName("题目")));
        return questions;
    }
};

TEST_F(ChangesToTheBank, APostedEditIsInTheBankAtOnce)
{
    makeBank({"甲", "乙"});
    auto query = openQuery();
    ASSERT_TRUE(query->CanModify());
    query->Next();
    query->Edit();
    query->FieldByName("题目")->SetAsString("乙（改）");
    EXPECT_EQ(stored(), (Questions{"甲", "乙"}));  // nothing written before the post
    query->Post();
    EXPECT_EQ(query->FieldByName("题目")->AsString(), "乙（改）");
    EXPECT_EQ(stored(), (Questions{"甲", "乙（改）"}));
}

TEST_F(ChangesToTheBank, AMoveSavesTheChangeOfASearchResult)
{
    makeBank({"apple", "banana", "apricot"});
    auto query = openQuery("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"ap\"),0)<>0");
    ASSERT_EQ(query->RecordCount(), 2);
    query->Last();
    query->Edit();
    query->FieldByName("题目")->SetAsString("apricots");
    query->First();
    EXPECT_EQ(stored(), (Questions{"apple", "banana", "apricots"}));
}

TEST_F(ChangesToTheBank, CloseWhileEditingLeavesTheBankUnchanged)
{
    makeBank({"甲"});
    auto query = openQuery();
    query->Edit();
    query->FieldByName("题目")->SetAsString("不要保存");
    query->Close();
    EXPECT_EQ(stored(), (Questions{"甲"}));
}

TEST_F(ChangesToTheBank, ANewRowInAnEmptyResultAddsAQuestionWithOnlyItsText)
{
    makeBank({});
    auto query = openQuery();
    query->Edit();
    EXPECT_EQ(query->State(), vcl::TDataSetState::dsInsert);
    query->FieldByName("题目")->SetAsString("第一题");
    query->Post();
    EXPECT_EQ(query->RecordCount(), 1);
    EXPECT_EQ(query->RecNo(), 1);
    EXPECT_EQ(stored(), (Questions{"第一题"}));
    auto reread = openQuery();
    EXPECT_FALSE(reread->FieldByName("ID")->IsNull());  // the table gave it its next number
}

TEST_F(ChangesToTheBank, DeleteRemovesTheRowFromTheBank)
{
    makeBank({"甲", "乙", "丙"});
    auto query = openQuery();
    query->Next();
    query->Delete();
    EXPECT_EQ(query->FieldByName("题目")->AsString(), "丙");
    EXPECT_EQ(stored(), (Questions{"甲", "丙"}));
}

TEST_F(ChangesToTheBank, ARefusedPostKeepsTheChangeAndTheRow)
{
    makeBank({"甲", "乙"});
    auto mine = openQuery();
    auto theirs = openQuery();
    theirs->Edit();
    theirs->FieldByName("题目")->SetAsString("他们的");
    theirs->Post();  // the row that mine still shows as 甲 is changed under it

    mine->Edit();
    mine->FieldByName("题目")->SetAsString("我的");
    const std::string message = failureOf([&] { mine->Next(); });
    EXPECT_NE(message, "");
    EXPECT_NE(message.rfind("qry1", 0), 0u) << "the engine's words, no name in front: " << message;
    EXPECT_EQ(mine->State(), vcl::TDataSetState::dsEdit);
    EXPECT_EQ(mine->RecNo(), 1);
    EXPECT_EQ(mine->FieldByName("题目")->AsString(), "我的");
    EXPECT_EQ(stored(), (Questions{"他们的", "乙"}));
}

TEST_F(ChangesToTheBank, ARefusedDeleteKeepsTheRow)
{
    makeBank({"甲", "乙"});
    auto mine = openQuery();
    auto theirs = openQuery();
    theirs->Delete();
    EXPECT_NE(failureOf([&] { mine->Delete(); }), "");
    EXPECT_EQ(mine->RecordCount(), 2);
    EXPECT_EQ(mine->FieldByName("题目")->AsString(), "甲");
    EXPECT_EQ(stored(), (Questions{"乙"}));
}

TEST_F(ChangesToTheBank, ARealAccessFileThatCannotBeWrittenIsReadOnly)
{
    TESSARIN_REQUIRE_FIXTURES();
    testing_support::copyFixture("testV1997.mdb", folder.path());
    fs::rename(folder / "testV1997.mdb", folder / "data.mdb");
    auto query = openQuery("select * from Table1");
    // A Jet 3 file is read but never written.
    EXPECT_FALSE(query->CanModify());
    EXPECT_EQ(failureOf([&] { query->Edit(); }), "qry1: Cannot modify a read-only dataset");
}

}  // namespace
