// The text operations under LCase, UCase, InStr, Len, Mid and the text comparisons.
#include <gtest/gtest.h>

#include <string>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "ado/sql/text.h"

namespace {

using namespace ado::sql;

std::string utf8(UChar32 c) {
    char buffer[4];
    std::size_t length = 0;
    UBool error = false;
    U8_APPEND(buffer, length, 4, c, error);
    return error ? std::string() : std::string(buffer, length);
}

// Every character maps as ICU's one-to-one mapping says, whatever stands beside it.
TEST(CaseMapping, AgreesWithIcuForEveryCharacter) {
    std::string all, lower, upper;
    for (UChar32 c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        all += utf8(c);
        lower += utf8(u_tolower(c));
        upper += utf8(u_toupper(c));
    }
    std::string out;
    lowerCase(all, out);
    EXPECT_TRUE(out == lower);
    upperCase(all, out);
    EXPECT_TRUE(out == upper);
}

TEST(CaseMapping, MixedScriptsAndReusedBuffers) {
    std::string out = "left over from before, longer than the result";
    lowerCase("中A文Ｂ ΣΑΣ Ёж İ", out);
    EXPECT_EQ(out, "中a文ｂ σασ ёж i");
    lowerCase("", out);
    EXPECT_EQ(out, "");
    upperCase("abc", out);
    EXPECT_EQ(out, "ABC");
    EXPECT_EQ(lowerCase("ABC题目"), "abc题目");
}

TEST(CaseMapping, DamagedTextDoesNotCrash) {
    std::string out;
    lowerCase("A\xff\xe4\xb8", out);
    EXPECT_EQ(out.substr(0, 1), "a");
}

TEST(Utf16, LengthsAndSlices) {
    EXPECT_EQ(utf16Length(""), 0u);
    EXPECT_EQ(utf16Length("aé题😀"), 5u);
    EXPECT_EQ(substringUnits("aé题😀b", 2, 3), "题😀");
    EXPECT_EQ(substringUnits("a😀b", 1, 1), "");    // half a pair is left out
    EXPECT_EQ(substringUnits("a😀b", 2, 2), "b");   // a start inside a pair moves on
    EXPECT_EQ(substringUnits("abc", 5, 2), "");
}

struct FindCase {
    std::string haystack, needle;
    std::size_t start;
    bool caseless;
    std::size_t expected;
};

class FindText : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindText, GivesTheUtf16Position) {
    const FindCase& c = GetParam();
    EXPECT_EQ(findText(c.haystack, c.needle, c.start, c.caseless), c.expected) << c.haystack << " / " << c.needle;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindText,
    ::testing::Values(FindCase{"abcabc", "c", 1, false, 3}, FindCase{"abcabc", "c", 4, false, 6},
                      FindCase{"abcabc", "C", 1, false, 0}, FindCase{"abcabc", "C", 1, true, 3},
                      FindCase{"😀题目题目", "题目", 1, false, 3}, FindCase{"😀题目题目", "题目", 4, false, 5},
                      FindCase{"😀x", "x", 2, false, 3}, FindCase{"ΑΒΓ", "βγ", 1, true, 2},
                      FindCase{"abc", "", 3, false, 3}, FindCase{"abc", "", 4, true, 4}, FindCase{"abc", "", 5, false, 0},
                      FindCase{"", "", 1, false, 1}, FindCase{"", "a", 1, true, 0}, FindCase{"ab", "abc", 1, true, 0}));

TEST(CompareText, IgnoresLetterCaseOnly) {
    EXPECT_EQ(compareText("abc", "ABC"), 0);
    EXPECT_EQ(compareText("ＡＢＣ", "ａｂｃ"), 0);
    EXPECT_EQ(compareText("Straße", "STRASSE") != 0, true);  // one-to-one folding: ß is not ss
    EXPECT_LT(compareText("a", "B"), 0);
    EXPECT_GT(compareText("ab", "A"), 0);
    EXPECT_LT(compareText("", "a"), 0);
    EXPECT_NE(compareText("ａ", "a"), 0);  // width is not folded
    std::string folded;
    foldCase("ΣΑΣ Abc", folded);
    std::string other;
    foldCase("σας aBC", other);
    EXPECT_EQ(folded, other);
}

}  // namespace
