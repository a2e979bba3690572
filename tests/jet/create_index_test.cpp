// The primary-key index and the usage maps of a new bank, checked page by page: a balanced tree whose
// leaves are linked in key order and hold every ID once, pointing at the row with that ID, and maps
// that name exactly the table's data pages.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/format.h"
#include "support/test_support.h"

namespace {

const jet::format::Layout& L = jet::format::Jet4Layout;

std::uint32_t le32(std::span<const std::uint8_t> p, std::size_t at) {
    return std::uint32_t(p[at]) | std::uint32_t(p[at + 1]) << 8 | std::uint32_t(p[at + 2]) << 16 | std::uint32_t(p[at + 3]) << 24;
}
std::uint32_t be(std::span<const std::uint8_t> p, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[at + std::size_t(i)];
    return v;
}

struct Entry {
    std::int32_t key;
    std::uint32_t page;
    std::uint8_t row;
    std::uint32_t child;  // intermediate pages only
};

struct IndexPage {
    std::uint8_t type;
    std::uint32_t parent, prev, next, tail;
    std::vector<Entry> entries;
};

IndexPage readIndexPage(const jet::Database& db, std::uint32_t number) {
    const auto p = db.page(number);
    IndexPage page{p[0], le32(p, L.indexParentPage), le32(p, L.indexPrevPage), le32(p, L.indexNextPage),
                   le32(p, L.indexTailPage), {}};
    EXPECT_TRUE(page.type == 0x03 || page.type == 0x04) << "page " << number;
    const bool leaf = page.type == 0x04;
    const std::size_t prefix = std::size_t(p[L.indexPrefixLength]) | std::size_t(p[L.indexPrefixLength + 1]) << 8;
    std::vector<std::uint8_t> first;
    std::size_t start = 0, used = 0;
    for (std::size_t bit = 0; bit < (L.indexEntries - L.indexBitmap) * 8; ++bit) {
        if (!(p[L.indexBitmap + bit / 8] >> (bit % 8) & 1)) continue;
        std::vector<std::uint8_t> bytes(p.begin() + std::ptrdiff_t(L.indexEntries + start), p.begin() + std::ptrdiff_t(L.indexEntries + bit));
        if (page.entries.empty()) first = bytes;
        else bytes.insert(bytes.begin(), first.begin(), first.begin() + std::ptrdiff_t(prefix));
        const std::size_t expected = leaf ? 9 : 13;
        EXPECT_EQ(bytes.size(), expected) << "entry " << page.entries.size() << " of page " << number;
        if (bytes.size() != expected) break;
        EXPECT_EQ(bytes[0], 0x7f) << "ascending key flag";
        const std::span<const std::uint8_t> b(bytes);
        page.entries.push_back({std::int32_t(be(b, 1, 4) ^ 0x80000000u), be(b, 5, 3), bytes[8], leaf ? 0 : be(b, 9, 4)});
        start = used = bit;
    }
    EXPECT_EQ(std::size_t(p[2] | p[3] << 8), p.size() - L.indexEntries - used) << "free space of page " << number;
    return page;
}

class CreatedIndexTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testing_support::TempDir;
        // Enough rows for three levels: about 400 keys a leaf and 278 children an intermediate page.
        jet::BankBuilder builder = jet::BankBuilder::create(*dir_ / "data.mdb");
        for (std::uint32_t i = 1; i <= kRows; ++i)
            builder.append(i % 7 == 0 ? std::string() : "第" + std::to_string(i) + "题：长江是中国最长的河流吗？");
        builder.finish();
        db_ = jet::Database::open(*dir_ / "data.mdb").release();
    }
    static void TearDownTestSuite() {
        delete db_;
        delete dir_;
    }
    static constexpr std::uint32_t kRows = 120000;
    static inline testing_support::TempDir* dir_ = nullptr;
    static inline jet::Database* db_ = nullptr;
};

TEST_F(CreatedIndexTest, PrimaryKeyIsABalancedTreeOverEveryId) {
    const jet::TableDef& tiku = db_->table("tiku");
    std::vector<std::uint32_t> leaves;
    std::vector<Entry> keys;
    int leafDepth = -1;
    // Walks the tree; returns the last entry under a page, which its parent must repeat.
    std::function<Entry(std::uint32_t, int)> walk = [&](std::uint32_t number, int depth) -> Entry {
        const IndexPage page = readIndexPage(*db_, number);
        EXPECT_EQ(page.parent, tiku.definitionPage) << "page " << number;
        EXPECT_EQ(page.tail, 0u) << "page " << number;
        EXPECT_FALSE(page.entries.empty() && keys.size() < kRows) << "empty page " << number;
        if (page.type == 0x04) {
            if (leafDepth < 0) leafDepth = depth;
            EXPECT_EQ(depth, leafDepth) << "leaves at different depths";
            leaves.push_back(number);
            keys.insert(keys.end(), page.entries.begin(), page.entries.end());
        } else {
            for (const Entry& e : page.entries) {
                const Entry last = walk(e.child, depth + 1);
                EXPECT_EQ(e.key, last.key) << "intermediate entry must name its child's last key";
                EXPECT_EQ(e.page, last.page);
                EXPECT_EQ(e.row, last.row);
            }
        }
        return page.entries.empty() ? Entry{} : page.entries.back();
    };
    walk(tiku.indexes.at(0).firstPage, 0);
    EXPECT_EQ(leafDepth, 2) << "root, one level of intermediate pages, leaves";

    ASSERT_EQ(keys.size(), kRows);
    std::vector<jet::Value> row;
    for (std::uint32_t i = 0; i < kRows; ++i) {
        ASSERT_EQ(keys[i].key, std::int32_t(i + 1)) << "keys in order, each once";
        ASSERT_TRUE(db_->readRow(tiku, {keys[i].page, keys[i].row}, row));
        ASSERT_EQ(row[0], jet::Value(std::int64_t(i + 1))) << "entry " << i << " points at the wrong row";
    }
    // Leaves are linked both ways in key order.
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const IndexPage page = readIndexPage(*db_, leaves[i]);
        EXPECT_EQ(page.prev, i == 0 ? 0 : leaves[i - 1]);
        EXPECT_EQ(page.next, i + 1 == leaves.size() ? 0 : leaves[i + 1]);
    }
}

TEST_F(CreatedIndexTest, UsageMapNamesExactlyTheDataPages) {
    const jet::TableDef& tiku = db_->table("tiku");
    std::set<std::uint32_t> owned;
    for (std::uint32_t p = 0; p < db_->header().pageCount; ++p) {
        const auto page = db_->page(p);
        if (page[0] == 0x01 && le32(page, L.dataOwner) == tiku.definitionPage) owned.insert(p);
    }
    EXPECT_GT(owned.size(), 512u) << "enough pages for a map by reference";
    EXPECT_EQ(std::set<std::uint32_t>(tiku.dataPages.begin(), tiku.dataPages.end()), owned);
}

TEST(CreatedIndex, EmptyTableHasAnEmptyLeafAsRoot) {
    testing_support::TempDir dir;
    jet::writeBank(dir / "data.mdb", {});
    auto db = jet::Database::open(dir / "data.mdb");
    const IndexPage root = readIndexPage(*db, db->table("tiku").indexes.at(0).firstPage);
    EXPECT_EQ(root.type, 0x04);
    EXPECT_TRUE(root.entries.empty());
    EXPECT_TRUE(db->table("tiku").dataPages.empty());
}

}  // namespace
