// The search index alone: which rows a lower-cased needle finds, with and without a narrowing set.
#include "ado/search_index.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ado/sql/text.h"

namespace {

using Rows = std::vector<std::uint32_t>;

ado::TextColumn columnOf(const std::vector<std::optional<std::string>>& cells) {
    ado::TextColumn column;
    for (const auto& cell : cells) {
        if (cell)
            column.append(*cell);
        else
            column.appendNull();
    }
    return column;
}

const std::vector<std::optional<std::string>> kCells = {
    "光合作用发生在叶绿体中",  // 0
    std::nullopt,              // 1
    "",                        // 2
    "CPU 是计算机的核心",      // 3
    "cpu频率",                 // 4
    "ΣΟΦΙΑ σοφία",             // 5
    "全角ＡＢＣ与半角ABC",     // 6
    "他说：\"对\"",            // 7
    "叶绿体 叶绿素",           // 8
    "Straße",                  // 9
};

struct Case {
    const char* needle;  // as typed; lower-cased as LCase does before searching
    Rows expected;
    friend void PrintTo(const Case& c, std::ostream* out) { *out << c.needle; }
};

class SearchIndexFinds : public ::testing::TestWithParam<Case> {};

TEST_P(SearchIndexFinds, TheRowsHoldingTheNeedle) {
    const ado::TextColumn column = columnOf(kCells);
    const ado::SearchIndex index(column);
    EXPECT_EQ(index.find(ado::sql::lowerCase(GetParam().needle)).rows, GetParam().expected) << GetParam().needle;
}

INSTANTIATE_TEST_SUITE_P(
    Needles, SearchIndexFinds,
    ::testing::Values(Case{"叶", {0, 8}}, Case{"叶绿体", {0, 8}}, Case{"叶绿体中", {0}}, Case{"绿叶", {}},
                      Case{"CPU", {3, 4}}, Case{"cPu", {3, 4}}, Case{"计算机", {3}}, Case{" ", {3, 5, 8}},
                      Case{"σοφ", {5}}, Case{"ΣΟΦΊΑ", {5}}, Case{"ａｂｃ", {6}}, Case{"ABC", {6}}, Case{"ab", {6}},
                      Case{"\"", {7}}, Case{"：\"对", {7}}, Case{"z", {}}, Case{"strasse", {}}, Case{"straße", {9}},
                      Case{"作用发生在叶绿体中", {0}}, Case{"光合作用发生在叶绿体中。", {}}));

TEST(SearchIndex, NarrowsToTheEarlierMatches) {
    const ado::TextColumn column = columnOf(kCells);
    const ado::SearchIndex index(column);
    const ado::Matches earlier{{0, 3}, {}};
    EXPECT_EQ(index.find("叶", &earlier, "叶").rows, Rows{0});
    EXPECT_EQ(index.find("叶绿", &earlier, "叶").rows, Rows{0});
    const ado::Matches none;
    EXPECT_EQ(index.find("叶", &none, "叶").rows, Rows{});
}

TEST(SearchIndex, GoesOnFromWhereTheShorterNeedleWasFound) {
    // "ab" first occurs before "abc" does: the longer needle is looked for again further on.
    const ado::TextColumn column = columnOf({"xxabyyABCzz", "ab", "ABD abc", "AB"});
    const ado::SearchIndex index(column);
    const ado::Matches ab = index.find("ab");
    ASSERT_EQ(ab.rows, (Rows{0, 1, 2, 3}));
    const ado::Matches abc = index.find("abc", &ab, "ab");
    EXPECT_EQ(abc.rows, (Rows{0, 2}));
    EXPECT_EQ(abc.positions, (Rows{6, 4}));
    EXPECT_EQ(index.find("abcz", &abc, "abc").rows, Rows{0});
}

TEST(SearchIndex, StoresOnlyTheCellsWhoseNonAsciiLettersChangeCase) {
    const ado::TextColumn column = columnOf(kCells);
    const ado::SearchIndex index(column);
    // Rows 5 (Greek) and 6 (full-width capitals) are stored lower-cased; rows 3 and 9 have only ASCII
    // capitals, folded while reading; the others are read as they are.
    EXPECT_EQ(index.lowered().storedRows(), 2u);
    EXPECT_EQ(index.lowered().foldedRows(), 2u);
    EXPECT_EQ(index.lowered().at(5).text, "σοφια σοφία");
    EXPECT_TRUE(index.lowered().at(3).foldAscii);
    EXPECT_EQ(index.lowered().at(0).text, kCells[0]);
    EXPECT_FALSE(index.lowered().at(0).foldAscii);
}

TEST(SearchIndex, ManyRowsOverBothCoresKeepSourceOrder) {
    // Enough rows for the work to be split; every third row holds the needle.
    std::vector<std::optional<std::string>> cells;
    Rows expected;
    for (std::uint32_t row = 0; row < 200000; ++row) {
        if (row % 3 == 0) {
            cells.push_back("第" + std::to_string(row) + "题：ＤＮＡ的结构");
            expected.push_back(row);
        } else {
            cells.push_back(row % 7 == 0 ? std::nullopt : std::optional<std::string>("第" + std::to_string(row) + "题：DNA"));
        }
    }
    const ado::TextColumn column = columnOf(cells);
    const ado::SearchIndex index(column);
    EXPECT_EQ(index.find(ado::sql::lowerCase("ＤＮＡ的")).rows, expected);
    EXPECT_EQ(index.find(ado::sql::lowerCase("Ｄ")).rows, expected);
}

}  // namespace
