// Changing rows through a result: written to the file at once, shown by the result, taken over by the
// connection's snapshot without reading the table again, and refused when someone else changed the row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ado/command.h"
#include "ado/connection.h"
#include "ado/engine_error.h"
#include "ado/table_snapshot.h"
#include "bank_files.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/write/bank_check.h"
#include "jet/write/bank_lock.h"
#include "jet/write/page_journal.h"
#include "jet/write/table_writer.h"
#include "support/test_support.h"

namespace {

using engine_test::Questions;
using testing_support::TempDir;
namespace fs = std::filesystem;

jet::Value cell(const std::optional<std::string>& text) { return text ? jet::Value(*text) : jet::Value(jet::Null{}); }

struct StoredRow {
    std::int64_t id;
    std::optional<std::string> question;
    friend bool operator==(const StoredRow&, const StoredRow&) = default;
};
std::ostream& operator<<(std::ostream& out, const StoredRow& row) {
    return out << row.id << ":" << row.question.value_or("<Null>");
}

// The rows of tiku as a fresh reader finds them in the file.
std::vector<StoredRow> rowsInFile(const fs::path& file) {
    auto database = jet::Database::open(file);
    auto reader = database->read("tiku");
    std::vector<StoredRow> rows;
    std::vector<jet::Value> row;
    while (reader.next(row)) {
        StoredRow stored{std::get<std::int64_t>(row[0]), std::nullopt};
        if (const auto* text = std::get_if<std::string>(&row[1])) stored.question = *text;
        rows.push_back(stored);
    }
    return rows;
}

// The rows of a result whose fields are ID and 题目.
std::vector<StoredRow> rowsOf(const ado::Recordset& result) {
    std::vector<StoredRow> rows;
    for (std::size_t r = 0; r < result.recordCount(); ++r) {
        StoredRow stored{std::get<std::int64_t>(result.value(r, 0)), std::nullopt};
        if (const auto text = result.text(r, 1)) stored.question = std::string(*text);
        rows.push_back(stored);
    }
    return rows;
}

std::vector<StoredRow> numbered(const Questions& questions) {
    std::vector<StoredRow> rows;
    for (std::size_t i = 0; i < questions.size(); ++i) rows.push_back({static_cast<std::int64_t>(i + 1), questions[i]});
    return rows;
}

std::string searchStatement(const std::string& text) {
    return "select ID, 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + text + "\"),0)<>0";
}

struct Bank {
    explicit Bank(const Questions& questions) : file(dir / "data.mdb") {
        engine_test::writeBank(file, questions);
        connection = ado::Connection::open(engine_test::jetConnection(file.string()));
    }
    std::unique_ptr<ado::Recordset> run(const std::string& statement) {
        ado::Command command;
        command.setConnection(connection);
        command.setText(statement);
        return command.execute();
    }
    std::size_t change(const std::string& statement) {
        ado::Command command;
        command.setConnection(connection);
        command.setText(statement);
        return command.executeChange();
    }
    // The connection's kept snapshot holds exactly what reading the file afresh gives, places included.
    void expectSnapshotAsFile() {
        const auto kept = connection->snapshot("tiku");
        const auto fresh = ado::TableSnapshot::read(*jet::Database::open(file), "tiku");
        ASSERT_EQ(kept->rowCount(), fresh->rowCount());
        EXPECT_EQ(kept->rowIds(), fresh->rowIds());
        for (std::size_t r = 0; r < fresh->rowCount(); ++r)
            for (std::size_t c = 0; c < fresh->columns().size(); ++c)
                EXPECT_EQ(kept->value(r, c), fresh->value(r, c)) << "row " << r << " column " << c;
        EXPECT_TRUE(jet::checkTable(file, "tiku").empty());
    }

