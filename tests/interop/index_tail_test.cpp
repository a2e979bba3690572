// Index trees as Access leaves them, with a last leaf that only the node's tail-page field names, kept
// exact through thousands of inserts (before, between and after the keys of every leaf, across
// splits); and rows whose text key the writer cannot make, deleted or given a new text.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "interop/json_rows.h"
#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/format.h"
#include "jet/index_reader.h"
#include "jet/write/bank_check.h"
#include "jet/write/index_tree.h"
#include "jet/write/table_writer.h"
#include "support/page_view.h"
#include "support/test_support.h"

namespace {

namespace ts = testing_support;
using ts::fileBytes;
using ts::haveCommand;
using ts::haveMdbReader;
using ByteString = std::vector<std::uint8_t>;

// One column's values in every row, as both independent readers read them ("<none>" for Null).
void expectReadersSee(const std::filesystem::path& bank, const std::string& table, const std::string& column,
                      const std::multiset<std::string>& expected)
{
    auto values = [&](const std::string& out) {
        std::multiset<std::string> seen;
        for (const auto& r : interop::parseJsonLines(out))
            seen.insert(r.count(column) && r.at(column).kind != interop::JsonValue::Kind::Null ? r.at(column).text
                                                                                              : std::string("<none>"));
        return seen;
    };
    if (haveCommand("mdb-json")) {
        const auto json = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " " + ts::shellQuote(table));
        EXPECT_EQ(json.exitCode, 0);
        EXPECT_EQ(values(json.out), expected) << "mdb-json";
    }
    if (haveMdbReader()) {
        const auto script = ts::sourceDir() / "tests/interop/read_with_mdb_reader.mjs";
        const auto out = ts::runCommand("node " + ts::shellQuote(script.string()) + " " + ts::shellQuote(bank.string()) +
                                        " " + ts::shellQuote(table));
        EXPECT_EQ(out.exitCode, 0);
        EXPECT_EQ(values(out.out), expected) << "mdb-reader";
    }
}

using testing_support::PageView;

using Entry = std::pair<std::string, std::uint32_t>;  // key, row pointer: the order of the leaf level

std::uint32_t pointerOfEntry(const ByteString& entry)
{
    const std::uint8_t* p = entry.data() + entry.size() - 4;
    return jet::format::makePointer(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2], p[3]);
}

Entry entryOf(const jet::IndexPageInfo::Entry& e) { return {e.key, jet::format::makePointer(e.row.page, e.row.row)}; }

// The leaves reached from the root through named children and tail pages, left to right; every named
// child's last entry is the one that names it, and a tail's entries sort after its node's.
void collectLeaves(const jet::Database& db, std::uint32_t number, std::vector<std::uint32_t>& leaves, int depth = 0)
{
    ASSERT_LT(depth, 16);
    const auto page = jet::readIndexPage(db, number);
    if (page.leaf) {
        leaves.push_back(number);
        return;
    }
    for (const auto& e : page.entries) {
        const auto child = jet::readIndexPage(db, e.child);
        ASSERT_FALSE(child.entries.empty()) << "page " << e.child;
        EXPECT_EQ(entryOf(child.entries.back()), entryOf(e)) << "page " << number << " names " << e.child;
        collectLeaves(db, e.child, leaves, depth + 1);
    }
    if (page.tail != 0) {
        const auto tail = jet::readIndexPage(db, page.tail);
        if (!tail.entries.empty() && !page.entries.empty()) {
            EXPECT_GT(entryOf(tail.entries.front()), entryOf(page.entries.back())) << "tail " << page.tail;
        }
        collectLeaves(db, page.tail, leaves, depth + 1);
    }
}

// What every change must leave: the check finds nothing, the tree reaches exactly the leaf chain, the
// chain is in strictly ascending order, and a seek finds every entry. Returns the leaves of the first
// index.
std::size_t expectIndexExact(const std::filesystem::path& bank, const std::string& tableName, std::size_t rows)
{
    std::size_t leaves = 0;
    EXPECT_EQ(jet::checkTable(bank, tableName), std::vector<std::string>{});
    PageView view(bank);
    const auto& table = view.db->table(tableName);
    for (const auto& index : table.indexes) {
        std::vector<std::uint32_t> reached;
        collectLeaves(*view.db, index.firstPage, reached);
        std::vector<std::uint32_t> chain;
        std::vector<Entry> entries;
        for (std::uint32_t page = reached.empty() ? 0 : reached.front(); page != 0 && chain.size() <= reached.size();) {
            const auto leaf = jet::readIndexPage(*view.db, page);
            chain.push_back(page);
            for (const auto& e : leaf.entries)
                entries.push_back(entryOf(e));
            page = leaf.next;
        }
        EXPECT_EQ(chain, reached) << index.name;
        if (leaves == 0)
            leaves = chain.size();
        EXPECT_EQ(entries.size(), rows) << index.name;
        EXPECT_TRUE(std::adjacent_find(entries.begin(), entries.end(), std::greater_equal<>()) == entries.end())
            << index.name << ": the leaf chain is not strictly ascending";
        const jet::write::IndexTree tree(view.store, table, index);
        for (const auto& [key, pointer] : entries) {
            const auto found = tree.rowsWithKey(ByteString(key.begin(), key.end()));
            EXPECT_NE(std::find(found.begin(), found.end(), pointer), found.end()) << index.name;
        }
    }
    return leaves;
}

