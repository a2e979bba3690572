// Making a connection: providers, files, the current directory, and the snapshots it keeps.
#include "ado/connection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "ado/engine_error.h"
#include "ado/table_snapshot.h"
#include "bank_files.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

using engine_test::jetConnection;
using testing_support::TempDir;

std::string failureOf(const std::string& connectionString) {
    try {
        ado::Connection::open(connectionString);
    } catch (const ado::EngineError& e) {
        return e.what();
    }
    return "";
}

std::string textAt(const ado::TableSnapshot& snapshot, std::size_t row) {
    return std::string(snapshot.textView(row, 1).value_or("<Null>"));
}

TEST(Connection, OpensTheBankAndReadsItsQuestions) {
    TempDir dir;
    engine_test::writeBank(dir / "data.mdb", {"第一题", std::nullopt, ""});
    const auto connection = ado::Connection::open(jetConnection((dir / "data.mdb").string()));
    const auto tiku = connection->snapshot("TIKU");
    ASSERT_EQ(tiku->rowCount(), 3u);
    EXPECT_EQ(tiku->columns()[1].name, "题目");
    EXPECT_EQ(textAt(*tiku, 0), "第一题");
    EXPECT_EQ(textAt(*tiku, 1), "<Null>");
    EXPECT_EQ(textAt(*tiku, 2), "");
    EXPECT_EQ(connection->path(), dir / "data.mdb");
}

struct Failure {
    const char* what;
    std::string connectionString;
    std::vector<std::string> mentions;  // pieces the message must hold
};


TEST(Connection, FailuresCarryAClearMessageNamingTheFile) {
    TempDir dir;
    { std::ofstream(dir / "notes.mdb") << "这不是数据库，只是一段文字。\n"; }
    std::filesystem::create_directory(dir / "folder.mdb");
    engine_test::writeBank(dir / "data.mdb", {"题"});
    const std::string missing = (dir / "missing.mdb").string();
    const std::vector<Failure> failures = {
        {"unknown provider", "Provider=SQLOLEDB;Data Source=" + (dir / "data.mdb").string(), {"SQLOLEDB", "data.mdb"}},
        {"no provider", "Data Source=" + (dir / "data.mdb").string(), {"Provider"}},
        {"no data source", "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False", {"Data Source"}},
        {"missing file", jetConnection(missing), {"找不到文件", missing}},
        {"not an Access file", jetConnection((dir / "notes.mdb").string()), {"notes.mdb"}},
        {"a folder", jetConnection((dir / "folder.mdb").string()), {"folder.mdb"}},
        {"malformed string", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"data.mdb", {"连接字符串"}},
    };
    for (const auto& failure : failures) {
        const std::string message = failureOf(failure.connectionString);
        ASSERT_FALSE(message.empty()) << failure.what << ": connected";
        for (const auto& piece : failure.mentions)
            EXPECT_NE(message.find(piece), std::string::npos) << failure.what << ": " << message;
        EXPECT_FALSE(engine_test::endsWithFullStop(message)) << failure.what << ": " << message;
    }
}

TEST(Connection, UnreadableFileIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop reading";
    TempDir dir;
    engine_test::writeBank(dir / "data.mdb", {"题"});
    std::filesystem::permissions(dir / "data.mdb", std::filesystem::perms::none);
    const std::string message = failureOf(jetConnection((dir / "data.mdb").string()));
    EXPECT_NE(message.find("data.mdb"), std::string::npos) << message;
}

TEST(Connection, ARelativeDataSourceIsFoundInTheCurrentDirectoryWhenConnecting) {
    TempDir first, second;
    engine_test::writeBank(first / "data.mdb", {"一"});
    engine_test::writeBank(second / "data.mdb", {"一", "二"});
    engine_test::CurrentDirectory cwd(first.path());
    const auto early = ado::Connection::open(jetConnection("data.mdb"));
    cwd.change(second.path());
    // The connection made earlier keeps its file; a new one looks in the directory that is current now.
    EXPECT_EQ(early->snapshot("tiku")->rowCount(), 1u);
    EXPECT_EQ(ado::Connection::open(jetConnection("data.mdb"))->snapshot("tiku")->rowCount(), 2u);
    EXPECT_EQ(early->path(), first / "data.mdb");
}