    TempDir dir;
    fs::path file;
    std::shared_ptr<ado::Connection> connection;
};

const Questions kQuestions = {"第一题：光合作用", "第二题 较长的一段文字，讲的是 CPU", std::nullopt, "第四题 gpu"};

std::string endingWithoutFullStop(const std::string& message) {
    EXPECT_FALSE(engine_test::endsWithFullStop(message)) << message;
    return message;
}

// --- update -------------------------------------------------------------------------------------------

struct UpdateCase {
    const char* what;
    std::size_t row;
    std::optional<std::string> text;
};

class UpdateThroughResult : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(UpdateThroughResult, WritesTheRowAndShowsItWithoutRereading) {
    const UpdateCase& c = GetParam();
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    ASSERT_TRUE(result->canUpdate());
    const auto reads = bank.connection->tableReadCount();
    const auto opens = bank.connection->fileOpenCount();

    result->update(c.row, {{1, cell(c.text)}});

    auto expected = numbered(kQuestions);
    expected[c.row].question = c.text;
    EXPECT_EQ(rowsOf(*result), expected);
    EXPECT_EQ(rowsInFile(bank.file), expected);
    // The next statement takes the kept rows, which took the change over.
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), expected);
    EXPECT_EQ(bank.connection->tableReadCount(), reads);
    EXPECT_EQ(bank.connection->fileOpenCount(), opens);
    bank.expectSnapshotAsFile();
    // A connection of its own reads the same from the file.
    bank.connection = ado::Connection::open(engine_test::jetConnection(bank.file.string()));
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdateThroughResult,
    ::testing::Values(UpdateCase{"shorter", 1, "短"}, UpdateCase{"longer, on long-value pages", 0, std::string(5000, 'x') + "尾"},
                      UpdateCase{"to Null", 3, std::nullopt}, UpdateCase{"from Null", 2, "原来是空的"},
                      UpdateCase{"to empty", 0, ""}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
        return name;
    });

TEST(RecordsetWrites, SuccessiveChangesOfOneRowEachExpectTheLastOne) {
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    for (const char* text : {"一", "二二二二二二二二二二二二二二二二二二二二", "三"}) result->update(1, {{1, jet::Value(std::string(text))}});
    EXPECT_EQ(rowsInFile(bank.file)[1].question, "三");
    bank.expectSnapshotAsFile();
}

// --- remove --------------------------------------------------------------------------------------------

class RemoveThroughResult : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RemoveThroughResult, TheRowGoesAndTheRowsAfterItMoveUp) {
    const std::size_t row = GetParam();
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    const auto reads = bank.connection->tableReadCount();
    result->remove(row);

    auto expected = numbered(kQuestions);
    expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(row));
    EXPECT_EQ(rowsOf(*result), expected);
    EXPECT_EQ(rowsInFile(bank.file), expected);
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), expected);
    EXPECT_EQ(bank.connection->tableReadCount(), reads);
    bank.expectSnapshotAsFile();
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, RemoveThroughResult, ::testing::Values(0u, 2u, 3u));

TEST(RecordsetWrites, RemovingFromASearchResultRemovesThatRowOfTheTable) {
    Bank bank(kQuestions);
    auto result = bank.run(searchStatement("题"));  // rows 1, 2 and 4 of the table
    ASSERT_EQ(result->recordCount(), 3u);
    result->remove(1);
    auto expected = numbered(kQuestions);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(rowsInFile(bank.file), expected);
    EXPECT_EQ(rowsOf(*result), (std::vector<StoredRow>{expected[0], expected[2]}));
    result->update(1, {{1, jet::Value(std::string("改过的第四题"))}});
    EXPECT_EQ(rowsInFile(bank.file).back().question, "改过的第四题");
}

// --- insert --------------------------------------------------------------------------------------------

struct InsertCase {
    const char* what;
    Questions bank;
    std::string statement;
};

