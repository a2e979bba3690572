// Finding a key in an index tree by a seek down the tree, and the uniqueness check that uses it: a
// duplicate anywhere in a multi-level index is refused, a new value is not, and the seek reads only the
// pages on its way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/format.h"
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

using testing_support::PageView;

std::uint32_t pointerOfEntry(const ByteString& entry)
{
    const std::uint8_t* p = entry.data() + entry.size() - 4;
    return jet::format::makePointer(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2], p[3]);
}

ByteString keyOfEntry(const ByteString& entry) { return ByteString(entry.begin(), entry.end() - 4); }

std::vector<std::optional<std::string>> numbered(int count)
{
    std::vector<std::optional<std::string>> qs;
    for (int i = 1; i <= count; ++i)
        qs.push_back("第 " + std::to_string(i) + " 题");
    return qs;
}

// A bank whose primary key spreads over several leaf pages under a node page.
class LargeIndex : public ::testing::Test {
public:
    static constexpr int kRows = 3000;

protected:
    void SetUp() override { jet::writeBank(bank, numbered(kRows)); }

    std::pair<jet::RowId, std::vector<jet::Value>> row(std::int64_t id) const
    {
        auto db = jet::Database::open(bank);
        auto reader = db->read("tiku");
        std::vector<jet::Value> values;
        jet::RowId where;
        while (reader.next(values, &where))
            if (std::get<std::int64_t>(values[0]) == id)
                return {where, values};
        ADD_FAILURE() << "no row " << id;
        return {};
    }

    ts::TempDir dir;
    std::filesystem::path bank = dir / "large.mdb";
};

TEST_F(LargeIndex, EveryEntryIsFoundBySeekingItsKey)
{
    PageView view(bank);
    const auto& table = view.db->table("tiku");
    const jet::write::IndexTree tree(view.store, table, table.indexes.at(0));
    const auto entries = tree.entries();
    ASSERT_EQ(entries.size(), std::size_t(kRows));
    for (const auto& entry : entries)
        EXPECT_EQ(tree.rowsWithKey(keyOfEntry(entry)), std::vector<std::uint32_t>{pointerOfEntry(entry)});
}

TEST_F(LargeIndex, KeysNotInTheIndexAreNotFound)
{
    PageView view(bank);
    const auto& table = view.db->table("tiku");
    const auto& index = table.indexes.at(0);
    const jet::write::IndexTree tree(view.store, table, index);
    const auto entries = tree.entries();
    for (const std::int64_t id : {std::int64_t(0), std::int64_t(-7), std::int64_t(kRows + 1), std::int64_t(1) << 30}) {
        const auto key = jet::write::indexKey(table, index, {jet::Value(id), jet::Value(jet::Null{})});
        ASSERT_TRUE(key);
        EXPECT_TRUE(tree.rowsWithKey(*key).empty()) << id;
    }
    // A key shorter than any entry's key matches none of them either.
    auto shorter = keyOfEntry(entries[0]);
    shorter.pop_back();
    EXPECT_TRUE(tree.rowsWithKey(shorter).empty());
}

TEST_F(LargeIndex, ASeekReadsOnlyThePagesOnItsWay)
{
    PageView view(bank);
    const auto& table = view.db->table("tiku");
    const auto& index = table.indexes.at(0);
    const jet::write::IndexTree tree(view.store, table, index);
    const auto indexPages = jet::write::usageMapPages(view.store, index.usageMap).size();
    ASSERT_GE(indexPages, 5u) << "the index should have a node page over several leaves";
    for (const std::int64_t id : {std::int64_t(1), std::int64_t(kRows / 2), std::int64_t(kRows)}) {
        const auto key = jet::write::indexKey(table, index, {jet::Value(id), jet::Value(jet::Null{})});
        const auto before = view.store.bankReads();
        EXPECT_EQ(tree.rowsWithKey(*key).size(), 1u) << id;
        // The root, one leaf, and at most the leaf after it (when the key ends a leaf).
        EXPECT_LE(view.store.bankReads() - before, 3u) << id;
    }
}

struct DuplicateCase {
    const char* name;
    std::int64_t existing;  // the ID a change gives again: on the first, a middle and the last leaf
    bool insert;            // a new row with that ID, or row 10 changed to it
};

