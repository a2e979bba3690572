// Rows changed through the engine's results and statements, read back by mdbtools' mdb-json: the file
// the engine leaves is one that an independent reader reads as the engine says it is.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "ado/command.h"
#include "ado/connection.h"
#include "interop/json_rows.h"
#include "jet/create/bank_builder.h"
#include "jet/write/bank_check.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;
using Question = std::optional<std::string>;
using Rows = std::map<std::int64_t, Question>;  // ID -> question

bool haveMdbJson() { return ts::runCommand("command -v mdb-json >/dev/null 2>&1").exitCode == 0; }

// mdb-json leaves out a Null value and an empty memo alike.
Rows readMdbJson(const std::filesystem::path& bank)
{
    const auto result = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " tiku");
    EXPECT_EQ(result.exitCode, 0);
    Rows rows;
    for (const auto& row : interop::parseJsonLines(result.out)) {
        Question q;
        if (auto it = row.find("题目"); it != row.end() && it->second.kind == interop::JsonValue::Kind::String)
            q = it->second.text;
        rows[std::stoll(row.at("ID").text)] = q;
    }
    return rows;
}

std::string connectionString(const std::filesystem::path& bank)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + bank.string() + ";Persist Security Info=False";
}

TEST(EngineWrites, MdbJsonReadsWhatTheEngineWrote)
{
    if (!haveMdbJson())
        GTEST_SKIP() << "mdb-json (mdbtools) is not installed";
    ts::TempDir dir;
    const auto bank = dir / "data.mdb";
    jet::writeBank(bank, {"第一题", "第二题", std::nullopt, "第四题", "第五题"});

    ado::Command command;
    command.setConnection(ado::Connection::open(connectionString(bank)));
    command.setText("select * from tiku");
    auto result = command.execute();
    ASSERT_TRUE(result->canUpdate());
    result->update(0, {{1, jet::Value(std::string("改短"))}});
    result->update(1, {{1, jet::Value(std::string(6000, 'L') + "长题目")}});  // long-value pages
    result->update(2, {{1, jet::Value(std::string("原来是 Null"))}});
    result->update(3, {{1, jet::Value(jet::Null{})}});
    result->remove(4);
    result->remove(0);
    result->insert({{1, jet::Value(std::string("新题一"))}});
    result->insert({{1, jet::Value(std::string("新题二"))}});
    command.setText("update tiku set 题目 = 题目 & \"！\" where ID = 6");
    EXPECT_EQ(command.executeChange(), 1u);
    command.setText("delete from tiku where ID = 7");
    EXPECT_EQ(command.executeChange(), 1u);

    const Rows expected = {{2, std::string(6000, 'L') + "长题目"}, {3, "原来是 Null"}, {4, std::nullopt}, {6, "新题一！"}};
    EXPECT_EQ(readMdbJson(bank), expected);
    EXPECT_TRUE(jet::checkTable(bank, "tiku").empty());

    // And a connection of its own reads the same.
    command.setConnection(ado::Connection::open(connectionString(bank)));
    command.setText("select * from tiku");
    auto fresh = command.execute();
    Rows ours;
    for (std::size_t r = 0; r < fresh->recordCount(); ++r) {
        const auto text = fresh->text(r, 1);
        ours[std::get<std::int64_t>(fresh->value(r, 0))] = text ? Question(std::string(*text)) : std::nullopt;
    }
    EXPECT_EQ(ours, expected);
}

}  // namespace
