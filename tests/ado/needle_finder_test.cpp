// Finding a lower-cased needle in a cell, compared with the plain definition: the first offset at or
// after from where the cell, its ASCII capitals folded when the cell asks for it, holds the needle.
#include "ado/needle_finder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::size_t plainFind(const std::string& text, bool fold, const std::string& needle, std::size_t from) {
    std::string folded = text;
    if (fold)
        for (char& c : folded) c = ado::foldAscii(c);
    return folded.find(needle, from);
}

struct Case {
    const char* name;
    std::string text;
    bool fold;
    std::string needle;
    std::size_t from;
};

class NeedleFinderCases : public testing::TestWithParam<Case> {};

TEST_P(NeedleFinderCases, FindsTheFirstOccurrenceAtOrAfterFrom) {
    const Case& c = GetParam();
    const ado::NeedleFinder finder(c.needle);
    EXPECT_EQ(finder.find({c.text, c.fold}, c.from), plainFind(c.text, c.fold, c.needle, c.from));
}

const std::string kLong(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cells, NeedleFinderCases,
    testing::Values(Case{"AtTheStart", "光合作用", false, "光合", 0}, Case{"AtTheEnd", "光合作用", false, "作用", 0},
                    Case{"Absent", "光合作用", false, "叶绿", 0}, Case{"LongerThanTheCell", "光合", false, "光合作用", 0},
                    Case{"WholeCell", "光合作用", false, "光合作用", 0},
                    Case{"FoldedCapitals", "USE WINDOWS 11", true, "windows", 0},
                    Case{"CapitalsNotFoldedWhenTheCellSaysNot", "windows WINDOWS", false, "windows", 1},
                    Case{"FromPastTheFirst", "abcabcabc", false, "abc", 1}, Case{"FromAtAMatch", "abcabcabc", false, "abc", 3},
                    Case{"FromAtTheEnd", "abc", false, "abc", 3}, Case{"FromBeyondTheEnd", "abc", false, "abc", 4},
                    Case{"OneByte", "Xyz", true, "x", 0}, Case{"TwoBytes", "aXYb", true, "xy", 0},
                    Case{"OverlappingPrefix", "aaaab", false, "aaab", 0},
                    Case{"NeedleLongerThanTheShiftCap", kLong + "y" + kLong + "z", false, kLong + "z", 0},
                    Case{"CapitalUnderTheLastByte", "ABD ABC", true, "abc", 0},
                    Case{"EmptyCell", "", false, "abc", 0}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Random cells over a small alphabet of ASCII letters in both cases and multi-byte characters, so that
// near-misses and shifts of every length occur often.
TEST(NeedleFinder, AgreesWithThePlainDefinitionOnRandomCells) {
    const std::vector<std::string> pieces = {"a", "b", "A", "B", " ", "的", "是", "中", "ａ"};
    std::mt19937 random(20261211);
    const auto make = [&](std::size_t maxPieces, bool lowerOnly) {
        std::string out;
        const std::size_t n = random() % (maxPieces + 1);
        for (std::size_t i = 0; i < n; ++i) {
            std::string piece = pieces[random() % pieces.size()];
            if (lowerOnly)
                for (char& c : piece) c = ado::foldAscii(c);
            out += piece;
        }
        return out;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string needle = make(5, true);
        if (needle.empty()) continue;
        const bool fold = random() % 2 == 0;
        std::string text = make(40, false);
        if (!fold)
            for (char& c : text) c = ado::foldAscii(c);  // such a cell holds no capitals
        const std::size_t from = random() % (text.size() + 2);
        const ado::NeedleFinder finder(needle);
        ASSERT_EQ(finder.find({text, fold}, from), plainFind(text, fold, needle, from))
            << "text \"" << text << "\" needle \"" << needle << "\" from " << from << " fold " << fold;
    }
}

}  // namespace
