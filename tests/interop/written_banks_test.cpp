// Changes written to a bank (updates, deletions, insertions) leave a file that independent readers
// (mdbtools' mdb-json, the mdb-reader package) read exactly as we expect, with every index consistent.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "interop/json_rows.h"
#include "jet/create/bank_builder.h"
#include "jet/byte_order.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/format.h"
#include "jet/write/bank_check.h"
#include "jet/write/editable_page.h"
#include "jet/write/long_value_pages.h"
#include "jet/write/table_writer.h"
#include "support/page_view.h"
#include "support/test_support.h"

namespace {

using Question = std::optional<std::string>;
namespace ts = testing_support;
using ts::fileBytes;
using ts::haveCommand;
using ts::haveMdbReader;

std::filesystem::path mdbReaderScript() { return ts::sourceDir() / "tests/interop/read_with_mdb_reader.mjs"; }
// ID -> question, as our reader sees the table.
std::map<std::int64_t, Question> readOurs(const std::filesystem::path& bank)
{
    auto db = jet::Database::open(bank);
    std::map<std::int64_t, Question> rows;
    auto reader = db->read("tiku");
    std::vector<jet::Value> row;
    while (reader.next(row)) {
        Question q;
        if (auto* s = std::get_if<std::string>(&row[1]))
            q = *s;
        rows[std::get<std::int64_t>(row[0])] = q;
    }
    return rows;
}

std::map<std::int64_t, Question> fromJson(const std::vector<interop::JsonRow>& json)
{
    std::map<std::int64_t, Question> rows;
    for (const auto& r : json) {
        if (!r.count("ID"))
            continue;
        Question q;
        auto it = r.find("题目");
        if (it != r.end() && it->second.kind == interop::JsonValue::Kind::String)
            q = it->second.text;
        rows[std::stoll(r.at("ID").text)] = q;
    }
    return rows;
}

// mdb-json prints an empty memo like a Null one (it leaves the key out), so the two read the same there.
std::map<std::int64_t, Question> asMdbJsonShowsIt(std::map<std::int64_t, Question> rows)
{
    for (auto& [id, q] : rows)
        if (q && q->empty())
            q.reset();
    return rows;
}

std::map<std::int64_t, Question> readMdbJson(const std::filesystem::path& bank)
{
    auto result = ts::runCommand("mdb-json " + ts::shellQuote(bank.string()) + " tiku");
    EXPECT_EQ(result.exitCode, 0);
    return fromJson(interop::parseJsonLines(result.out));
}

std::map<std::int64_t, Question> readMdbReader(const std::filesystem::path& bank)
{
    auto result = ts::runCommand("node " + ts::shellQuote(mdbReaderScript().string()) + " " +
                                 ts::shellQuote(bank.string()) + " tiku");
    EXPECT_EQ(result.exitCode, 0) << result.out;
    auto lines = interop::parseJsonLines(result.out);  // the script prints the rows alone
    return fromJson(lines);
}

struct Bank {
    ts::TempDir dir;
    std::filesystem::path path = dir / "data.mdb";
    std::map<std::int64_t, Question> expected;

    explicit Bank(const std::vector<Question>& questions)
    {
        jet::writeBank(path, questions);
        for (std::size_t i = 0; i < questions.size(); ++i)
            expected[std::int64_t(i + 1)] = questions[i];
    }

    // The row's place and values as a reader sees them now.
    std::pair<jet::RowId, std::vector<jet::Value>> find(std::int64_t id) const
    {
        auto db = jet::Database::open(path);
        auto reader = db->read("tiku");
        std::vector<jet::Value> row;
        jet::RowId where;
        while (reader.next(row, &where))
            if (std::get<std::int64_t>(row[0]) == id)
                return {where, row};
        ADD_FAILURE() << "no row " << id;
        return {};
    }

    void update(std::int64_t id, Question text)
    {
        auto [where, old] = find(id);
        auto values = old;
        values[1] = text ? jet::Value(*text) : jet::Value(jet::Null{});
        jet::TableWriter(path).update("tiku", where, old, values);
        expected[id] = text;
    }

