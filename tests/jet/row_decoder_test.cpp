// Rows laid out by hand as the file format describes them, for what the real files do not hold: Jet 3
// rows longer than 256 bytes (the offset jump table, with and without its dummy entry) and the
// Decimal, Single, GUID and binary types of Jet 4.
#include <gtest/gtest.h>

#include "jet/database_state.h"
#include "jet/error.h"
#include "jet/header_reader.h"
#include "jet/row_decoder.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;
using Bytes = std::vector<std::uint8_t>;

std::shared_ptr<jet::detail::DatabaseState> stateOf(const char* fixture) {
    auto db = std::make_shared<jet::detail::DatabaseState>(fixturesDir() / fixture);
    db->header = jet::detail::readFileHeader(db->image.bytes(), db->path());
    db->layout = &jet::format::layoutFor(db->header.version);
    return db;
}

jet::ColumnDef column(const char* name, jet::ColumnType type, std::uint16_t number, bool fixed,
                      std::uint16_t place) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.number = number;
    c.fixed = fixed;
    (fixed ? c.fixedOffset : c.varIndex) = place;
    c.size = jet::fixedSizeOf(type);
    return c;
}

struct JumpCase {
    const char* name;
    std::vector<std::size_t> lengths;  // of the variable text columns, in order
    std::size_t expectedRowSize;
};

class Jet3LongRow : public ::testing::TestWithParam<JumpCase> {};

// Jet 3: count(1) | data | eod, offsets (1 byte each, last column first) | jump table | var count | mask.
// The jump table lists, nearest to the count first, the first column whose offset passes each multiple
// of 256; its length follows from the row size, so it may end in a dummy 0xff.
TEST_P(Jet3LongRow, OffsetsBeyond256BytesUseTheJumpTable) {
    TESSARIN_REQUIRE_FIXTURES();
    const JumpCase& c = GetParam();
    const std::size_t n = c.lengths.size();
    jet::TableDef table;
    table.name = "t";
    table.varColumns = std::uint16_t(n);
    std::vector<std::size_t> offsets{1};
    for (std::size_t i = 0; i < n; ++i) {
        table.columns.push_back(column("c", jet::ColumnType::Text, std::uint16_t(i), false, std::uint16_t(i)));
        offsets.push_back(offsets.back() + c.lengths[i]);
    }
    const std::size_t eod = offsets.back();
    const std::size_t maskSize = (n + 7) / 8;
    // Find the jump count that agrees with the row size it produces.
    std::size_t jumps = 0;
    while ((eod + (n + 1) + jumps + 1 + maskSize - 1) / 256 != jumps) ++jumps;
    const std::size_t size = eod + (n + 1) + jumps + 1 + maskSize;
    ASSERT_EQ(size, c.expectedRowSize);

    Bytes row(size, 0);
    row[0] = std::uint8_t(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = offsets[i]; k < offsets[i + 1]; ++k) row[k] = std::uint8_t('a' + i);
    // Offsets: column 0 nearest the jump table, eod first after the data.
    const std::size_t firstOffset = size - maskSize - 1 - jumps - 1;
    for (std::size_t i = 0; i <= n; ++i) row[firstOffset - i] = std::uint8_t(offsets[i] & 0xff);
    for (std::size_t j = 0; j < jumps; ++j) {
        std::uint8_t first = 0xff;  // dummy when nothing passes this step
        for (std::size_t i = 0; i <= n; ++i)
            if (offsets[i] >= 256 * (j + 1)) {
                first = std::uint8_t(i);
                break;
            }
        row[size - maskSize - 2 - j] = first;
    }
    row[size - maskSize - 1] = std::uint8_t(n);
    for (std::size_t i = 0; i < n; ++i) row[size - maskSize + i / 8] |= std::uint8_t(1 << (i % 8));

    auto db = stateOf("testV1997.mdb");
    jet::detail::RowDecoder decoder(*db, table);
    std::vector<jet::Value> values;
    decoder.decode(row, 1, values);
    ASSERT_EQ(values.size(), n);
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_EQ(std::get<std::string>(values[i]), std::string(c.lengths[i], char('a' + i))) << "column " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, Jet3LongRow,
                         ::testing::Values(JumpCase{"Short", {10, 20}, 36}, JumpCase{"TwoJumps", {200, 200, 200}, 609},
                                           JumpCase{"DummyJump", {200, 200, 200, 164}, 775}),
                         [](const auto& info) { return std::string(info.param.name); });