class InsertThroughResult : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertThroughResult, TheNewRowComesLastWithTheNextNumber) {
    const InsertCase& c = GetParam();
    Bank bank(c.bank);
    auto result = bank.run(c.statement);
    const std::size_t before = result->recordCount();
    const std::size_t at = result->insert({{1, jet::Value(std::string("新的题目"))}});
    EXPECT_EQ(at, before);
    ASSERT_EQ(result->recordCount(), before + 1);
    const StoredRow added{static_cast<std::int64_t>(c.bank.size() + 1), "新的题目"};
    EXPECT_EQ(rowsOf(*result).back(), added);
    auto expected = numbered(c.bank);
    expected.push_back(added);
    EXPECT_EQ(rowsInFile(bank.file), expected);
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), expected);
    bank.expectSnapshotAsFile();
}

INSTANTIATE_TEST_SUITE_P(Results, InsertThroughResult,
                         ::testing::Values(InsertCase{"EmptyBank", {}, "select * from tiku"},
                                           InsertCase{"EmptySearch", kQuestions, searchStatement("没有这样的题")},
                                           InsertCase{"WholeBank", kQuestions, "select * from tiku"}),
                         [](const auto& info) { return std::string(info.param.what); });

// --- the instant search after changes ------------------------------------------------------------------

TEST(RecordsetWrites, TheInstantSearchSeesEveryChange) {
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    result->update(0, {{1, jet::Value(std::string("改成讲 GPU 的题"))}});
    result->remove(1);                                    // the CPU question goes
    result->insert({{1, jet::Value(std::string("新加的 cpu 题"))}});
    result->update(1, {{1, jet::Value(std::string("空的那题现在讲光合作用"))}});
    const auto expected = rowsOf(*result);
    const auto reads = bank.connection->tableReadCount();
    for (const std::string needle : {"gpu", "CPU", "光合作用", "题", "第", "不存在"}) {
        std::vector<StoredRow> matching;
        std::string lowered = needle;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char ch) { return std::tolower(ch); });
        for (const StoredRow& row : expected) {
            std::string text = row.question.value_or("");
            std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::tolower(ch); });
            if (row.question && text.find(lowered) != std::string::npos) matching.push_back(row);
        }
        EXPECT_EQ(rowsOf(*bank.run(searchStatement(needle))), matching) << needle;
    }
    EXPECT_EQ(bank.connection->tableReadCount(), reads);
}

// --- someone else's changes ----------------------------------------------------------------------------

std::vector<jet::Value> rowInFile(const fs::path& file, jet::RowId where) {
    std::vector<jet::Value> row;
    auto database = jet::Database::open(file);
    EXPECT_TRUE(database->readRow(database->table("tiku"), where, row));
    return row;
}

TEST(RecordsetWrites, ARowChangedByAnotherProgramIsNotOverwritten) {
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    const jet::RowId where = bank.connection->snapshot("tiku")->rowIds()[1];
    std::vector<jet::Value> theirs = rowInFile(bank.file, where);
    const std::vector<jet::Value> before = theirs;
    theirs[1] = std::string("另一个程序写的");
    jet::TableWriter(bank.file).update("tiku", where, before, theirs);

    try {
        result->update(1, {{1, jet::Value(std::string("我们的"))}});
        FAIL() << "overwrote another program's change";
    } catch (const ado::EngineError& e) {
        EXPECT_NE(endingWithoutFullStop(e.what()).find("其他程序"), std::string::npos) << e.what();
    }
    EXPECT_EQ(rowsOf(*result)[1].question, kQuestions[1]);  // the result is as it was
    EXPECT_EQ(rowsInFile(bank.file)[1].question, "另一个程序写的");

    // The next statement reads the file again and shows their change.
    const auto reads = bank.connection->tableReadCount();
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku"))[1].question, "另一个程序写的");
    EXPECT_EQ(bank.connection->tableReadCount(), reads + 1);
    bank.expectSnapshotAsFile();
}

