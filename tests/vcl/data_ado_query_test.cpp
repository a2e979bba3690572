// The ADO query over the engine: statements, opening, the connection and its failures, against banks
// made for each test in a folder that is the current directory while the test runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string_view>

#include "ado/connection.h"
#include "jet/create/bank_builder.h"
#include "data_bank_folder.h"
#include "support/test_support.h"
#include "vcl/data/ado_query.h"
#include "vcl/data/exceptions.h"

namespace {

namespace fs = std::filesystem;
using testing_support::kBankConnectionString;
using Questions = std::vector<std::optional<std::string>>;

// The failure that call raises: its class and its message; empty when it raises none.
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

// The statement a search forms for a typed text.
std::string searchStatement(std::string_view typed)
{
    return "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + std::string(typed) + "\"),0)<>0";
}

struct InBankFolder : testing_support::BankFolderTest {
    void setStatement(const std::string& statement)
    {
        query.SQL().Clear();
        query.SQL().Add(statement);
    }
    std::string question() const { return query.FieldByName("题目")->AsString(); }
};

TEST_F(InBankFolder, TheInitialStatementReachesTheEngineWithCrLf)
{
    setStatement("select * from tiku");
    EXPECT_EQ(query.CommandText(), "select * from tiku\r\n");
    EXPECT_EQ(query.Parameters().Count(), 0);
}

TEST_F(InBankFolder, OpenMakesAFieldPerColumnAndTheFirstRowCurrent)
{
    makeBank({"第一题", std::nullopt, "third"});
    setStatement("select * from tiku");
    query.Open();
    EXPECT_EQ(query.State(), vcl::TDataSetState::dsBrowse);
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.RecNo(), 1);
    ASSERT_EQ(query.FieldCount(), 2);
    EXPECT_EQ(query.Fields(0)->FieldName(), "ID");
    EXPECT_EQ(question(), "第一题");
    EXPECT_EQ(query.FieldByName("ID")->AsString(), "1");
    query.Next();
    EXPECT_TRUE(query.FieldByName("题目")->IsNull());
    EXPECT_EQ(query.textAt(2, *query.FieldByName("题目")), "third");
}

TEST_F(InBankFolder, AMemoColumnShowsItsPlaceholderInLists)
{
    makeBank({"第一题", std::nullopt});
    setStatement("select * from tiku");
    query.Open();
    const vcl::TField& field = *query.FieldByName("题目");
    EXPECT_EQ(field.DataType(), vcl::TFieldType::ftMemo);
    EXPECT_EQ(query.displayTextAt(0, field), "(MEMO)");
    EXPECT_EQ(query.displayTextAt(1, field), "(Memo)");
    EXPECT_EQ(field.AsString(), "第一题");  // the full text stays readable
}

TEST_F(InBankFolder, AnEmptyTableOpensWithoutACurrentRow)
{
    makeBank({});
    setStatement("select * from tiku");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_TRUE(query.IsEmpty());
    EXPECT_EQ(query.RecNo(), -1);
    EXPECT_EQ(question(), "");
}

TEST_F(InBankFolder, OpenWithoutAStatementNamesTheQuery)
{
    const Failure failure = failureOf([&] { query.Open(); });
    EXPECT_EQ(failure.className, "EDatabaseError");
    EXPECT_EQ(failure.message, "qry1: Missing SQL property");
    EXPECT_FALSE(query.Connected());
}

TEST_F(InBankFolder, AMissingBankFailsWithTheEnginesWordsAndTheQueryStaysClosed)
{
    setStatement("select * from tiku");
    EXPECT_FALSE(query.Connected());
    const Failure failure = failureOf([&] { query.Open(); });
    EXPECT_EQ(failure.className, "EOleException");
    EXPECT_NE(failure.message.find("data.mdb"), std::string::npos) << failure.message;
    EXPECT_NE(failure.message.rfind("qry1", 0), 0u) << "no name in front";
    EXPECT_FALSE(failure.message.ends_with("."));
    EXPECT_FALSE(query.Active());
    EXPECT_FALSE(query.Connected());
    EXPECT_EQ(query.FieldCount(), 0);
    EXPECT_EQ(failureOf([&] { query.RecordCount(); }).message,
              "qry1: Cannot perform this operation on a closed dataset");
}

