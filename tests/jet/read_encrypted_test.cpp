// Files whose header holds a database key have every page after the first RC4-encrypted with that key
// mixed with the page number; the reader decrypts them and reads the same rows (as mdbtools does).
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include "jet/database.h"
#include "jet/format.h"
#include "jet/header_reader.h"
#include "jet/rc4.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

std::vector<std::vector<jet::Value>> rowsOf(const std::filesystem::path& file, const std::string& table) {
    auto db = jet::Database::open(file);
    std::vector<std::vector<jet::Value>> rows;
    auto reader = db->read(table);
    std::vector<jet::Value> row;
    while (reader.next(row)) rows.push_back(row);
    return rows;
}

class EncryptedPages : public ::testing::TestWithParam<const char*> {};

TEST_P(EncryptedPages, ReadAsThePlainFile) {
    TESSARIN_REQUIRE_FIXTURES();
    std::string bytes;
    {
        std::ifstream in(fixturesDir() / GetParam(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const int version = bytes[jet::format::VersionOffset] == 0 ? 3 : 4;
    const std::size_t pageSize = version == 3 ? 2048 : 4096;
    const std::uint32_t key = 0x5eed1234;
    std::vector<std::uint8_t> page0(bytes.begin(), bytes.begin() + std::ptrdiff_t(pageSize));
    jet::detail::toggleHeaderMask(page0, version);
    for (int i = 0; i < 4; ++i) page0[jet::format::DatabaseKeyOffset + std::size_t(i)] = std::uint8_t(key >> (8 * i));
    jet::detail::toggleHeaderMask(page0, version);
    std::copy(page0.begin(), page0.end(), bytes.begin());
    for (std::size_t n = 1; n < bytes.size() / pageSize; ++n) {
        const auto pageKey = std::uint32_t(key ^ n);
        const std::array<std::uint8_t, 4> k{std::uint8_t(pageKey), std::uint8_t(pageKey >> 8), std::uint8_t(pageKey >> 16),
                                            std::uint8_t(pageKey >> 24)};
        jet::detail::rc4Apply(k, std::span(reinterpret_cast<std::uint8_t*>(bytes.data()) + n * pageSize, pageSize));
    }
    TempDir dir;
    const auto file = dir / GetParam();
    std::ofstream(file, std::ios::binary) << bytes;

    auto db = jet::Database::open(file);
    EXPECT_EQ(db->header().databaseKey, key);
    EXPECT_EQ(db->tableNames(), jet::Database::open(fixturesDir() / GetParam())->tableNames());
    EXPECT_EQ(rowsOf(file, "Table1"), rowsOf(fixturesDir() / GetParam(), "Table1"));
    // mdbtools decrypts such files the same way.
    if (runCommand("command -v mdb-json >/dev/null 2>&1").exitCode == 0) {
        const auto theirs = runCommand("mdb-json " + shellQuote(file.string()) + " Table1 2>/dev/null");
        EXPECT_NE(theirs.out.find("\"A\":\"abcdefg\""), std::string::npos) << theirs.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EncryptedPages, ::testing::Values("testV1997.mdb", "testV2000.mdb"),
                         [](const auto& info) { return std::string(info.param).substr(0, 9); });

}  // namespace
