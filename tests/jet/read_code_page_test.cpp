// Access 97 keeps text as 8-bit bytes in the code page its header names; a bank made on a Chinese
// system holds GBK (code page 936) bytes, which the reader turns into UTF-8.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "jet/database.h"
#include "jet/format.h"
#include "jet/header_reader.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

struct CodePageCase {
    const char* name;
    std::uint16_t codePage;
    std::string stored;    // 7 bytes in place of "abcdefg"
    std::string expected;  // UTF-8
};

class Jet3CodePage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(Jet3CodePage, TextIsConvertedFromTheFilesCodePage) {
    TESSARIN_REQUIRE_FIXTURES();
    const CodePageCase& c = GetParam();
    std::string bytes;
    {
        std::ifstream in(fixturesDir() / "testV1997.mdb", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::uint8_t> page0(bytes.begin(), bytes.begin() + 2048);
    jet::detail::toggleHeaderMask(page0, 3);
    page0[jet::format::CodePageOffset] = std::uint8_t(c.codePage);
    page0[jet::format::CodePageOffset + 1] = std::uint8_t(c.codePage >> 8);
    jet::detail::toggleHeaderMask(page0, 3);
    std::copy(page0.begin(), page0.end(), bytes.begin());
    const auto at = bytes.find("abcdefg");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(c.stored.size(), 7u);
    bytes.replace(at, 7, c.stored);
    TempDir dir;
    const auto file = dir / "data.mdb";
    std::ofstream(file, std::ios::binary) << bytes;

    auto db = jet::Database::open(file);
    EXPECT_EQ(db->header().codePage, c.codePage);
    auto reader = db->read("Table1");
    std::vector<jet::Value> row;
    std::vector<std::string> texts;
    while (reader.next(row)) texts.push_back(std::get<std::string>(row[0]));
    EXPECT_NE(std::find(texts.begin(), texts.end(), c.expected), texts.end()) << texts[0] << " / " << texts[1];
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Jet3CodePage,
    ::testing::Values(CodePageCase{"Gbk936", 936, "\xD6\xD0\xCE\xC4\xCC\xE2" "a", "中文题a"},
                      CodePageCase{"Western1252", 1252, "caf\xE9 \x80!", "café €!"},
                      CodePageCase{"Cyrillic1251", 1251, "\xCC\xE8\xF0 ok!", "Мир ok!"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
