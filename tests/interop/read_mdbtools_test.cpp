// Every table of every real Access file, read by our reader, equals what mdbtools reads from it.
//
// What is compared: text, memo, the integer types, Yes/No, Single and Double (to six significant
// digits, as mdb-json prints them), Currency (four decimals), Date/Time (mdb-json's "%m/%d/%y %H:%M:%S"
// rendering, rebuilt from our value), binary and OLE values that mdb-json prints as {"$binary": ...},
// and GUIDs. Rendering differences of mdb-json that are allowed for: text and binary values end at a
// zero byte, GUIDs lack a hyphen, Decimal and the fixed binary type 0x11 are not printed at all (those
// are left out). Rows are compared as a multiset: mdbtools lists a moved row where it is stored now, we list
// it where the table's row order puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "interop/json_rows.h"
#include "interop/same_rows.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

bool haveMdbTools() { return runCommand("command -v mdb-json >/dev/null 2>&1").exitCode == 0; }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string sixDigits(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

// mdb-json's date rendering, from our day count.
std::string mdbDate(const jet::DateTime& d) {
    const std::string iso = d.toString();  // YYYY-MM-DD HH:MM:SS
    if (iso.size() < 19) return "?";
    return iso.substr(5, 2) + "/" + iso.substr(8, 2) + "/" + iso.substr(2, 2) + " " + iso.substr(11, 8);
}

// mdbtools cannot render these: Numeric, and the fixed-size binary type 0x11 of MSysAccessObjects.
bool comparable(jet::ColumnType type) {
    return type != jet::ColumnType::Numeric && jet::fixedSizeOf(type) == 0
               ? type != jet::ColumnType(0x11) && std::uint8_t(type) <= std::uint8_t(jet::ColumnType::Memo)
               : type != jet::ColumnType::Numeric;
}

// mdb-json ends binary and text values at their first zero byte (it prints them through C strings).
std::string upToFirstZero(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

// mdb-json prints GUIDs with one hyphen missing; compare them without hyphens.
std::string withoutHyphens(std::string text) {
    std::erase(text, '-');
    return text;
}

// One cell of ours in a comparable form; "" for columns that are not compared.
std::string ours(const jet::ColumnDef& column, const jet::Value& v) {
    if (!comparable(column.type)) return "";
    if (jet::isNull(v)) return "null";
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return "s:" + upToFirstZero(std::get<std::string>(v));
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long: return "i:" + std::to_string(std::get<std::int64_t>(v));
    case jet::ColumnType::Boolean: return std::string("i:") + (std::get<bool>(v) ? "1" : "0");
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return "f:" + sixDigits(std::get<double>(v));
    case jet::ColumnType::Currency: return "c:" + std::get<jet::Currency>(v).toString();
    case jet::ColumnType::DateTime: return "d:" + mdbDate(std::get<jet::DateTime>(v));
    case jet::ColumnType::Binary:
    case jet::ColumnType::OLE: return "x:" + upToFirstZero(std::get<jet::Bytes>(v).data);
    case jet::ColumnType::Guid: return "g:" + withoutHyphens(std::get<jet::Guid>(v).toString());
    default: return "";
    }
}

// The same cell as mdb-json printed it.
std::string theirs(const jet::ColumnDef& column, const interop::JsonRow& row) {
    if (!comparable(column.type)) return "";
    const auto it = row.find(column.name);
    if (it == row.end()) return "null";
    const interop::JsonValue& v = it->second;
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return "s:" + v.text;
    case jet::ColumnType::Guid: return "g:" + withoutHyphens(v.text);
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
    case jet::ColumnType::Boolean: return "i:" + v.text;
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return "f:" + sixDigits(std::stod(v.text));
    case jet::ColumnType::Currency: return "c:" + v.text;
    case jet::ColumnType::DateTime: return "d:" + v.text;
    case jet::ColumnType::Binary:
    case jet::ColumnType::OLE: return "x:" + upToFirstZero(v.text);
    default: return "";
    }
}

class ReadLikeMdbTools : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadLikeMdbTools, UserTablesAreTheOnesMdbToolsLists) {
    TESSARIN_REQUIRE_FIXTURES();
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed";
    const auto file = fixturesDir() / GetParam();
    auto db = jet::Database::open(file);
    const auto listed = runCommand("mdb-tables -1 " + shellQuote(file.string()));
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(db->tableNames(), lines(listed.out));
}

TEST_P(ReadLikeMdbTools, EveryTableReadsAsMdbJsonPrintsIt) {
    TESSARIN_REQUIRE_FIXTURES();
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed";
    const auto file = fixturesDir() / GetParam();
    auto db = jet::Database::open(file);
    const auto listed = runCommand("mdb-tables -S -1 " + shellQuote(file.string()));
    ASSERT_EQ(listed.exitCode, 0);
    const auto names = lines(listed.out);
    ASSERT_FALSE(names.empty());
    for (const auto& name : names) {
        SCOPED_TRACE("table " + name);
        ASSERT_TRUE(db->hasTable(name));
        const auto json =
            runCommand("mdb-json " + shellQuote(file.string()) + " " + shellQuote(name) + " 2>/dev/null");
        ASSERT_EQ(json.exitCode, 0);
        interop::expectSameRows(*db, name, json.out, ours, theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ReadLikeMdbTools, ::testing::ValuesIn(interop::kAccessFiles), interop::fileTestName);

}  // namespace
