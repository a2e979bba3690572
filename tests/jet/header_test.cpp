// What the reader finds in the header page of each real Access file.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "support/test_support.h"

namespace {

using testing_support::fixturesDir;

struct HeaderCase {
    const char* file;
    int version;
    std::uint32_t pageSize;
    std::uint32_t pageCount;
};

class HeaderFacts : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderFacts, MatchTheFile) {
    TESSARIN_REQUIRE_FIXTURES();
    const HeaderCase& c = GetParam();
    auto db = jet::Database::open(fixturesDir() / c.file);
    const jet::FileHeader& h = db->header();
    EXPECT_EQ(h.version, c.version);
    EXPECT_EQ(h.versionByte, c.version == 3 ? 0 : 1);
    EXPECT_EQ(h.pageSize, c.pageSize);
    EXPECT_EQ(h.pageCount, c.pageCount);
    EXPECT_EQ(std::uintmax_t(h.pageCount) * h.pageSize, std::filesystem::file_size(fixturesDir() / c.file));
    // Every one of these files was made on a Western European system with the General sort order.
    EXPECT_EQ(h.codePage, 1252);
    EXPECT_EQ(h.sortOrder, 1033);
    EXPECT_FALSE(h.hasPassword);
    EXPECT_EQ(h.databaseKey, 0u);
    if (c.version == 4) {
        EXPECT_GT(h.creationDate, 36000.0);  // after 1998
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, HeaderFacts,
                         ::testing::Values(HeaderCase{"testV1997.mdb", 3, 2048, 58},
                                           HeaderCase{"delTestV1997.mdb", 3, 2048, 32},
                                           HeaderCase{"overflowTestV1997.mdb", 3, 2048, 32},
                                           HeaderCase{"testV2000.mdb", 4, 4096, 743},
                                           HeaderCase{"indexTestV2000.mdb", 4, 4096, 72},
                                           HeaderCase{"testUnicodeCompV2003.mdb", 4, 4096, 72},
                                           HeaderCase{"empty2000.mdb", 4, 4096, 24},
                                           HeaderCase{"emptyJet4.mdb", 4, 4096, 19}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