std::vector<jet::Value> agent(std::int64_t id) { return {id, std::string("neu"), std::string("row " + std::to_string(id))}; }

TEST(IndexTail, AccessLeavesALastLeafThatOnlyTheTailFieldNames)
{
    TESSARIN_REQUIRE_FIXTURES();
    const auto db = jet::Database::open(ts::fixturesDir() / "compIndexTestV2000.mdb");
    const auto& index = db->table("Table1").indexes.at(0);
    const auto root = jet::readIndexPage(*db, index.firstPage);
    ASSERT_FALSE(root.leaf);
    ASSERT_NE(root.tail, 0u);
    for (const auto& e : root.entries)
        EXPECT_NE(e.child, root.tail);
    EXPECT_EQ(jet::readIndexPage(*db, root.entries.back().child).next, root.tail);
}

// A seek for the Null key lands in the tail leaf; a row's entry is found by its pointer alone, and a
// pointer the index does not hold is an error, nothing removed.
TEST(IndexTail, TheTailIsSoughtAndEntriesAreRemovedByTheirRow)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("compIndexTestV2000.mdb", dir.path());
    PageView view(bank);
    const auto& table = view.db->table("Table1");
    jet::write::IndexTree tree(view.store, table, table.indexes.at(0));
    const auto nulls = tree.rowsWithKey({0xff});
    ASSERT_EQ(nulls.size(), 2u);
    const auto before = tree.entries();
    EXPECT_THROW(tree.removeRow(jet::format::makePointer(9999, 3)), jet::Error);
    EXPECT_EQ(tree.entries(), before);
    tree.removeRow(nulls[1]);
    tree.removeRow(pointerOfEntry(before.front()));
    auto rest = before;
    rest.erase(rest.begin());
    rest.erase(std::find_if(rest.begin(), rest.end(), [](const ByteString& e) { return e.size() == 5 && e[0] == 0xff; }) + 1);
    EXPECT_EQ(tree.entries(), rest);
    EXPECT_EQ(tree.rowsWithKey({0xff}), std::vector<std::uint32_t>{nulls[0]});
}

// Where the unnamed tail leaf (page 33) of compIndexTestV2000.mdb's CD_AGENTE is named from: the
// root's tail field as Access wrote it, the last named leaf's own tail field, or nothing but the chain.
struct TailForm {
    const char* name;
    std::uint32_t rootTail, leafTail;  // fields of page 29 (the root) and page 32 (its one named leaf)
};

void PrintTo(const TailForm& form, std::ostream* out) { *out << form.name; }

class IndexTailForms : public ::testing::TestWithParam<TailForm> {};

