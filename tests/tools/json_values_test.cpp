// The JSON forms of every kind of value the tool prints.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "output/access_value_text.h"
#include "output/base64.h"
#include "output/json_row_writer.h"
#include "output/json_string.h"

namespace {

// Runs write against a buffer over a temporary file and returns what reached the file.
template <typename Write>
std::string captured(Write&& write)
{
    std::FILE* file = std::tmpfile();
    {
        tool::OutputBuffer out(fileno(file), 16);  // small, so that flushing mid-value is exercised too
        write(out);
        out.flush();
    }
    std::rewind(file);
    std::string text;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    std::fclose(file);
    return text;
}

std::string valueJson(const jet::Value& value, jet::ColumnType type = jet::ColumnType::Double)
{
    return captured([&](tool::OutputBuffer& out) { tool::JsonRowWriter::writeValue(out, value, type); });
}

struct DateCase {
    double days;
    const char* iso;
};
class IsoDate : public testing::TestWithParam<DateCase> {};

TEST_P(IsoDate, FollowsAccessDayNumbers)
{
    EXPECT_EQ(tool::isoDateTime(GetParam().days).value_or("none"), GetParam().iso);
}

INSTANTIATE_TEST_SUITE_P(Days, IsoDate,
                         testing::Values(DateCase{0, "1899-12-30T00:00:00"}, DateCase{27293, "1974-09-21T00:00:00"},
                                         DateCase{46367.75, "2026-12-11T18:00:00"},
                                         // before 1899-12-30 the fraction still counts forward in the day
                                         DateCase{-1.25, "1899-12-29T06:00:00"},
                                         DateCase{-0.5, "1899-12-30T12:00:00"},
                                         DateCase{1.0 / 86400 * 3661, "1899-12-30T01:01:01"},
                                         // a time that rounds up to midnight belongs to the next day
                                         DateCase{2.9999999999, "1900-01-02T00:00:00"},
                                         DateCase{-657434, "0100-01-01T00:00:00"},
                                         DateCase{2958465.9999884, "9999-12-31T23:59:59"}));

TEST(IsoDate, NoDateForNonNumbers)
{
    EXPECT_FALSE(tool::isoDateTime(std::nan("")));
    EXPECT_FALSE(tool::isoDateTime(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(valueJson(jet::DateTime{std::nan("")}), "null");
    EXPECT_EQ(valueJson(jet::DateTime{27293.5}), "\"1974-09-21T12:00:00\"");
}

TEST(CurrencyNumber, ExactDecimalWithoutTrailingZeros)
{
    EXPECT_EQ(tool::currencyNumber(35000), "3.5");
    EXPECT_EQ(tool::currencyNumber(0), "0");
    EXPECT_EQ(tool::currencyNumber(-1), "-0.0001");
    EXPECT_EQ(tool::currencyNumber(123456789), "12345.6789");
    EXPECT_EQ(tool::currencyNumber(-20000), "-2");
    EXPECT_EQ(tool::currencyNumber(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808");
}

TEST(GuidText, AsAccessShowsIt)
{
    std::array<std::uint8_t, 16> bytes;
    for (std::uint8_t i = 0; i < 16; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 0x11);
    EXPECT_EQ(tool::guidText(bytes), "{33221100-5544-7766-8899-AABBCCDDEEFF}");
    EXPECT_EQ(valueJson(jet::Guid{bytes}), "\"{33221100-5544-7766-8899-AABBCCDDEEFF}\"");
}

TEST(Base64, RfcVectors)
{
    auto encode = [](std::string_view bytes) {
        return captured([&](tool::OutputBuffer& out) { tool::writeBase64(out, bytes); });
    };
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("f"), "Zg==");
    EXPECT_EQ(encode("fo"), "Zm8=");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(encode(std::string("\0\xff\xfe", 3)), "AP/+");
    EXPECT_EQ(valueJson(jet::Bytes{"foob"}), "\"Zm9vYg==\"");
}

TEST(JsonString, EscapesEveryControlCharacter)
{
    for (int c = 0; c < 0x20; ++c) {
        std::string literal = tool::jsonString(std::string(1, static_cast<char>(c)));
        ASSERT_GE(literal.size(), 4u) << c;
        EXPECT_EQ(literal[1], '\\') << "character " << c;
        for (char ch : literal)
            EXPECT_GE(static_cast<unsigned char>(ch), 0x20) << "character " << c;
    }
    EXPECT_EQ(tool::jsonString("\x01"), "\"\\u0001\"");
    EXPECT_EQ(tool::jsonString("\x1f"), "\"\\u001f\"");
    EXPECT_EQ(tool::jsonString("a\nb\tc\r\b\f"), "\"a\\nb\\tc\\r\\b\\f\"");
    EXPECT_EQ(tool::jsonString("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(tool::jsonString("\x7f"), "\"\\u007f\"");
    EXPECT_EQ(tool::jsonString("水的化学式是什么？"), "\"水的化学式是什么？\"");
    EXPECT_EQ(tool::jsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonString, BufferedFormEqualsStringForm)
{
    std::string text = "长的文本\n带有\"引号\"和\\反斜杠\x02，" + std::string(100, 'x');
    EXPECT_EQ(captured([&](tool::OutputBuffer& out) { tool::writeJsonString(out, text); }), tool::jsonString(text));
}

TEST(JsonValue, ScalarsAndNull)
{
    EXPECT_EQ(valueJson(jet::Null{}), "null");
    EXPECT_EQ(valueJson(true), "true");
    EXPECT_EQ(valueJson(false), "false");
    EXPECT_EQ(valueJson(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808");
    EXPECT_EQ(valueJson(444.555), "444.555");
    EXPECT_EQ(valueJson(0.0), "0");
    EXPECT_EQ(valueJson(1e300), "1e+300");
    EXPECT_EQ(valueJson(static_cast<double>(1.1f), jet::ColumnType::Single), "1.1");
    EXPECT_EQ(valueJson(std::nan("")), "null");
    EXPECT_EQ(valueJson(jet::Currency{35000}), "3.5");
    EXPECT_EQ(valueJson(std::string("x\"y")), "\"x\\\"y\"");
    jet::Decimal decimal;
    decimal.negative = true;
    decimal.precision = 10;
    decimal.scale = 2;
    decimal.mantissa = 1250;
    EXPECT_EQ(valueJson(decimal), "-12.50");
}

TEST(JsonRow, KeysInColumnOrder)
{
    tool::JsonRowWriter writer({{"题目", jet::ColumnType::Memo}, {"ID", jet::ColumnType::Long}, {"a\"b", jet::ColumnType::Boolean}});
    std::string row = captured([&](tool::OutputBuffer& out) {
        writer.write(out, {std::string("问题"), std::int64_t{7}, true});
        writer.write(out, {jet::Null{}, std::int64_t{8}, false});
    });
    EXPECT_EQ(row, "{\"题目\":\"问题\",\"ID\":7,\"a\\\"b\":true}\n{\"题目\":null,\"ID\":8,\"a\\\"b\":false}\n");
}

}  // namespace