class DuplicateKey : public LargeIndex, public ::testing::WithParamInterface<DuplicateCase> {};

TEST_P(DuplicateKey, IsRefusedAndLeavesTheFileAsItWas)
{
    const DuplicateCase& c = GetParam();
    const std::string before = fileBytes(bank);
    jet::TableWriter writer(bank);
    try {
        if (c.insert) {
            std::vector<jet::Value> values{jet::Value(c.existing), jet::Value(std::string("重复的编号"))};
            writer.insert("tiku", values);
        } else {
            auto [where, old] = row(10);
            auto values = old;
            values[0] = c.existing;
            writer.update("tiku", where, old, values);
        }
        FAIL() << "a duplicate key was written";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("索引“PrimaryKey”中已有这个值"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(bank), before);
}

INSTANTIATE_TEST_SUITE_P(Leaves, DuplicateKey,
                         ::testing::Values(DuplicateCase{"UpdateToFirstLeaf", 1, false},
                                           DuplicateCase{"UpdateToMiddleLeaf", LargeIndex::kRows / 2, false},
                                           DuplicateCase{"UpdateToLastLeaf", LargeIndex::kRows, false},
                                           DuplicateCase{"InsertOnFirstLeaf", 1, true},
                                           DuplicateCase{"InsertOnMiddleLeaf", LargeIndex::kRows / 2, true},
                                           DuplicateCase{"InsertOnLastLeaf", LargeIndex::kRows, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LargeIndex, NewValuesAndUnchangedKeysAreNotRefused)
{
    jet::TableWriter writer(bank);
    // Its own key kept, another column changed.
    {
        auto [where, old] = row(kRows / 2);
        auto values = old;
        values[1] = std::string("只改题目");
        EXPECT_NO_THROW(writer.update("tiku", where, old, values));
    }
    // Values beyond both ends of the index, and one freed by a deletion in the middle.
    {
        auto [where, old] = row(kRows / 2 + 1);
        writer.remove("tiku", where, old);
    }
    for (const std::int64_t id : {std::int64_t(kRows + 1), std::int64_t(0), std::int64_t(kRows / 2 + 1)}) {
        auto [where, old] = row(10 + id % 7);
        auto values = old;
        values[0] = id;
        EXPECT_NO_THROW(writer.update("tiku", where, old, values)) << id;
    }
    std::vector<jet::Value> values{jet::Value(std::int64_t(10)), jet::Value(std::string("10 号又空出来了"))};
    EXPECT_NO_THROW(writer.insert("tiku", values));
    EXPECT_EQ(jet::checkTable(bank, "tiku"), std::vector<std::string>{});
}

// The seek on trees Access built: every entry of every index of every Jet 4 table is found by its key.
TEST(AccessIndexes, EveryEntryIsFoundBySeekingItsKey)
{
    TESSARIN_REQUIRE_FIXTURES();
    ts::TempDir dir;
    int indexesSeen = 0;
    for (const char* file : {"indexTestV2000.mdb", "compIndexTestV2000.mdb", "testV2000.mdb", "delTestV2000.mdb",
                             "overflowTestV2000.mdb", "fixedTextTestV2000.mdb", "testUnicodeCompV2003.mdb"}) {
        const auto copy = ts::copyFixture(file, dir.path());
        PageView view(copy);
        for (const auto& name : view.db->tableNames()) {
            const auto& table = view.db->table(name);
            for (const auto& index : table.indexes) {
                if (index.firstPage == 0 || view.store.read(index.firstPage)[0] == std::uint8_t(jet::format::PageType::Data))
                    continue;
                const jet::write::IndexTree tree(view.store, table, index);
                for (const auto& entry : tree.entries()) {
                    const auto rows = tree.rowsWithKey(keyOfEntry(entry));
                    EXPECT_NE(std::find(rows.begin(), rows.end(), pointerOfEntry(entry)), rows.end())
                        << file << " " << name << " " << index.name;
                }
                ++indexesSeen;
            }
        }
    }
    EXPECT_GE(indexesSeen, 5);
}

}  // namespace