INSTANTIATE_TEST_SUITE_P(IndexTail, IndexTailForms,
                         ::testing::Values(TailForm{"AsAccessWroteIt", 33, 0}, TailForm{"FromTheLeaf", 0, 33},
                                           TailForm{"OnlyChained", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

void setTailField(const std::filesystem::path& bank, std::uint32_t page, std::uint32_t tail)
{
    std::fstream f(bank, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(std::streamoff(page) * 4096 + jet::format::Jet4Layout.indexTailPage);
    const char bytes[4] = {char(tail), char(tail >> 8), char(tail >> 16), char(tail >> 24)};
    f.write(bytes, 4);
}

// Keys before the first, in the gaps between and after the last of Access's keys (CD_AGENTE is a
// descending index whose two Null entries fill the tail leaf), in shuffled order, one statement; then
// a second batch that removes a third of all rows, old and new.
TEST_P(IndexTailForms, ThousandsOfKeysAroundAccessLeavesKeepTheTreeExact)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("compIndexTestV2000.mdb", dir.path());
    setTailField(bank, 29, GetParam().rootTail);
    setTailField(bank, 32, GetParam().leafTail);
    ASSERT_EQ(jet::checkTable(bank, "Table1"), std::vector<std::string>{});
    std::set<std::int64_t> taken;
    std::multiset<std::string> expected;
    {
        const auto db = jet::Database::open(bank);
        auto reader = db->read("Table1");
        std::vector<jet::Value> row;
        while (reader.next(row)) {
            if (const auto* v = std::get_if<std::int64_t>(&row[0]))
                taken.insert(*v);
            expected.insert(jet::isNull(row[0]) ? "<none>" : std::to_string(std::get<std::int64_t>(row[0])));
        }
    }
    ASSERT_GT(taken.size(), 500u);
    std::vector<std::int64_t> fresh;
    for (std::int64_t v = -400; v <= *taken.rbegin() + 1200; ++v)
        if (!taken.count(v) && (v < *taken.begin() || v > *taken.rbegin() || v % 2 == 0))
            fresh.push_back(v);
    std::shuffle(fresh.begin(), fresh.end(), std::mt19937(7));
    std::vector<jet::RowChange> inserts;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        inserts.push_back({jet::RowChange::Kind::Insert, {}, {}, agent(fresh[i])});
        expected.insert(std::to_string(fresh[i]));
        // The index is descending, Nulls last: their entries go to the tail leaf and beyond.
        if (i % 2 == 0) {
            auto none = agent(0);
            none[0] = jet::Null{};
            inserts.push_back({jet::RowChange::Kind::Insert, {}, {}, none});
            expected.insert("<none>");
        }
    }
    jet::TableWriter writer(bank);
    writer.apply("Table1", inserts);
    EXPECT_GT(expectIndexExact(bank, "Table1", expected.size()), 10u);  // both leaves split, many times
    expectReadersSee(bank, "Table1", "CD_AGENTE", expected);

    std::vector<jet::RowChange> removals;
    {
        const auto db = jet::Database::open(bank);
        auto reader = db->read("Table1");
        std::vector<jet::Value> row;
        jet::RowId where;
        for (int i = 0; reader.next(row, &where); ++i)
            if (i % 3 == 0) {
                expected.erase(expected.find(jet::isNull(row[0]) ? "<none>" : std::to_string(std::get<std::int64_t>(row[0]))));
                removals.push_back({jet::RowChange::Kind::Remove, where, row, {}});
            }
    }
    writer.apply("Table1", removals);
    expectIndexExact(bank, "Table1", expected.size());
    expectReadersSee(bank, "Table1", "CD_AGENTE", expected);
}

// A bank this program made, its primary key over a node and many leaves: the same inserts around keys
// spaced apart.
TEST(IndexTail, ThousandsOfKeysAroundACreatedMultiLevelIndexKeepTheTreeExact)
{
    ts::TempDir dir;
    const auto bank = dir / "spaced.mdb";
    std::vector<std::optional<std::string>> questions;
    for (int i = 1; i <= 1500; ++i)
        questions.push_back("第 " + std::to_string(i) + " 题");
    jet::writeBank(bank, questions);
    std::multiset<std::string> expected;
    std::vector<jet::RowChange> spread;  // ids 1..1500 become 3, 6, ... 4500
    {
        const auto db = jet::Database::open(bank);
        auto reader = db->read("tiku");
        std::vector<jet::Value> row;
        jet::RowId where;
        while (reader.next(row, &where)) {
            auto values = row;
            values[0] = std::get<std::int64_t>(row[0]) * 3 + 3000000;
            spread.push_back({jet::RowChange::Kind::Update, where, row, values});
        }
    }
    jet::TableWriter writer(bank);
    writer.apply("tiku", spread);
    std::vector<jet::RowChange> inserts;
    const auto& first = spread.front().values;
    std::vector<std::int64_t> ids;
    for (std::int64_t v = 3000000 - 300; v <= 3000000 + 4503 + 300; ++v)
        if (v < 3000003 || v > 3004500 || v % 3 == 1)
            ids.push_back(v);
    std::shuffle(ids.begin(), ids.end(), std::mt19937(11));
    for (const auto v : ids) {
        auto values = first;
        values[0] = v;
        inserts.push_back({jet::RowChange::Kind::Insert, {}, {}, values});
    }
    writer.apply("tiku", inserts);
    for (const auto& c : spread)
        expected.insert(std::to_string(std::get<std::int64_t>(c.values[0])));
    for (const auto v : ids)
        expected.insert(std::to_string(v));
    EXPECT_GT(expectIndexExact(bank, "tiku", expected.size()), 5u);
    const auto db = jet::Database::open(bank);
    expectReadersSee(bank, "tiku", db->table("tiku").columns.at(0).name, expected);
}

using RowsById = std::map<std::int64_t, std::pair<jet::RowId, std::vector<jet::Value>>>;

// The rows of a table by the number in their first column, with where each lives.
RowsById rowsById(const std::filesystem::path& bank, const std::string& table)
{
    RowsById rows;
    const auto db = jet::Database::open(bank);
    auto reader = db->read(table);
    std::vector<jet::Value> row;
    jet::RowId where;
    while (reader.next(row, &where))
        rows[std::get<std::int64_t>(row[0])] = {where, row};
    return rows;
}

// The text index "Unicode" of testUnicodeCompV2003.mdb holds rows whose text the writer cannot key
// (漢字仮名交じり文, Мир): they can be deleted, and given a text it can key; a text it cannot key is
// still refused, the file untouched.
TEST(IndexTail, RowsWhoseOldTextCannotBeKeyedCanBeDeletedOrGivenAKeyableText)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testUnicodeCompV2003.mdb", dir.path());
    auto rows = rowsById(bank, "Table");
    ASSERT_EQ(std::get<std::string>(rows.at(5).second[1]), "漢字仮名交じり文");
    ASSERT_EQ(std::get<std::string>(rows.at(3).second[1]), "Мир");
    jet::TableWriter writer(bank);

    const std::string untouched = fileBytes(bank);
    auto chinese = rows.at(3).second;
    chinese[1] = std::string("题目");
    EXPECT_THROW(writer.update("Table", rows.at(3).first, rows.at(3).second, chinese), jet::Error);
    EXPECT_EQ(fileBytes(bank), untouched);
    // In one statement with a delete that could be written, the refusal leaves the delete unwritten too.
    std::vector<jet::RowChange> both{{jet::RowChange::Kind::Remove, rows.at(5).first, rows.at(5).second, {}},
                                     {jet::RowChange::Kind::Update, rows.at(3).first, rows.at(3).second, chinese}};
    EXPECT_THROW(writer.apply("Table", both), jet::Error);
    EXPECT_EQ(fileBytes(bank), untouched);

    writer.remove("Table", rows.at(5).first, rows.at(5).second);
    auto latin = rows.at(3).second;
    latin[1] = std::string("Welt");
    writer.update("Table", rows.at(3).first, rows.at(3).second, latin);
    expectIndexExact(bank, "Table", 7);
    expectReadersSee(bank, "Table", "ID", {"1", "2", "3", "4", "6", "7", "8"});
    if (haveCommand("mdb-json")) {
        const auto json = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " Table");
        EXPECT_NE(json.out.find("\"Welt\""), std::string::npos);
        EXPECT_EQ(json.out.find("漢字"), std::string::npos);
    }
}

