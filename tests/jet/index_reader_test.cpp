// Index entries read from the index pages agree with the table they index.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "jet/index_reader.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

// Lexicographic order of the key bytes taken as unsigned, which is how Jet sorts its entries.
bool keyLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::uint8_t(x) < std::uint8_t(y);
    });
}

class IndexContents : public ::testing::TestWithParam<const char*> {};

TEST_P(IndexContents, AgreeWithTheRows) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = jet::Database::open(fixturesDir() / GetParam());
    std::size_t checkedIntegerKeys = 0;
    for (const auto& name : db->tableNames()) {
        const jet::TableDef& table = db->table(name);
        std::size_t rows = 0;
        {
            auto reader = db->read(name);
            std::vector<jet::Value> row;
            while (reader.next(row)) ++rows;
        }
        for (const auto& index : table.indexes) {
            SCOPED_TRACE(name + "." + index.name);
            const auto entries = jet::readIndexEntries(*db, index);
            if (!index.ignoreNulls) {
                EXPECT_EQ(entries.size(), rows);
            }
            for (std::size_t i = 1; i < entries.size(); ++i)
                EXPECT_FALSE(keyLess(entries[i].key, entries[i - 1].key)) << "entry " << i << " out of order";
            std::vector<jet::Value> row;
            for (const auto& entry : entries) {
                ASSERT_TRUE(db->readRow(table, entry.row, row)) << entry.row.page << ":" << entry.row.row;
                const auto key = jet::decodeIntegerKey(table, index, entry.key);
                if (!key) continue;
                ASSERT_EQ(key->size(), index.columns.size());
                for (std::size_t c = 0; c < index.columns.size(); ++c) {
                    const auto it = std::find_if(table.columns.begin(), table.columns.end(), [&](const auto& col) {
                        return col.number == index.columns[c].columnNumber;
                    });
                    EXPECT_EQ((*key)[c], row[std::size_t(it - table.columns.begin())]);
                }
                ++checkedIntegerKeys;
            }
        }
    }
    EXPECT_GT(checkedIntegerKeys, 0u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, IndexContents,
                         ::testing::Values("indexTestV2000.mdb", "compIndexTestV2000.mdb", "testUnicodeCompV2003.mdb"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(IndexReader, ALargeIndexSpansSeveralLeafPagesInDescendingOrder) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = jet::Database::open(fixturesDir() / "compIndexTestV2000.mdb");
    const jet::TableDef& table = db->table("Table1");
    ASSERT_FALSE(table.indexes.empty());
    const jet::IndexDef& index = table.indexes.front();
    ASSERT_EQ(index.columns.size(), 1u);
    EXPECT_FALSE(index.columns[0].ascending);
    jet::IndexCursor cursor(*db, index);
    jet::IndexEntry entry;
    std::vector<std::int64_t> values;
    std::size_t entries = 0;
    while (cursor.next(entry)) {
        ++entries;
        const jet::Value v = jet::decodeIntegerKey(table, index, entry.key)->at(0);
        if (const auto* i = std::get_if<std::int64_t>(&v)) values.push_back(*i);
    }
    EXPECT_EQ(entries, 512u);
    EXPECT_EQ(values.size(), 510u);  // two rows have no value
    EXPECT_GT(cursor.leafPagesRead(), 1u);
    EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend()));
}

TEST(IndexReader, AnIndexRootThatIsNoIndexPageIsAnError) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = jet::Database::open(fixturesDir() / "indexTestV2000.mdb");
    jet::IndexDef index = db->table("Table1").indexes.front();
    index.firstPage = db->table("Table1").dataPages.front();
    try {
        jet::readIndexEntries(*db, index);
        FAIL() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("indexTestV2000.mdb"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("索引页"), std::string::npos) << e.what();
    }
}

}  // namespace
