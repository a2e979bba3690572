// Saving and deleting through the ADO query: a post writes the row to the bank at once, a delete
// removes it, a new row is added; a refused change raises the engine's words and keeps the state.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/write/table_writer.h"
#include "data_bank_folder.h"
#include "support/test_support.h"
#include "vcl/data/ado_query.h"
#include "vcl/data/exceptions.h"

namespace {

namespace fs = std::filesystem;
using Questions = std::vector<std::optional<std::string>>;

struct Failure {
    std::string className;
    std::string message;
};
Failure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vcl::Exception& e) {
        return {e.ClassName(), e.Message()};
    }
    return {};
}

// The questions of tiku as a fresh reader finds them in the file.
Questions questionsInFile(const fs::path& file)
{
    auto database = jet::Database::open(file);
    auto reader = database->read("tiku");
    Questions questions;
    std::vector<jet::Value> row;
    while (reader.next(row)) {
        const auto* text = std::get_if<std::string>(&row[1]);
        questions.push_back(text ? std::optional<std::string>(*text) : std::nullopt);
    }
    return questions;
}

struct QueryOverBank : testing_support::BankFolderTest {
    void open(const Questions& questions, const std::string& statement = "select * from tiku")
    {
        jet::writeBank(bank, questions);
        query.SQL().Clear();
        query.SQL().Add(statement);
        query.Open();
    }
    std::string question() { return query.FieldByName("题目")->AsString(); }
    // Another program changes the question in the second row of the file.
    void changeSecondRowElsewhere(const std::string& text)
    {
        auto database = jet::Database::open(bank);
        auto reader = database->read("tiku");
        std::vector<jet::Value> row;
        jet::RowId where;
        reader.next(row);
        reader.next(row, &where);
        std::vector<jet::Value> theirs = row;
        theirs[1] = text;
        jet::TableWriter(bank).update("tiku", where, row, theirs);
    }
};

TEST_F(QueryOverBank, APostedChangeIsInTheBankAtOnceAndTheRowShowsIt)
{
    open({"甲", "乙", "丙"});
    ASSERT_TRUE(query.CanModify());
    query.Next();
    query.Edit();
    query.FieldByName("题目")->SetAsString("改过的乙");
    query.Post();
    EXPECT_EQ(query.State(), vcl::TDataSetState::dsBrowse);
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_EQ(question(), "改过的乙");
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", "改过的乙", "丙"}));

    // A move posts a pending change too; an empty text is stored as the empty text, Clear as Null.
    query.Edit();
    query.FieldByName("题目")->Clear();
    query.Next();
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", std::nullopt, "丙"}));
    EXPECT_EQ(query.RecNo(), 3);
}

TEST_F(QueryOverBank, DeletingRemovesTheRowFromTheBankAndTheNextRowBecomesCurrent)
{
    struct Case {
        int recNo;
        Questions left;
        std::string current;
    };
    for (const Case& c : {Case{1, {"乙", "丙"}, "乙"}, Case{2, {"甲", "丙"}, "丙"}, Case{3, {"甲", "乙"}, "乙"}}) {
        query.Close();
        open({"甲", "乙", "丙"});
        query.MoveTo(c.recNo);
        query.Delete();
        EXPECT_EQ(questionsInFile(bank), c.left) << c.recNo;
        EXPECT_EQ(query.RecordCount(), 2) << c.recNo;
        EXPECT_EQ(question(), c.current) << c.recNo;
    }
    query.Delete();
    query.Delete();
    EXPECT_TRUE(query.IsEmpty());
    EXPECT_TRUE(questionsInFile(bank).empty());
}

TEST_F(QueryOverBank, EditingAnEmptyResultAddsANewQuestionWithTheNextNumber)
{
    open({"甲", "乙"}, "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"丁\"),0)<>0");
    ASSERT_TRUE(query.IsEmpty());
    query.Edit();
    ASSERT_EQ(query.State(), vcl::TDataSetState::dsInsert);
    query.FieldByName("题目")->SetAsString("丁：新的题目");
    query.Post();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(question(), "丁：新的题目");
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", "乙", "丁：新的题目"}));
    auto database = jet::Database::open(bank);
    auto reader = database->read("tiku");
    std::vector<jet::Value> row;
    for (int i = 0; i < 3; ++i) reader.next(row);
    EXPECT_EQ(row[0], jet::Value(std::int64_t{3}));

    // The search that runs next finds it through the engine's kept rows.
    query.Close();
    query.SQL().Clear();
    query.SQL().Add("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"新的\"),0)<>0");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(QueryOverBank, ARefusedPostKeepsEditingWithTheChangeAndTheRowStays)
{
    open({"甲", "乙", "丙"});
    query.Next();
    query.Edit();
    query.FieldByName("题目")->SetAsString("我们的乙");
    changeSecondRowElsewhere("他们的乙");

    const Failure failure = failureOf([&] { query.Post(); });
    EXPECT_EQ(failure.className, "EOleException");
    ASSERT_FALSE(failure.message.empty());
    EXPECT_EQ(failure.message.rfind("qry1", 0), std::string::npos) << failure.message;  // no name in front
    EXPECT_NE(failure.message.back(), '.');
    EXPECT_EQ(query.State(), vcl::TDataSetState::dsEdit);
    EXPECT_TRUE(query.Modified());
    EXPECT_EQ(question(), "我们的乙");
    EXPECT_EQ(query.RecNo(), 2);
    // A move tries the save again and does not happen.
    EXPECT_EQ(failureOf([&] { query.Next(); }).className, "EOleException");
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", "他们的乙", "丙"}));

    query.Cancel();
    EXPECT_EQ(question(), "乙");  // the result is the snapshot it was
}

TEST_F(QueryOverBank, ARefusedDeleteLeavesTheRow)
{
    open({"甲", "乙", "丙"});
    query.Next();
    changeSecondRowElsewhere("他们的乙");
    const Failure failure = failureOf([&] { query.Delete(); });
    EXPECT_EQ(failure.className, "EOleException");
    EXPECT_EQ(failure.message.rfind("qry1", 0), std::string::npos) << failure.message;
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_EQ(question(), "乙");
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", "他们的乙", "丙"}));
}

TEST_F(QueryOverBank, AResultThatCannotBeChangedRefusesEditingAndDeleting)
{
    open({"甲", "乙"}, "select distinct 题目 from tiku");
    EXPECT_FALSE(query.CanModify());
    EXPECT_EQ(failureOf([&] { query.Edit(); }).message, "qry1: Cannot modify a read-only dataset");
    EXPECT_EQ(failureOf([&] { query.Delete(); }).message, "qry1: Cannot modify a read-only dataset");
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲", "乙"}));
}

TEST_F(QueryOverBank, ClosingDropsAPendingChange)
{
    open({"甲"});
    query.Edit();
    query.FieldByName("题目")->SetAsString("不会保存");
    query.Close();
    EXPECT_EQ(questionsInFile(bank), (Questions{"甲"}));
}

}  // namespace