    void remove(std::int64_t id)
    {
        auto [where, old] = find(id);
        jet::TableWriter(path).remove("tiku", where, old);
        expected.erase(id);
    }

    std::int64_t insert(Question text)
    {
        std::vector<jet::Value> values{jet::Null{}, text ? jet::Value(*text) : jet::Value(jet::Null{})};
        jet::TableWriter(path).insert("tiku", values);
        auto id = std::get<std::int64_t>(values[0]);
        expected[id] = text;
        return id;
    }

    void expectEveryReaderAgrees() const
    {
        EXPECT_EQ(readOurs(path), expected);
        EXPECT_EQ(jet::checkTable(path, "tiku"), std::vector<std::string>{});
        auto db = jet::Database::open(path);
        EXPECT_EQ(db->table("tiku").rowCount, expected.size());
        if (haveCommand("mdb-json")) {
            EXPECT_EQ(readMdbJson(path), asMdbJsonShowsIt(expected)) << "mdb-json";
        }
        if (haveMdbReader()) {
            EXPECT_EQ(readMdbReader(path), expected) << "mdb-reader";
        }
    }
};

std::vector<Question> numbered(int count, const std::string& stem = "第")
{
    std::vector<Question> qs;
    for (int i = 1; i <= count; ++i)
        qs.push_back(stem + std::to_string(i) + " 题：中国的首都是哪座城市？");
    return qs;
}

std::string longText(std::size_t characters)
{
    std::string s;
    const std::string pieces[] = {"长江", "黄河", "Memo", "，", "\n", "珠穆朗玛峰", "123"};
    for (std::size_t i = 0; s.size() < characters * 2; ++i)
        s += pieces[i % 7];
    return s;
}

struct UpdateCase {
    const char* name;
    Question before;
    Question after;
};

class UpdatedQuestion : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(UpdatedQuestion, ReadsBackEverywhere)
{
    const auto& c = GetParam();
    auto questions = numbered(30);
    questions[14] = c.before;
    Bank bank(questions);
    bank.update(15, c.after);
    bank.expectEveryReaderAgrees();
    // And once more, so that a moved row is changed again.
    bank.update(15, c.before);
    bank.update(15, c.after);
    bank.expectEveryReaderAgrees();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdatedQuestion,
    ::testing::Values(UpdateCase{"Shorter", "一个相当长的问题：地球上面积最大的大洋是哪一个？", "太平洋？"},
                      UpdateCase{"Longer", "短", "一个更长的问题：世界上最长的河流是哪一条？是尼罗河还是亚马孙河？"},
                      UpdateCase{"MuchLongerSinglePage", "短", longText(1500)},
                      UpdateCase{"MuchLongerChain", "短", longText(30000)},
                      UpdateCase{"ChainToShort", longText(30000), "短"},
                      UpdateCase{"ToNull", "有内容的题目", std::nullopt},
                      UpdateCase{"FromNull", std::nullopt, "新写的题目"},
                      UpdateCase{"ToEmpty", "有内容的题目", std::string()},
                      UpdateCase{"FromEmpty", std::string(), "Latin and 中文 mixed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WrittenBank, RowsThatNoLongerFitTheirPageMove)
{
    Bank bank(numbered(400));
    // Every row of the first page grows past what the page can hold.
    for (int id = 1; id <= 40; ++id)
        bank.update(id, "变长了的题目 " + std::to_string(id) + longText(30));
    bank.expectEveryReaderAgrees();
}

struct DeleteCase {
    const char* name;
    std::vector<std::int64_t> ids;
};

class DeletedQuestions : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeletedQuestions, AreGoneEverywhere)
{
    Bank bank(numbered(12));
    for (auto id : GetParam().ids)
        bank.remove(id);
    bank.expectEveryReaderAgrees();
}

INSTANTIATE_TEST_SUITE_P(Rows, DeletedQuestions,
                         ::testing::Values(DeleteCase{"First", {1}}, DeleteCase{"Middle", {6}}, DeleteCase{"Last", {12}},
                                           DeleteCase{"All", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WrittenBank, DeletingAMovedRowAndALongValue)
{
    auto questions = numbered(20);
    questions[3] = longText(20000);
    Bank bank(questions);
    bank.update(2, longText(800));
    bank.remove(2);
    bank.remove(4);
    bank.expectEveryReaderAgrees();
}

TEST(WrittenBank, InsertionsTakeTheNextNumbersAcrossNewPagesAndIndexPages)
{
    Bank bank(numbered(5));
    EXPECT_EQ(bank.insert("新的问题"), 6);
    for (int i = 0; i < 1500; ++i)
        bank.insert("插入的第 " + std::to_string(i) + " 个问题，内容足够长以便占满几页数据页");
    bank.insert(std::nullopt);
    bank.insert(longText(10000));
    bank.expectEveryReaderAgrees();
}

TEST(WrittenBank, InsertIntoAnEmptyBank)
{
    Bank bank({});
    EXPECT_EQ(bank.insert("第一题"), 1);
    bank.expectEveryReaderAgrees();
}

TEST(WrittenBank, AChangeSomeoneElseMadeIsNotOverwritten)
{
    Bank bank(numbered(3));
    auto [where, seen] = bank.find(2);
    bank.update(2, "别人改过的题目");
    auto mine = seen;
    mine[1] = std::string("我的修改");
    EXPECT_THROW(jet::TableWriter(bank.path).update("tiku", where, seen, mine), jet::Error);
    EXPECT_THROW(jet::TableWriter(bank.path).remove("tiku", where, seen), jet::Error);
    bank.expectEveryReaderAgrees();
}

// Text and Date/Time keys are kept now (keyed_writes_test); a GUID key still is not.
TEST(WrittenBank, TablesWithGuidKeysOrOldFormatsAreNotWritable)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    struct Case {
        const char* file;
        const char* table;
    };
    for (auto c : {Case{"testV2000.mdb", "Table4"}, Case{"testV1997.mdb", "Table1"}}) {
        auto db = jet::Database::open(ts::copyFixture(c.file, dir.path()));
        std::string why;
        EXPECT_FALSE(jet::TableWriter::canWrite(*db, db->table(c.table), &why)) << c.file;
        EXPECT_FALSE(why.empty()) << c.file;
    }
}

// On copies of files Access made: the first row deleted, a text of the next one lengthened; every
// reader then sees one row fewer and the new text, and every index stays exact.
class WrittenFixture : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(WrittenFixture, ReadsBackEverywhere)
{
    TESSARIN_REQUIRE_FIXTURES();
    const auto [file, tableName] = GetParam();
    ts::TempDir dir;
    auto copy = ts::copyFixture(file, dir.path());
    std::vector<std::pair<jet::RowId, std::vector<jet::Value>>> rows;
    int textColumn = -1;
    {
        auto db = jet::Database::open(copy);
        const auto& table = db->table(tableName);
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            if (table.columns[i].type == jet::ColumnType::Text && textColumn < 0)
                textColumn = int(i);
        auto reader = db->read(table);
        std::vector<jet::Value> row;
        jet::RowId where;
        while (reader.next(row, &where))
            rows.emplace_back(where, row);
    }
    ASSERT_GE(rows.size(), 2u);
    ASSERT_GE(textColumn, 0);
    jet::TableWriter writer(copy);
    writer.remove(tableName, rows[0].first, rows[0].second);
    auto changed = rows[1].second;
    changed[textColumn] = std::string("改过的文本 changed");
    writer.update(tableName, rows[1].first, rows[1].second, changed);

    auto db = jet::Database::open(copy);
    EXPECT_EQ(db->table(tableName).rowCount, rows.size() - 1);
    EXPECT_EQ(jet::checkTable(copy, tableName), std::vector<std::string>{});
    if (haveCommand("mdb-count")) {
        auto count = ts::runCommand("mdb-count " + ts::shellQuote(copy.string()) + " " + ts::shellQuote(tableName));
        EXPECT_EQ(std::stoul(count.out), rows.size() - 1);
    }
    if (haveCommand("mdb-json")) {
        auto json = interop::parseJsonLines(
            ts::runCommand("mdb-json " + ts::shellQuote(copy.string()) + " " + ts::shellQuote(tableName)).out);
        EXPECT_EQ(json.size(), rows.size() - 1);
        int found = 0;
        const std::string columnName = db->table(tableName).columns[textColumn].name;
        for (const auto& r : json)
            found += r.count(columnName) && r.at(columnName).text == "改过的文本 changed";
        EXPECT_EQ(found, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(AccessFiles, WrittenFixture,
                         ::testing::Values(std::pair{"indexTestV2000.mdb", "Table1"},
                                           std::pair{"compIndexTestV2000.mdb", "Table1"},
                                           std::pair{"delTestV2000.mdb", "Table"},
                                           std::pair{"overflowTestV2000.mdb", "Table1"}));

}  // namespace

namespace {

// A writer killed at any write or flush point of a save, a deletion or an insertion: the next open
// (which rolls an interrupted write back) finds the bank wholly before or wholly after the change.
struct KilledWriteCase {
    const char* operation;
    const char* step;
};

class KilledWriter : public ::testing::TestWithParam<KilledWriteCase> {};

TEST_P(KilledWriter, LeavesTheBankBeforeOrAfter)
{
    const auto [operation, step] = GetParam();
    Bank bank(numbered(50));
    const auto before = bank.expected;
    auto [where, old] = bank.find(20);
    std::map<std::int64_t, Question> after = before;
    std::string op = operation;
    // The many-row changes: rows 10 to 39 as one statement would change them, in one batch.
    std::vector<jet::RowChange> batch;
    for (std::int64_t id = 10; id < 40 && op.ends_with("-many"); ++id) {
        auto [at, cells] = bank.find(id);
        if (op == "update-many") {
            auto values = cells;
            values[1] = longText(std::size_t(200 + 100 * id));
            after[id] = std::get<std::string>(values[1]);
            batch.push_back({jet::RowChange::Kind::Update, at, cells, values});
        } else {
            after.erase(id);
            batch.push_back({jet::RowChange::Kind::Remove, at, cells, {}});
        }
    }
    if (op == "update")
        after[20] = longText(3000);
    else if (op == "delete")
        after.erase(20);
    else if (op == "insert")
        after[51] = "新题目";

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        jet::TableWriter writer(bank.path, [&](std::string_view point) {
            if (point == step)
                _exit(42);
        });
        if (op == "update") {
            auto values = old;
            values[1] = *after[20];
            writer.update("tiku", where, old, values);
        } else if (op == "delete") {
            writer.remove("tiku", where, old);
        } else if (op.ends_with("-many")) {
            writer.apply("tiku", batch);
        } else {
            std::vector<jet::Value> values{jet::Null{}, std::string("新题目")};
            writer.insert("tiku", values);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42) << operation << " never reached " << step;

    jet::rollBackInterruptedWrite(bank.path);
    auto seen = readOurs(bank.path);
    EXPECT_TRUE(seen == before || seen == after) << operation << " killed at " << step;
    EXPECT_EQ(jet::checkTable(bank.path, "tiku"), std::vector<std::string>{});
    if (haveCommand("mdb-json")) {
        auto json = readMdbJson(bank.path);
        EXPECT_TRUE(json == asMdbJsonShowsIt(before) || json == asMdbJsonShowsIt(after)) << operation << " at " << step;
    }
}

std::vector<KilledWriteCase> killedWriteCases()
{
    std::vector<KilledWriteCase> cases;
    for (const char* op : {"update", "delete", "insert", "update-many", "delete-many"})
        for (const char* step : {"journal-half-written", "journal-written", "journal-flushed", "first-page-written",
                                 "last-page-written", "bank-flushed", "journal-removed"})
            cases.push_back({op, step});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryPoint, KilledWriter, ::testing::ValuesIn(killedWriteCases()),
                         [](const auto& info) {
                             std::string name = std::string(info.param.operation) + "_" + info.param.step;
                             for (char& c : name)
                                 if (c == '-' || c == ' ')
                                     c = '_';
                             return name;
                         });

}  // namespace

namespace {

using testing_support::PageView;

// The LVAL pages the live values of a column use.
std::set<std::uint32_t> pagesInUse(PageView& view, const jet::TableDef& table, std::uint16_t column)
{
    std::set<std::uint32_t> pages;
    auto reader = view.db->read(table);
    std::vector<jet::Value> row;
    jet::RowId where;
    while (reader.next(row, &where)) {
        jet::write::EditablePage page(view.store.read(where.page));
        auto bytes = page.row(where.row).bytes;
        if (page.row(where.row).flags & jet::format::RowLookupFlag)
            bytes = view.store.readRow(jet::detail::le32(bytes.data()));
        for (const auto& value : jet::write::columnLongValues(table, bytes))
            if (value.column == column)
                for (std::uint32_t p : jet::write::longValuePages(view.store, value.ref))
                    pages.insert(p);
    }
    return pages;
}

std::set<std::uint32_t> mapPages(PageView& view, std::uint32_t map)
{
    const auto pages = jet::write::usageMapPages(view.store, map);
    return {pages.begin(), pages.end()};
}

bool includes(const std::set<std::uint32_t>& all, const std::set<std::uint32_t>& some)
{
    return std::includes(all.begin(), all.end(), some.begin(), some.end());
}

TEST(LongValueMaps, NewLongValuePagesJoinTheMemoColumnsMaps)
{
    auto questions = numbered(40);
    questions[5] = longText(1500);   // on an LVAL page from the start
    Bank bank(questions);
    std::set<std::uint32_t> before;
    {
        PageView view(bank.path);
        const auto& table = view.db->table("tiku");
        const auto maps = jet::write::longValueMaps(view.store, table).value();
        ASSERT_EQ(maps.size(), 1u);
        EXPECT_EQ(maps[0].column, table.columns[1].number);
        before = mapPages(view, maps[0].usageMap);
    }
    bank.update(3, longText(1500));                 // a single-page value
    bank.update(4, longText(30000));                // a chain over several pages
    bank.update(6, "短了");                          // its page keeps room it did not have
    bank.insert(longText(9000));
    std::vector<jet::RowChange> batch;
    for (std::int64_t id = 20; id < 30; ++id) {
        auto [where, cells] = bank.find(id);
        auto values = cells;
        values[1] = longText(700);
        bank.expected[id] = std::get<std::string>(values[1]);
        batch.push_back({jet::RowChange::Kind::Update, where, cells, values});
    }
    jet::TableWriter(bank.path).apply("tiku", batch);

    PageView view(bank.path);
    const auto& table = view.db->table("tiku");
    const auto maps = jet::write::longValueMaps(view.store, table).value();
    ASSERT_EQ(maps.size(), 1u);
    const auto owned = mapPages(view, maps[0].usageMap);
    const auto withRoom = mapPages(view, maps[0].freeSpaceMap);
    const auto used = pagesInUse(view, table, maps[0].column);
    EXPECT_TRUE(includes(owned, used));
    EXPECT_TRUE(includes(owned, withRoom));
    EXPECT_GE(owned.size(), before.size() + 8) << "the chain alone takes eight pages";
    EXPECT_TRUE(includes(owned, before)) << "pages stay the column's after their values are freed";
    // Every page in the free-space map has room, and the page row 6 left has room now.
    for (std::uint32_t page : withRoom)
        EXPECT_GE(jet::write::EditablePage(view.store.read(page)).freeSpace(), 64u) << page;
    for (std::uint32_t page : owned) {
        const bool room = jet::write::EditablePage(view.store.read(page)).freeSpace() >= 64;
        EXPECT_EQ(withRoom.count(page) == 1, room) << "page " << page;
    }
    bank.expectEveryReaderAgrees();
}

// Saves one at a time put their long values in room the column's pages have (as listed in its
// free-space map), instead of a new page each.
TEST(LongValueMaps, SavesUseRoomTheColumnsPagesHave)
{
    Bank bank(numbered(20));
    const auto pages = [&] { return std::filesystem::file_size(bank.path) / 4096; };
    const auto start = pages();
    for (int i = 0; i < 10; ++i)
        bank.update(3, longText(std::size_t(700 + i)));  // the same row again and again: its old room is freed
    EXPECT_LE(pages(), start + 2);
    const auto afterOneRow = pages();
    for (std::int64_t id = 5; id < 15; ++id)
        bank.update(id, longText(300));  // ten rows, a few values to a page
    EXPECT_LE(pages(), afterOneRow + 4);
    bank.expectEveryReaderAgrees();
}

TEST(LongValueMaps, CheckFindsALongValuePageMissingFromItsMap)
{
    Bank bank(numbered(10));
    bank.update(2, longText(2000));
    ASSERT_EQ(jet::checkTable(bank.path, "tiku"), std::vector<std::string>{});
    {
        PageView view(bank.path, true);
        const auto& table = view.db->table("tiku");
        const auto maps = jet::write::longValueMaps(view.store, table).value();
        ASSERT_EQ(maps.size(), 1u);
        const auto used = pagesInUse(view, table, maps[0].column);
        ASSERT_EQ(used.size(), 1u);
        jet::write::setInUsageMap(view.store, maps[0].usageMap, *used.begin(), false);
        view.change->commit();
    }
    const auto problems = jet::checkTable(bank.path, "tiku");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("不在该列的使用图中"), std::string::npos) << problems[0];
}

// Access's own files: the list of long-value maps is read where Access puts it, and every LVAL page
// Access's catalog values use is in their column's map (which the check relies on). The user tables
// of these files have no memo or OLE column: their lists are there and empty.
TEST(LongValueMaps, AccessFilesListThemWhereTheCheckExpects)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    std::size_t catalogPages = 0;
    for (const char* file : {"testV2000.mdb", "delTestV2000.mdb", "overflowTestV2000.mdb", "indexTestV2000.mdb",
                             "compIndexTestV2000.mdb", "testUnicodeCompV2003.mdb", "fixedTextTestV2000.mdb",
                             "empty2000.mdb", "emptyJet4.mdb"}) {
        const auto copy = ts::copyFixture(file, dir.path());
        PageView view(copy);
        for (const auto& name : view.db->tableNames()) {
            const auto maps = jet::write::longValueMaps(view.store, view.db->table(name));
            ASSERT_TRUE(maps) << file << " " << name;
            EXPECT_TRUE(maps->empty()) << file << " " << name;
            EXPECT_EQ(jet::checkTable(copy, name), std::vector<std::string>{}) << file << " " << name;
        }
        const jet::TableDef objects = view.db->tableAt(2, "MSysObjects");
        const auto maps = jet::write::longValueMaps(view.store, objects);
        ASSERT_TRUE(maps) << file;
        std::size_t longColumns = 0;
        for (const auto& c : objects.columns)
            longColumns += c.type == jet::ColumnType::Memo || c.type == jet::ColumnType::OLE;
        EXPECT_EQ(maps->size(), longColumns) << file;
        for (const auto& m : *maps) {
            const auto used = pagesInUse(view, objects, m.column);
            EXPECT_TRUE(includes(mapPages(view, m.usageMap), used)) << file << " column " << m.column;
            catalogPages += used.size();
        }
    }
    EXPECT_GT(catalogPages, 0u) << "Access's catalogs keep some values on LVAL pages";
}

// A batch that fails at its last change leaves the file as it was: nothing of the changes before it.
struct FailingBatchCase {
    const char* name;
    const char* message;  // part of the refusal
};

class FailingBatch : public ::testing::TestWithParam<FailingBatchCase> {};

TEST_P(FailingBatch, LeavesTheFileWhollyUnchanged)
{
    const FailingBatchCase& c = GetParam();
    Bank bank(numbered(30));
    std::vector<jet::RowChange> batch;
    for (std::int64_t id = 5; id < 15; ++id) {
        auto [where, cells] = bank.find(id);
        auto values = cells;
        values[1] = longText(900);
        batch.push_back({jet::RowChange::Kind::Update, where, cells, values});
    }
    batch.push_back({jet::RowChange::Kind::Remove, bank.find(20).first, bank.find(20).second, {}});
    std::vector<jet::Value> inserted{jet::Null{}, std::string("新的一题")};
    batch.push_back({jet::RowChange::Kind::Insert, {}, {}, inserted});
    auto [where, cells] = bank.find(25);
    auto last = cells;
    const std::string name = c.name;
    if (name == "ChangedBySomeoneElse") {
        bank.update(25, "别人刚改过");
        last[1] = std::string("我的修改");
    } else if (name == "DeletedBySomeoneElse") {
        bank.remove(25);
    } else if (name == "DuplicateKey") {
        last[0] = std::int64_t(3);
    } else if (name == "DuplicateOfAnEarlierChange") {
        batch[0].values[0] = std::int64_t(1000);
        last[0] = std::int64_t(1000);
    } else if (name == "UnencodableValue") {
        last[1] = jet::Bytes{"\x01\x02"};  // binary data for a memo column
    }
    batch.push_back({jet::RowChange::Kind::Update, where, cells, last});
    const std::string before = fileBytes(bank.path);
    try {
        jet::TableWriter(bank.path).apply("tiku", batch);
        FAIL() << "the batch was written";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(bank.path), before);
    EXPECT_FALSE(std::filesystem::exists(jet::journalPathFor(bank.path)));
    bank.expectEveryReaderAgrees();
}

INSTANTIATE_TEST_SUITE_P(LastChange, FailingBatch,
                         ::testing::Values(FailingBatchCase{"ChangedBySomeoneElse", "已被其他程序修改"},
                                           FailingBatchCase{"DeletedBySomeoneElse", "已被其他程序删除"},
                                           FailingBatchCase{"DuplicateKey", "已有这个值"},
                                           FailingBatchCase{"DuplicateOfAnEarlierChange", "已有这个值"},
                                           FailingBatchCase{"UnencodableValue", "列“题目”"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Batch, InsertionsNumberOnAndAllRowsLand)
{
    Bank bank(numbered(50));
    std::vector<jet::RowChange> batch;
    for (int i = 0; i < 3; ++i)
        batch.push_back({jet::RowChange::Kind::Insert, {}, {}, {jet::Null{}, std::string("批量插入 " + std::to_string(i))}});
    auto [where, cells] = bank.find(7);
    batch.push_back({jet::RowChange::Kind::Remove, where, cells, {}});
    jet::TableWriter(bank.path).apply("tiku", batch);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(batch[std::size_t(i)].values[0], jet::Value(std::int64_t(51 + i)));
        bank.expected[51 + i] = "批量插入 " + std::to_string(i);
    }
    bank.expected.erase(7);
    bank.expectEveryReaderAgrees();
    EXPECT_EQ(bank.insert("下一题"), 54);
}

TEST(Batch, ARowNamedTwiceIsRefused)
{
    Bank bank(numbered(5));
    auto [where, cells] = bank.find(2);
    std::vector<jet::RowChange> batch{{jet::RowChange::Kind::Remove, where, cells, {}},
                                      {jet::RowChange::Kind::Remove, where, cells, {}}};
    const std::string before = fileBytes(bank.path);
    EXPECT_THROW(jet::TableWriter(bank.path).apply("tiku", batch), jet::Error);
    EXPECT_EQ(fileBytes(bank.path), before);
}

}  // namespace
