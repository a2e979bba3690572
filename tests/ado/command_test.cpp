// Running statements through a command: results, parameters, failures, one connection for many runs.
#include "ado/command.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "ado/engine_error.h"
#include "bank_files.h"
#include "support/test_support.h"

namespace {

using engine_test::jetConnection;
using testing_support::TempDir;

const engine_test::Questions kQuestions = {"光合作用发生在哪里？", std::nullopt, "", "CPU 的全称是什么？",
                                           "cpu 与 GPU 的区别", "他说：\"对\"", "光合作用的产物"};

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_test::writeBank(dir_ / "data.mdb", kQuestions);
        command_.setConnection(ado::Connection::open(jetConnection((dir_ / "data.mdb").string())));
    }
    std::unique_ptr<ado::Recordset> run(const std::string& statement) {
        command_.setText(statement);
        return command_.execute();
    }
    static std::vector<std::string> texts(const ado::Recordset& result, std::size_t field) {
        std::vector<std::string> out;
        for (std::size_t row = 0; row < result.recordCount(); ++row)
            out.emplace_back(result.text(row, field).value_or("<Null>"));
        return out;
    }
    static std::string searchStatement(const std::string& text) {
        return "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + text + "\"),0)<>0";
    }
    TempDir dir_;
    ado::Command command_;
};

TEST_F(CommandTest, TheWholeTableComesBackAsItIsStored) {
    const auto result = run("select * from tiku\r\n");
    ASSERT_EQ(result->recordCount(), kQuestions.size());
    ASSERT_EQ(result->fieldCount(), 2u);
    EXPECT_EQ(result->fieldName(0), "ID");
    EXPECT_EQ(result->fieldType(0), jet::ColumnType::Long);
    EXPECT_EQ(result->fieldName(1), "题目");
    EXPECT_EQ(result->fieldType(1), jet::ColumnType::Memo);
    EXPECT_EQ(result->findField("题目"), 1u);
    EXPECT_EQ(result->findField("id"), 0u);
    EXPECT_FALSE(result->findField("答案").has_value());
    for (std::size_t row = 0; row < kQuestions.size(); ++row) {
        EXPECT_EQ(result->value(row, 0), jet::Value(static_cast<std::int64_t>(row + 1)));
        EXPECT_EQ(result->isNull(row, 1), !kQuestions[row].has_value());
        const jet::Value expected = kQuestions[row] ? jet::Value(*kQuestions[row]) : jet::Value(jet::Null{});
        EXPECT_EQ(result->value(row, 1), expected);
    }
    EXPECT_THROW(result->text(0, 0), std::invalid_argument);
    EXPECT_THROW(result->value(kQuestions.size(), 1), std::out_of_range);
}

TEST_F(CommandTest, SearchStatementsListMatchingQuestionsInBankOrder) {
    struct Case {
        std::string text;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"光合作用", {"光合作用发生在哪里？", "光合作用的产物"}},
        {"CPU", {"CPU 的全称是什么？", "cpu 与 GPU 的区别"}},
        {"pu", {"CPU 的全称是什么？", "cpu 与 GPU 的区别"}},  // held twice, listed once
        {"\"\"", {"他说：\"对\""}},
        {"不存在的文字", {}},
        {" ", {"CPU 的全称是什么？", "cpu 与 GPU 的区别"}},
    };
    for (const auto& c : cases) {
        const auto result = run(searchStatement(c.text));
        ASSERT_EQ(result->fieldCount(), 1u);
        EXPECT_EQ(texts(*result, 0), c.expected) << c.text;
    }
}

TEST_F(CommandTest, ManyStatementsShareOneConnectionAndOneRead) {
    const auto connection = command_.connection();
    for (const std::string text : {"光", "光合", "光合作", "光合作用", "光合作", "c", "cp", "cpu", ""}) {
        const auto result = run(text.empty() ? "select 题目 from tiku" : searchStatement(text));
        EXPECT_GE(result->recordCount(), 1u) << text;
    }
    EXPECT_EQ(command_.connection(), connection);
    EXPECT_EQ(connection->fileOpenCount(), 1u);
}

TEST_F(CommandTest, AResultOutlivesItsConnectionAndLaterChangesOfTheFile) {
    auto result = run("select 题目 from tiku");
    command_.setConnection(nullptr);
    engine_test::writeBank(dir_ / "data.mdb", {"换了"});
    EXPECT_EQ(texts(*result, 0).front(), "光合作用发生在哪里？");
    command_.setConnection(ado::Connection::open(jetConnection((dir_ / "data.mdb").string())));
    EXPECT_EQ(texts(*run("select 题目 from tiku"), 0), std::vector<std::string>{"换了"});
}

TEST_F(CommandTest, ParametersAreDescribedAndBound) {
    command_.setText("select 题目 from tiku where InStr(1,LCase(题目),LCase(?),0)<>0 and ID > ?");
    const auto described = command_.describeParameters();
    ASSERT_EQ(described.size(), 2u);
    EXPECT_EQ(described[0].name, "Param1");
    EXPECT_FALSE(described[1].value.has_value());
    command_.parameters() = {{"p", jet::Value(std::string("CPU"))}, {"q", jet::Value(std::int64_t{4})}};
    EXPECT_EQ(texts(*command_.execute(), 0), std::vector<std::string>{"cpu 与 GPU 的区别"});
}

TEST_F(CommandTest, AMarkerWithoutAValueIsAnError) {
    command_.setText("select 题目 from tiku where 题目 = ?");
    command_.parameters() = {{"Param1", std::nullopt}};
    EXPECT_THROW(command_.execute(), ado::EngineError);
    command_.parameters().clear();
    EXPECT_THROW(command_.execute(), ado::EngineError);
}

TEST_F(CommandTest, RejectedStatementsRaiseEngineErrorsWithMessages) {
    const std::vector<std::string> rejected = {searchStatement("\"") /* one quote ends the literal early */,
                                               "select * from questions", "select 答案 from tiku", "delete from tiku", ""};
    for (const std::string& statement : rejected) {
        command_.setText(statement);
        try {
            command_.execute();
            ADD_FAILURE() << "ran " << statement;
        } catch (const ado::EngineError& e) {
            const std::string message = e.what();
            EXPECT_FALSE(message.empty()) << statement;
            EXPECT_FALSE(engine_test::endsWithFullStop(message)) << message;
        }
    }
    command_.setText(searchStatement("\""));
    EXPECT_THROW(command_.describeParameters(), ado::EngineError);
}

TEST(Command, WithoutAConnectionNothingRuns) {
    ado::Command command;
    command.setText("select * from tiku");
    EXPECT_THROW(command.execute(), ado::EngineError);
}

}  // namespace