TEST(Connection, ABankThatAppearsAfterAFailedConnectIsFoundOnTheNextTry) {
    TempDir dir;
    engine_test::CurrentDirectory cwd(dir.path());
    EXPECT_THROW(ado::Connection::open(jetConnection("data.mdb")), ado::EngineError);
    engine_test::writeBank(dir / "data.mdb", {"迟到的题"});
    const auto connection = ado::Connection::open(jetConnection("data.mdb"));
    EXPECT_EQ(textAt(*connection->snapshot("tiku"), 0), "迟到的题");
}

TEST(Connection, KeepsOneSnapshotWhileTheFileIsUnchanged) {
    TempDir dir;
    engine_test::writeBank(dir / "data.mdb", {"甲", "乙"});
    const auto connection = ado::Connection::open(jetConnection((dir / "data.mdb").string()));
    const auto first = connection->snapshot("tiku");
    for (int i = 0; i < 10; ++i) EXPECT_EQ(connection->snapshot("Tiku"), first);
    EXPECT_EQ(connection->fileOpenCount(), 1u);
}

TEST(Connection, SeesAChangeByAnotherProgramAtTheNextSnapshot) {
    TempDir dir;
    const auto path = dir / "data.mdb";
    engine_test::writeBank(path, {"甲", "乙"});
    const auto connection = ado::Connection::open(jetConnection(path.string()));
    const auto before = connection->snapshot("tiku");
    // Another program rewrites the bank in place (same size: only the modification time tells).
    engine_test::writeBank(dir / "other.mdb", {"丙", "丁"});
    {
        std::ifstream in(dir / "other.mdb", std::ios::binary);
        std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out << in.rdbuf();
    }
    const auto after = connection->snapshot("tiku");
    EXPECT_NE(after, before);
    EXPECT_EQ(textAt(*after, 0), "丙");
    EXPECT_EQ(textAt(*before, 0), "甲");  // what was handed out earlier stays as it was
    EXPECT_EQ(connection->fileOpenCount(), 2u);
}

TEST(Connection, ReportsAMissingTableAndABankThatDisappears) {
    TempDir dir;
    engine_test::writeBank(dir / "data.mdb", {"甲"});
    const auto connection = ado::Connection::open(jetConnection((dir / "data.mdb").string()));
    try {
        connection->snapshot("questions");
        ADD_FAILURE() << "found a table that does not exist";
    } catch (const ado::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("questions"), std::string::npos) << e.what();
    }
    std::filesystem::remove(dir / "data.mdb");
    try {
        connection->snapshot("tiku");
        ADD_FAILURE() << "read a file that is gone";
    } catch (const ado::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("data.mdb"), std::string::npos) << e.what();
    }
}

TEST(Connection, ReadsARealAccessFileAsTheReaderDoes) {
    TESSARIN_REQUIRE_FIXTURES();
    TempDir dir;
    const auto path = testing_support::copyFixture("testV2000.mdb", dir.path());
    const auto connection = ado::Connection::open(jetConnection(path.string()));
    const auto database = jet::Database::open(path);
    for (const auto& name : database->tableNames()) {
        const auto snapshot = connection->snapshot(name);
        auto reader = database->read(name);
        std::vector<jet::Value> row;
        std::size_t count = 0;
        while (reader.next(row)) {
            for (std::size_t c = 0; c < row.size(); ++c) EXPECT_EQ(snapshot->value(count, c), row[c]) << name;
            ++count;
        }
        EXPECT_EQ(snapshot->rowCount(), count) << name;
    }
}

}  // namespace