TEST_F(InBankFolder, ABankThatTurnsUpLaterIsPickedUpByTheNextStatementChange)
{
    setStatement("select * from tiku");
    EXPECT_NE(failureOf([&] { query.Open(); }).message, "");
    makeBank({"a", "b"});
    setStatement("select 题目 from tiku");  // as a search does: the change connects
    EXPECT_TRUE(query.Connected());
    query.Open();
    EXPECT_EQ(query.RecordCount(), 2);
}

TEST_F(InBankFolder, ABankThatTurnsUpLaterIsPickedUpByTheNextOpen)
{
    setStatement("select * from tiku");
    EXPECT_NE(failureOf([&] { query.Open(); }).message, "");
    makeBank({"a"});
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(InBankFolder, OneConnectionServesEveryCloseAndOpen)
{
    makeBank({"a", "b", "c"});
    setStatement("select * from tiku");
    query.Open();
    const ado::Connection* connection = query.Connection();
    ASSERT_NE(connection, nullptr);
    for (int i = 0; i < 5; ++i) {
        query.Close();
        EXPECT_TRUE(query.Connected());
        setStatement(i % 2 ? "select * from tiku" : searchStatement("b"));
        query.Open();
    }
    EXPECT_EQ(query.Connection(), connection);
    EXPECT_EQ(connection->fileOpenCount(), 1u);
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(InBankFolder, ARejectedStatementLeavesTheQueryClosedAndTheConnectionOpen)
{
    makeBank({"a"});
    setStatement("select * from tiku");
    query.Open();
    const ado::Connection* connection = query.Connection();
    setStatement("select * from nowhere");  // the describe step's failure is ignored
    EXPECT_FALSE(query.Active());
    const Failure failure = failureOf([&] { query.Open(); });
    EXPECT_EQ(failure.className, "EOleException");
    EXPECT_NE(failure.message.find("nowhere"), std::string::npos) << failure.message;
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.Connection(), connection);
    setStatement("select * from tiku");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(InBankFolder, AStatementThatTheEngineCannotParseFailsOnlyAtOpen)
{
    EXPECT_NO_THROW(setStatement("select from where ("));
    EXPECT_EQ(failureOf([&] { query.Open(); }).className, "EOleException");
}

TEST_F(InBankFolder, AStatementChangeClosesAnOpenQuery)
{
    makeBank({"a"});
    setStatement("select * from tiku");
    query.Open();
    query.SQL().Add("where ID = 1");
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.CommandText(), "select * from tiku\r\nwhere ID = 1\r\n");
}

TEST_F(InBankFolder, ClearingTheStatementEmptiesTheCommandAndTheParameters)
{
    setStatement("select * from tiku where ID = :id");
    EXPECT_EQ(query.Parameters().Count(), 1);
    query.SQL().Clear();
    EXPECT_EQ(query.CommandText(), "");
    EXPECT_EQ(query.Parameters().Count(), 0);
    query.SQL().Clear();  // on an empty list: no change at all
    EXPECT_EQ(query.CommandText(), "");
}

TEST_F(InBankFolder, AColonInsideDoubleQuotesReachesTheEngineUnchanged)
{
    makeBank({"时间 10:30", "it's: here", "other"});
    setStatement(searchStatement("10:30"));
    EXPECT_EQ(query.CommandText(), searchStatement("10:30") + "\r\n");
    EXPECT_EQ(query.Parameters().Count(), 0);
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
    query.Close();
    // An apostrophe before the colon does not end the double-quoted literal.
    setStatement(searchStatement("it's: h"));
    EXPECT_EQ(query.CommandText(), searchStatement("it's: h") + "\r\n");
    EXPECT_EQ(query.Parameters().Count(), 0);
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(question(), "it's: here");
}

TEST_F(InBankFolder, AMarkerBecomesAQuestionMarkAndAParameterWithoutAValue)
{
    setStatement("select * from tiku where 题目 = :q or ID = :\"the id\"");
    EXPECT_EQ(query.CommandText(), "select * from tiku where 题目 = ? or ID = ?\r\n");
    ASSERT_EQ(query.Parameters().Count(), 2);
    EXPECT_EQ(query.Parameters()[0].Name, "q");
    EXPECT_EQ(query.Parameters()[1].Name, "the id");
    EXPECT_FALSE(query.Parameters()[0].Value.has_value());
}

TEST_F(InBankFolder, LikeNamedParametersKeepTheirValuesAcrossChanges)
{
    makeBank({"甲", "乙"});
    setStatement("select * from tiku where 题目 = :q");
    query.Parameters().ParamByName("q").Value = "乙";
    query.SQL().Put(0, "select 题目 from tiku where 题目 = :q");  // one change: Clear would empty the list
    EXPECT_EQ(query.Parameters().ParamByName("Q").Value, std::optional<std::string>("乙"));
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(question(), "乙");
}

TEST_F(InBankFolder, TwoColonsOutsideALiteralReachTheEngineAsOne)
{
    setStatement("select 题目 from tiku where 题目 like \"%a%\" or 题目 = \"x\" or 1::2");
    EXPECT_EQ(query.CommandText(), "select 题目 from tiku where 题目 like \"%a%\" or 题目 = \"x\" or 1:2\r\n");
}

TEST_F(InBankFolder, EditingFollowsWhetherTheResultCanBeChanged)
{
    makeBank({"a"});
    setStatement("select * from tiku");
    query.Open();
    if (query.CanModify()) {
        query.Edit();
        EXPECT_EQ(query.State(), vcl::TDataSetState::dsEdit);
        query.Cancel();
    } else {
        EXPECT_EQ(failureOf([&] { query.Edit(); }).message, "qry1: Cannot modify a read-only dataset");
        EXPECT_EQ(failureOf([&] { query.Delete(); }).message, "qry1: Cannot modify a read-only dataset");
        EXPECT_EQ(query.State(), vcl::TDataSetState::dsBrowse);
    }
}

TEST_F(InBankFolder, TheConnectionStringCannotChangeUnderAnOpenQuery)
{
    makeBank({"a"});
    setStatement("select * from tiku");
    query.Open();
    EXPECT_EQ(failureOf([&] { query.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"); })
                  .message,
              "qry1: Cannot perform this operation on an open dataset");
    query.Close();
    query.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb");
    EXPECT_FALSE(query.Connected());
}

struct Catcher : vcl::TComponent {
    void HandleException(std::exception_ptr failure) override
    {
        try {
            std::rethrow_exception(failure);
        } catch (const vcl::Exception& e) {
            caught.push_back(e.Message());
        }
    }
    std::vector<std::string> caught;
};

TEST_F(InBankFolder, LoadingNeitherConnectsNorDescribesUntilLoaded)
{
    makeBank({"a", "b"});
    vcl::TADOQuery loading;
    loading.BeginLoading();
    loading.SetName("qry1");
    loading.SetConnectionString(kBankConnectionString);
    loading.SQL().Add("select * from tiku");
    loading.SetActive(true);
    EXPECT_FALSE(loading.Connected());
    EXPECT_FALSE(loading.Active());
    EXPECT_EQ(loading.CommandText(), "select * from tiku\r\n");
    loading.Loaded();
    EXPECT_TRUE(loading.Active());
    EXPECT_EQ(loading.RecordCount(), 2);
}

TEST_F(InBankFolder, AFailedOpenAtLoadedGoesToTheOwnerAndTheQueryStaysClosed)
{
    Catcher form;
    auto* loading = new vcl::TADOQuery(&form);
    loading->BeginLoading();
    loading->SetName("qry1");
    loading->SetConnectionString(kBankConnectionString);
    loading->SQL().Add("select * from tiku");
    loading->SetActive(true);
    EXPECT_NO_THROW(loading->Loaded());
    EXPECT_FALSE(loading->Active());
    ASSERT_EQ(form.caught.size(), 1u);
    EXPECT_NE(form.caught[0].find("data.mdb"), std::string::npos);
    EXPECT_EQ(failureOf([&] { loading->RecordCount(); }).message,
              "qry1: Cannot perform this operation on a closed dataset");
}

TEST_F(InBankFolder, ARealAccessFileOpensThroughTheQuery)
{
    TESSARIN_REQUIRE_FIXTURES();
    testing_support::copyFixture("testV2000.mdb", folder.path());
    query.Close();
    query.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=testV2000.mdb;Persist Security Info=False");
    setStatement("select * from Table1");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_GT(query.FieldCount(), 5);
}

}  // namespace
