// The scan of a statement for parameter markers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/data/parameter_scan.h"

namespace {

struct ScanCase {
    const char* title;
    std::string statement;
    std::string text;
    std::vector<std::string> names;
};

void PrintTo(const ScanCase& c, std::ostream* out)
{
    *out << c.title;
}

class ParameterScan : public testing::TestWithParam<ScanCase> {};

TEST_P(ParameterScan, GivesTextAndNames)
{
    const ScanCase& c = GetParam();
    const vcl::ScannedStatement scanned = vcl::scanParameters(c.statement);
    EXPECT_EQ(scanned.text, c.text);
    EXPECT_EQ(scanned.names, c.names);
}

const std::string kSearch = "select 题目 from tiku where 题目 like \"%";

INSTANTIATE_TEST_SUITE_P(
    Cases, ParameterScan,
    testing::Values(
        ScanCase{"no markers", "select * from tiku\r\n", "select * from tiku\r\n", {}},
        ScanCase{"empty text", "", "", {}},
        ScanCase{"a marker ends at a blank", "select * from t where a = :x and b", "select * from t where a = ? and b", {"x"}},
        ScanCase{"markers end at ) , ; CR LF",
                 "f(:a,:b);:c\r\n:d\n:e)", "f(?,?);?\r\n?\n?)", {"a", "b", "c", "d", "e"}},
        ScanCase{"a marker at the end of the text", "where a=:last", "where a=?", {"last"}},
        ScanCase{"two colons become one", "select a::b from t", "select a:b from t", {}},
        ScanCase{"three colons: one colon and a marker", "x:::y", "x:?", {"y"}},
        ScanCase{"a lone colon is a marker without a name", "a : b", "a ? b", {""}},
        ScanCase{"colon inside double quotes is text", kSearch + "a:b%\"\r\n", kSearch + "a:b%\"\r\n", {}},
        ScanCase{"colon inside apostrophes is text", "where a = 'x:y'", "where a = 'x:y'", {}},
        ScanCase{"colon inside grave accents is text", "select `a:b` from t", "select `a:b` from t", {}},
        ScanCase{"apostrophe then colon inside double quotes stays text",
                 kSearch + "it's: now%\"\r\n", kSearch + "it's: now%\"\r\n", {}},
        ScanCase{"grave accent then colon inside double quotes stays text",
                 kSearch + "`a:b%\"\r\n", kSearch + "`a:b%\"\r\n", {}},
        ScanCase{"double quote then colon inside apostrophes stays text", "where a = 'say \":x'", "where a = 'say \":x'", {}},
        ScanCase{"doubled quote keeps the literal open", "where a = \"x\"\":y\"", "where a = \"x\"\":y\"", {}},
        ScanCase{"a colon after a closed literal is a marker", "where a = \"x\" and b = :p", "where a = \"x\" and b = ?", {"p"}},
        ScanCase{"two colons inside a literal stay two", "where a = 'x::y'", "where a = 'x::y'", {}},
        ScanCase{"an unclosed literal runs to the end", "where a = \"x :y", "where a = \"x :y", {}},
        ScanCase{"a quoted name loses its quotes", "where a = :\"my name\" and b", "where a = ? and b", {"my name"}},
        ScanCase{"a quoted name with a doubled quote", "where a = :'o''k'", "where a = ?", {"o'k"}},
        ScanCase{"a quote inside a marker keeps delimiters in the name", "where a = :x'y z' and b", "where a = ? and b", {"x'y z'"}},
        ScanCase{"Chinese text around a marker", "题目 = :名字 或", "题目 = ? 或", {"名字"}}));

}  // namespace