TEST(RecordsetWrites, ARowDeletedByAnotherProgramCannotBeChangedOrDeleted) {
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    const jet::RowId where = bank.connection->snapshot("tiku")->rowIds()[0];
    jet::TableWriter(bank.file).remove("tiku", where, rowInFile(bank.file, where));
    for (const auto& attempt : std::vector<std::function<void()>>{
             [&] { result->update(0, {{1, jet::Value(std::string("x"))}}); }, [&] { result->remove(0); }}) {
        try {
            attempt();
            ADD_FAILURE() << "changed a deleted row";
        } catch (const ado::EngineError& e) {
            EXPECT_NE(endingWithoutFullStop(e.what()).find("删除"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(result->recordCount(), kQuestions.size());
    EXPECT_EQ(rowsInFile(bank.file).size(), kQuestions.size() - 1);
}

TEST(RecordsetWrites, OurChangeAfterAnotherProgramsChangeOfAnotherRowRereadsTheTable) {
    Bank bank(kQuestions);
    auto result = bank.run("select * from tiku");
    const jet::RowId theirRow = bank.connection->snapshot("tiku")->rowIds()[3];
    std::vector<jet::Value> theirs = rowInFile(bank.file, theirRow);
    const std::vector<jet::Value> before = theirs;
    theirs[1] = std::string("他们的");
    jet::TableWriter(bank.file).update("tiku", theirRow, before, theirs);

    result->update(0, {{1, jet::Value(std::string("我们的"))}});
    const auto reads = bank.connection->tableReadCount();
    const auto rows = rowsOf(*bank.run("select * from tiku"));
    EXPECT_EQ(bank.connection->tableReadCount(), reads + 1);
    EXPECT_EQ(rows[0].question, "我们的");
    EXPECT_EQ(rows[3].question, "他们的");
    bank.expectSnapshotAsFile();
}

// --- results that cannot be changed --------------------------------------------------------------------

TEST(RecordsetWrites, OnlyPlainColumnsOfOneWritableTableCanBeChanged) {
    Bank bank(kQuestions);
    for (const std::string statement : {"select distinct 题目 from tiku", "select 题目 & \"!\" from tiku",
                                        "select ID, 题目, 1 as one from tiku"}) {
        auto result = bank.run(statement);
        EXPECT_FALSE(result->canUpdate()) << statement;
        EXPECT_THROW(result->remove(0), ado::EngineError) << statement;
        EXPECT_THROW(result->insert({}), ado::EngineError) << statement;
    }
    EXPECT_TRUE(bank.run("select 题目 from tiku order by 题目")->canUpdate());
    EXPECT_EQ(rowsInFile(bank.file), numbered(kQuestions));
}

TEST(RecordsetWrites, AReadOnlyFileGivesAResultThatCannotBeChanged) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop writing";
    Bank bank(kQuestions);
    fs::permissions(bank.file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    bank.connection = ado::Connection::open(engine_test::jetConnection(bank.file.string()));
    auto result = bank.run("select * from tiku");
    EXPECT_FALSE(result->canUpdate());
    EXPECT_THROW(result->update(0, {{1, jet::Value(std::string("x"))}}), ado::EngineError);
    EXPECT_EQ(rowsInFile(bank.file), numbered(kQuestions));
}

TEST(RecordsetWrites, ABankThatAnotherWriterHoldsGivesAResultThatCannotBeChanged) {
    Bank bank(kQuestions);
    {
        const jet::BankLock theirs(bank.file);
        EXPECT_FALSE(bank.run("select * from tiku")->canUpdate());
    }
    EXPECT_TRUE(bank.run("select * from tiku")->canUpdate());
}

// --- a write cut off by a crash ------------------------------------------------------------------------

TEST(RecordsetWrites, AConnectionPutsBackAWriteCutOffByACrashBeforeReading) {
    Bank bank(kQuestions);
    const jet::RowId where = bank.connection->snapshot("tiku")->rowIds()[0];
    const std::vector<jet::Value> before = rowInFile(bank.file, where);
    std::vector<jet::Value> after = before;
    after[1] = std::string(3000, 'y');
    bank.connection.reset();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        jet::TableWriter(bank.file, [](std::string_view step) {
            if (step == "first-page-written") _exit(42);  // as abrupt as a kill
        }).update("tiku", where, before, after);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);
    ASSERT_TRUE(fs::exists(jet::journalPathFor(bank.file)));

    bank.connection = ado::Connection::open(engine_test::jetConnection(bank.file.string()));
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), numbered(kQuestions));
    EXPECT_FALSE(fs::exists(jet::journalPathFor(bank.file)));
    EXPECT_TRUE(jet::checkTable(bank.file, "tiku").empty());
}

// --- UPDATE, DELETE and INSERT statements --------------------------------------------------------------

TEST(ChangeStatements, UpdateDeleteAndInsertChangeTheRowsTheyName) {
    Bank bank(kQuestions);
    EXPECT_EQ(bank.change("update tiku set 题目 = 题目 & \"！\" where ID >= 3"), 2u);
    EXPECT_EQ(bank.change("UPDATE tiku SET 题目 = Null WHERE ID = 1"), 1u);
    EXPECT_EQ(bank.change("delete from tiku where 题目 like \"*CPU*\""), 1u);
    EXPECT_EQ(bank.change("insert into tiku (题目) values ('第五题')"), 1u);
    EXPECT_EQ(bank.change("INSERT INTO tiku VALUES (Null, 6 * 7)"), 1u);
    EXPECT_EQ(bank.change("update tiku set 题目 = 'x' where ID = 99"), 0u);
    const std::vector<StoredRow> expected = {{1, std::nullopt}, {3, "！"}, {4, "第四题 gpu！"}, {5, "第五题"}, {6, "42"}};
    EXPECT_EQ(rowsInFile(bank.file), expected);
    EXPECT_EQ(rowsOf(*bank.run("select * from tiku")), expected);
    bank.expectSnapshotAsFile();
    EXPECT_EQ(bank.change("delete from tiku"), 5u);
    EXPECT_TRUE(rowsInFile(bank.file).empty());
}

TEST(ChangeStatements, ThePrimaryKeyStaysUniqueAndNeverNull) {
    Bank bank(kQuestions);
    for (const std::string statement : {"insert into tiku (ID, 题目) values (2, '重复的编号')", "update tiku set ID = 1 where ID = 2",
                                        "update tiku set ID = Null where ID = 2"}) {
        try {
            bank.change(statement);
            ADD_FAILURE() << "ran " << statement;
        } catch (const ado::EngineError& e) {
            EXPECT_NE(endingWithoutFullStop(e.what()).find("PrimaryKey"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(rowsInFile(bank.file), numbered(kQuestions));
    // A number given beyond the last one moves the AutoNumber on past it.
    EXPECT_EQ(bank.change("insert into tiku (ID, 题目) values (10, '第十题')"), 1u);
    EXPECT_EQ(bank.change("insert into tiku (题目) values ('再下一题')"), 1u);
    EXPECT_EQ(rowsInFile(bank.file).back(), (StoredRow{11, "再下一题"}));
    bank.expectSnapshotAsFile();
}

TEST(ChangeStatements, MistakesAreReportedAndChangeNothing) {
    Bank bank(kQuestions);
    for (const std::string statement :
         {"update tiku set 答案 = 1", "update tiku set 题目 = 1 where 答案 = 2", "update questions set a = 1",
          "insert into tiku (题目, 题目) values (1, 2)", "insert into tiku values (1)", "insert into tiku (ID) values ('abc')",
          "select * from tiku", "delete from tiku where"}) {
        try {
            bank.change(statement);
            ADD_FAILURE() << "ran " << statement;
        } catch (const ado::EngineError& e) {
            EXPECT_FALSE(std::string(e.what()).empty()) << statement;
            endingWithoutFullStop(e.what());
        }
    }
    // A result set is opened only for a SELECT: a change statement never runs through execute.
    EXPECT_THROW(bank.run("delete from tiku"), ado::EngineError);
    EXPECT_EQ(rowsInFile(bank.file), numbered(kQuestions));
}

}  // namespace
