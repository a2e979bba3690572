// Reading real Access files: export's JSON forms, and tables and counts as mdbtools sees them.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "tool_run.h"

using tool_test::runTool;

namespace {

std::string fixture(const std::string& name) { return (testing_support::fixturesDir() / name).string(); }

bool haveMdbTools() { return testing_support::runCommand("command -v mdb-count >/dev/null 2>&1").exitCode == 0; }

TEST(ExportFixtures, EveryColumnTypeOfAccess2000)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto result = runTool({"export", fixture("testV2000.mdb"), "Table1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"A\":\"abcdefg\",\"B\":\"hijklmnop\",\"C\":2,\"D\":222,\"E\":333333333,\"F\":444.555,"
              "\"G\":\"1974-09-21T00:00:00\",\"H\":3.5,\"I\":true}\n"
              "{\"A\":\"a\",\"B\":\"b\",\"C\":0,\"D\":0,\"E\":0,\"F\":0,\"G\":\"1981-12-12T00:00:00\",\"H\":0,\"I\":false}\n");
}

TEST(ExportFixtures, EveryColumnTypeOfAccess97)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto result = runTool({"export", fixture("testV1997.mdb"), "Table1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"A\":\"a\",\"B\":\"b\",\"C\":0,\"D\":0,\"E\":0,\"F\":0,\"G\":\"1981-12-12T00:00:00\",\"H\":0,\"I\":false}\n"
              "{\"A\":\"abcdefg\",\"B\":\"hijklmnop\",\"C\":2,\"D\":222,\"E\":333333333,\"F\":444.555,"
              "\"G\":\"1974-09-21T00:00:00\",\"H\":3.5,\"I\":true}\n");
}

TEST(ExportFixtures, NullsAsNull)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto rows = tool_test::lines(runTool({"export", fixture("overflowTestV2000.mdb"), "Table1"}).out);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].rfind("{\"data1\":\"row1col1\",\"data3\":null,\"data4\":null", 0), 0u) << rows[0];
}

TEST(ExportFixtures, UnicodeTextAndControlCharacters)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto result = runTool({"export", fixture("testUnicodeCompV2003.mdb"), "Table"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto rows = tool_test::lines(result.out);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[2], "{\"ID\":3,\"Unicode\":\"Мир\"}");
    EXPECT_EQ(rows[4], "{\"ID\":5,\"Unicode\":\"漢字仮名交じり文\"}");
    EXPECT_EQ(rows[5], "{\"ID\":6,\"Unicode\":\"3L9\\u001d52\\u0002_AB(¥\\u0005!!V\"}");
    EXPECT_EQ(rows[7].rfind("{\"ID\":8,\"Unicode\":\"\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007\\b\\t\\n\\u000b\\f"
                            "\\r\\u000e\\u000f\\u0010\\u0011\\u0012\\u0013\\u0014\\u0015\\u0016\\u0017\\u0018\\u0019"
                            "\\u001a\\u001b\\u001c\\u001d\\u001e\\u001f !\\\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\\\]^_`",
                            0),
              0u)
        << rows[7];
    for (std::size_t i = 0; i + 1 < result.out.size(); ++i)
        ASSERT_FALSE(static_cast<unsigned char>(result.out[i]) < 0x20 && result.out[i] != '\n') << "raw control byte at " << i;
}

TEST(ExportFixtures, DeletedRowsLeftOut)
{
    TESSARIN_REQUIRE_FIXTURES();
    for (const char* file : {"delTestV1997.mdb", "delTestV2000.mdb"})
        EXPECT_EQ(runTool({"export", fixture(file), "Table"}).out, "{\"a\":\"z\",\"b\":\"y\"}\n{\"a\":\"v\",\"b\":\"u\"}\n") << file;
}

class AgreesWithMdbTools : public testing::TestWithParam<std::string> {};

TEST_P(AgreesWithMdbTools, TablesAndRowCounts)
{
    TESSARIN_REQUIRE_FIXTURES();
    if (!haveMdbTools())
        GTEST_SKIP() << "mdbtools (mdb-tables, mdb-count) is not installed";
    std::string file = fixture(GetParam());
    auto tables = runTool({"tables", file});
    ASSERT_EQ(tables.exitCode, 0) << tables.err;
    EXPECT_EQ(tables.out, testing_support::runCommand("mdb-tables -1 " + testing_support::shellQuote(file)).out);
    for (const auto& table : tool_test::lines(tables.out)) {
        auto count = runTool({"count", file, table});
        EXPECT_EQ(count.out, testing_support::runCommand("mdb-count " + testing_support::shellQuote(file) + " " +
                                                         testing_support::shellQuote(table)).out)
            << table;
        auto rows = tool_test::lines(runTool({"export", file, table}).out);
        EXPECT_EQ(std::to_string(rows.size()) + "\n", count.out) << table;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, AgreesWithMdbTools,
                         testing::Values("testV1997.mdb", "testV2000.mdb", "delTestV1997.mdb", "delTestV2000.mdb",
                                         "overflowTestV1997.mdb", "overflowTestV2000.mdb", "indexTestV2000.mdb",
                                         "compIndexTestV2000.mdb", "fixedTextTestV2000.mdb", "testUnicodeCompV2003.mdb",
                                         "empty2000.mdb", "emptyJet4.mdb"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(SchemaFixtures, AccessTypeNames)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto result = runTool({"schema", fixture("testV2000.mdb"), "Table1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line : {"[A] Text (50)", "[C] Byte", "[D] Integer", "[E] Long Integer", "[F] Double", "[G] Date/Time",
                             "[H] Currency", "[I] Yes/No", "PRIMARY KEY ([A])"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
}

}  // namespace
