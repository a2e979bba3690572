// Writes to copies of real Access files whose indexes have text and Date/Time keys: the rows change,
// every index stays exact, and both independent readers (mdb-json, mdb-reader) read the rows we
// expect. A row whose text the writer cannot key is refused on its own, with the file untouched.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "interop/json_rows.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/write/bank_check.h"
#include "jet/write/table_writer.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;
using ts::fileBytes;
using ts::haveCommand;
using ts::haveMdbReader;
using Cells = std::map<std::string, std::string>;  // column -> value as text, for the columns compared
using Rows = std::multiset<std::string>;            // one line per row: the compared cells joined

Rows fromJson(const std::string& out, const std::vector<std::string>& columns)
{
    Rows rows;
    for (const auto& r : interop::parseJsonLines(out)) {
        std::string line;
        for (const auto& c : columns)
            line += (r.count(c) ? r.at(c).text : std::string("<none>")) + "|";
        rows.insert(line);
    }
    return rows;
}

// The table's rows as both independent readers read them, where they are installed.
void expectReadersSee(const std::filesystem::path& bank, const std::string& table, const std::vector<std::string>& columns,
                      const Rows& expected)
{
    if (haveCommand("mdb-json")) {
        const auto json = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " " + ts::shellQuote(table));
        EXPECT_EQ(json.exitCode, 0);
        EXPECT_EQ(fromJson(json.out, columns), expected) << "mdb-json";
    }
    if (haveMdbReader()) {
        const auto script = ts::sourceDir() / "tests/interop/read_with_mdb_reader.mjs";
        const auto out = ts::runCommand("node " + ts::shellQuote(script.string()) + " " + ts::shellQuote(bank.string()) +
                                        " " + ts::shellQuote(table));
        EXPECT_EQ(out.exitCode, 0);
        EXPECT_EQ(fromJson(out.out, columns), expected) << "mdb-reader";
    }
}

struct Table {
    std::unique_ptr<jet::Database> db;
    std::vector<std::pair<jet::RowId, std::vector<jet::Value>>> rows;

    Table(const std::filesystem::path& bank, const std::string& name) : db(jet::Database::open(bank))
    {
        auto reader = db->read(name);
        std::vector<jet::Value> row;
        jet::RowId where;
        while (reader.next(row, &where))
            rows.emplace_back(where, row);
    }
    // The row whose column `c` holds `v`.
    const std::pair<jet::RowId, std::vector<jet::Value>>& find(int c, const jet::Value& v) const
    {
        for (const auto& r : rows)
            if (r.second[std::size_t(c)] == v)
                return r;
        throw std::runtime_error("no such row");
    }
};

TEST(KeyedWrites, TextAndDateKeysOfAnAccessFileStayExactThroughUpdateInsertAndDelete)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("fixedTextTestV2000.mdb", dir.path());
    const Table before(bank, "users");
    ASSERT_TRUE(jet::TableWriter::canWrite(*before.db, before.db->table("users")));
    const auto& t = before.db->table("users");
    const int id = t.columnIndex("i_user_id"), login = t.columnIndex("c_user_login"), name = t.columnIndex("c_user_name");
    const int stamp = t.columnIndex("d_stamp_"), flag = t.columnIndex("c_flag_");

    jet::TableWriter writer(bank);
    const auto& admin = before.find(id, std::int64_t(2));
    auto changed = admin.second;
    changed[std::size_t(login)] = std::string("Zoë-Admin");
    changed[std::size_t(name)] = std::string("O'Neil Ärger");
    changed[std::size_t(stamp)] = jet::DateTime{45000.5};
    writer.update("users", admin.first, admin.second, changed);

    auto added = before.find(id, std::int64_t(1)).second;
    added[std::size_t(id)] = std::int64_t(3);
    added[std::size_t(login)] = std::string("bob");
    added[std::size_t(name)] = std::string("Bob (été)");
    added[std::size_t(flag)] = std::string("Y");
    added[std::size_t(stamp)] = jet::DateTime{-10.25};  // before 1899-12-30
    writer.insert("users", added);

    const auto& core = before.find(id, std::int64_t(1));
    writer.remove("users", core.first, core.second);

    EXPECT_EQ(jet::checkTable(bank, "users"), std::vector<std::string>{});
    const Table after(bank, "users");
    EXPECT_EQ(after.rows.size(), 2u);
    expectReadersSee(bank, "users", {"i_user_id", "c_user_login", "c_user_name", "c_flag_"},
                     Rows{"2|Zoë-Admin|O'Neil Ärger|N|", "3|bob|Bob (été)|Y|"});
}