// Long text keys make a deep tree from few rows: 1,500 texts of 200 letters give the Unicode index
// nodes above nodes, split many times; the rows Access wrote whose text cannot be keyed are then
// deleted and re-keyed by a walk of the grown chain.
TEST(IndexTail, ADeepTextIndexStaysExactAndItsUnkeyableRowsCanStillGo)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    const auto bank = ts::copyFixture("testUnicodeCompV2003.mdb", dir.path());
    auto rows = rowsById(bank, "Table");
    std::multiset<std::string> expected{"1", "2", "4", "6", "7", "8", "3"};
    std::mt19937 random(5);
    std::vector<jet::RowChange> inserts;
    for (std::int64_t id = 100; id < 1600; ++id) {
        std::string text;
        for (int i = 0; i < 200; ++i)
            text += char('a' + random() % 26);
        inserts.push_back({jet::RowChange::Kind::Insert, {}, {}, {id, text}});
        expected.insert(std::to_string(id));
    }
    jet::TableWriter writer(bank);
    writer.apply("Table", inserts);
    {
        const auto db = jet::Database::open(bank);
        const auto& table = db->table("Table");
        const auto text = std::find_if(table.indexes.begin(), table.indexes.end(), [&](const jet::IndexDef& ix) {
            return ix.columns.size() == 1 && ix.columns[0].columnNumber == table.columns[1].number;
        });
        ASSERT_NE(text, table.indexes.end());
        int levels = 1;
        for (auto page = jet::readIndexPage(*db, text->firstPage); !page.leaf; ++levels)
            page = jet::readIndexPage(*db, page.entries.front().child);
        EXPECT_GE(levels, 3);
    }
    std::vector<jet::RowChange> unkeyable{{jet::RowChange::Kind::Remove, rows.at(5).first, rows.at(5).second, {}}};
    auto latin = rows.at(3).second;
    latin[1] = std::string("Welt");
    unkeyable.push_back({jet::RowChange::Kind::Update, rows.at(3).first, rows.at(3).second, latin});
    writer.apply("Table", unkeyable);
    expectIndexExact(bank, "Table", expected.size());
    expectReadersSee(bank, "Table", "ID", expected);
}

}  // namespace