// Jet 4: count(2) | fixed | var data | eod(2) | offsets (2 bytes each, last column first) | var count(2) | mask.
TEST(Jet4Row, DecimalSingleGuidAndBinary) {
    TESSARIN_REQUIRE_FIXTURES();
    jet::TableDef table;
    table.name = "t";
    table.varColumns = 1;
    table.columns = {column("n", jet::ColumnType::Numeric, 0, true, 0), column("s", jet::ColumnType::Single, 1, true, 17),
                     column("g", jet::ColumnType::Guid, 2, true, 21), column("b", jet::ColumnType::Binary, 3, false, 0)};
    table.columns[0].precision = 10;
    table.columns[0].scale = 2;
    Bytes row = {4, 0};
    // -123.45: sign 0x80, then four little-endian 32-bit words, the most significant first.
    const Bytes numeric = {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0};
    row.insert(row.end(), numeric.begin(), numeric.end());
    const Bytes single = {0, 0, 0xc0, 0x3f};  // 1.5f
    row.insert(row.end(), single.begin(), single.end());
    for (int i = 0; i < 16; ++i) row.push_back(std::uint8_t(i));
    ASSERT_EQ(row.size(), 39u);
    row.insert(row.end(), {1, 2, 0});  // the binary value
    row.insert(row.end(), {42, 0, 39, 0, 1, 0, 0x0f});  // eod, offset of column 0, var count, mask

    auto db = stateOf("testV2000.mdb");
    jet::detail::RowDecoder decoder(*db, table);
    std::vector<jet::Value> values;
    decoder.decode(row, 1, values);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(std::get<jet::Decimal>(values[0]).toString(), "-123.45");
    EXPECT_EQ(std::get<double>(values[1]), 1.5);
    EXPECT_EQ(std::get<jet::Guid>(values[2]).toString(), "{03020100-0504-0706-0809-0A0B0C0D0E0F}");
    EXPECT_EQ(std::get<jet::Bytes>(values[3]).data, std::string("\x01\x02\x00", 3));

    // Clearing a column's bit in the null mask makes it Null; a damaged offset is an error, not a read
    // outside the row.
    row.back() = 0x07;
    decoder.decode(row, 1, values);
    EXPECT_TRUE(jet::isNull(values[3]));
    row.back() = 0x0f;
    row[42] = 200;  // eod past the row
    EXPECT_THROW(decoder.decode(row, 1, values), jet::Error);
}

TEST(ValueText, DecimalCurrencyAndDates) {
    EXPECT_EQ((jet::Decimal{false, 18, 4, 5}).toString(), "0.0005");
    EXPECT_EQ((jet::Decimal{true, 18, 0, 0}).toString(), "0");
    EXPECT_EQ((jet::Decimal{false, 28, 0, (unsigned __int128)(1) << 96}).toString(), "79228162514264337593543950336");
    EXPECT_EQ((jet::Currency{-12345}).toString(), "-1.2345");
    EXPECT_EQ((jet::Currency{INT64_MIN}).toString(), "-922337203685477.5808");
    EXPECT_EQ((jet::DateTime{0}).toString(), "1899-12-30 00:00:00");
    EXPECT_EQ((jet::DateTime{36526.75}).toString(), "2000-01-01 18:00:00");
    EXPECT_EQ((jet::DateTime{-1.25}).toString(), "1899-12-29 06:00:00");
}

}  // namespace