TEST(KeyedWrites, AUniqueTextKeyIgnoresLetterCaseAsAccessDoes)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testV2000.mdb", dir.path());
    const Table before(bank, "Table1");
    const auto& t = before.db->table("Table1");
    const int a = t.columnIndex("A");  // the primary key
    jet::TableWriter writer(bank);
    const std::string original = fileBytes(bank);

    auto duplicate = before.rows.front().second;
    duplicate[std::size_t(a)] = std::string("ABCDEFG");  // "abcdefg" is there
    EXPECT_THROW(writer.insert("Table1", duplicate), jet::Error);
    const auto& small = before.find(a, std::string("a"));
    EXPECT_THROW(writer.update("Table1", small.first, small.second, duplicate), jet::Error);
    EXPECT_EQ(fileBytes(bank), original);

    auto recased = small.second;
    recased[std::size_t(a)] = std::string("A");  // the same key: allowed
    writer.update("Table1", small.first, small.second, recased);
    auto fresh = before.rows.front().second;
    fresh[std::size_t(a)] = std::string("Zebra-1");
    writer.insert("Table1", fresh);

    EXPECT_EQ(jet::checkTable(bank, "Table1"), std::vector<std::string>{});
    expectReadersSee(bank, "Table1", {"A"}, Rows{"A|", "abcdefg|", "Zebra-1|"});
}

TEST(KeyedWrites, ARowWhoseTextCannotBeKeyedIsRefusedAloneAndTheOthersStayWritable)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testUnicodeCompV2003.mdb", dir.path());
    const Table before(bank, "Table");
    ASSERT_TRUE(jet::TableWriter::canWrite(*before.db, before.db->table("Table")));
    const auto& t = before.db->table("Table");
    const int id = t.columnIndex("ID"), text = t.columnIndex("Unicode");
    jet::TableWriter writer(bank);

    const auto& ascii = before.find(id, std::int64_t(1));
    auto latin = ascii.second;
    latin[std::size_t(text)] = std::string("Also ASCII");
    writer.update("Table", ascii.first, ascii.second, latin);

    const std::string written = fileBytes(bank);
    auto chinese = latin;
    chinese[std::size_t(text)] = std::string("题目");
    try {
        writer.update("Table", ascii.first, latin, chinese);
        ADD_FAILURE() << "a text the writer cannot key was written";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("Unicode"), std::string::npos) << e.what();  // the index's name
    }
    auto added = chinese;
    added[std::size_t(id)] = std::int64_t(9);
    EXPECT_THROW(writer.insert("Table", added), jet::Error);
    const auto& kanji = before.find(id, std::int64_t(5));  // 漢字仮名交じり文 (deleting it is allowed: index_tail_test)
    EXPECT_EQ(fileBytes(bank), written);

    // Its text unchanged, the row's text entry stays as Access wrote it: the change is allowed.
    auto renumbered = kanji.second;
    renumbered[std::size_t(id)] = std::int64_t(50);
    writer.update("Table", kanji.first, kanji.second, renumbered);

    EXPECT_EQ(jet::checkTable(bank, "Table"), std::vector<std::string>{});
    expectReadersSee(bank, "Table", {"ID"}, Rows{"2|", "3|", "4|", "6|", "7|", "8|", "50|", "1|"});
    if (haveCommand("mdb-json")) {
        const auto json = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " Table");
        EXPECT_NE(json.out.find("\"Also ASCII\""), std::string::npos);
    }
}

// The check reads text keys too: one accent changed in the entry Access wrote for "ümlaut" is found.
TEST(KeyedWrites, TheCheckFindsATextEntryThatNoLongerMatchesItsRow)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testUnicodeCompV2003.mdb", dir.path());
    ASSERT_EQ(jet::checkTable(bank, "Table"), std::vector<std::string>{});
    std::string bytes = fileBytes(bank);
    const std::string entry("\x60\x5e\x4a\x6f\x6d\x01\x13\x00", 8);  // "mlaut", then the accent of ü
    const auto at = bytes.find(entry);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(entry, at + 1), std::string::npos);
    bytes[at + 6] = '\x0e';  // an acute accent: "úmlaut"
    std::ofstream(bank, std::ios::binary | std::ios::trunc) << bytes;
    const auto problems = jet::checkTable(bank, "Table");
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.front().find("Unicode"), std::string::npos) << problems.front();
}

// The entries of rows the writer cannot key are still matched by the row they point at: the entry of
// "Мир" turned to point at a row that is not there is found.
TEST(KeyedWrites, TheCheckFindsAnUnkeyedRowsEntryPointingElsewhere)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testUnicodeCompV2003.mdb", dir.path());
    std::string bytes = fileBytes(bank);
    const std::string entry("\x79\x43\x79\x3b\x79\x48\x01\x00", 8);  // Мир, the end of its key
    const auto at = bytes.find(entry);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(entry, at + 1), std::string::npos);
    bytes[at + entry.size() + 3] = '\x7f';  // the row number of its pointer
    std::ofstream(bank, std::ios::binary | std::ios::trunc) << bytes;
    const auto problems = jet::checkTable(bank, "Table");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("不指向相应的行"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("缺少一行的条目"), std::string::npos) << problems[1];
}

}  // namespace
