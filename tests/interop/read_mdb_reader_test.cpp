// Every table of every real Access file, read by our reader, equals what the independent reader
// mdb-reader (node) reads from it: all column types, dates to the millisecond, binary values whole.
// Rows are compared as a multiset, since the two readers need not list moved rows in the same place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "interop/json_rows.h"
#include "interop/same_rows.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

std::filesystem::path script() { return sourceDir() / "tests" / "interop" / "read_with_mdb_reader.mjs"; }

std::string exact(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

std::string upper(std::string s) {
    for (auto& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Milliseconds since 1970 of an ISO time "YYYY-MM-DDTHH:MM:SS.mmmZ".
std::string isoMillis(const std::string& iso) {
    std::tm tm{};
    int ms = 0;
    if (std::sscanf(iso.c_str(), "%d-%d-%dT%d:%d:%d.%dZ", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour, &tm.tm_min,
                    &tm.tm_sec, &ms) != 7)
        return "bad date " + iso;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return std::to_string(std::int64_t(timegm(&tm)) * 1000 + ms);
}

std::string ours(const jet::ColumnDef& column, const jet::Value& v) {
    if (jet::isNull(v)) return "null";
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return "s:" + std::get<std::string>(v);
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long: return "i:" + std::to_string(std::get<std::int64_t>(v));
    case jet::ColumnType::Boolean: return std::string("b:") + (std::get<bool>(v) ? "true" : "false");
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return "f:" + exact(std::get<double>(v));
    case jet::ColumnType::Currency: return "c:" + std::get<jet::Currency>(v).toString();
    case jet::ColumnType::DateTime:
        return "d:" + std::to_string(std::llround((std::get<jet::DateTime>(v).days - 25569.0) * 86400000.0));
    case jet::ColumnType::Guid: return "g:" + upper(std::get<jet::Guid>(v).toString());
    case jet::ColumnType::Numeric: return "n:" + std::get<jet::Decimal>(v).toString();
    default: return "x:" + std::get<jet::Bytes>(v).data;
    }
}

std::string theirs(const jet::ColumnDef& column, const interop::JsonRow& row) {
    const auto it = row.find(column.name);
    if (it == row.end()) return "missing";
    const interop::JsonValue& v = it->second;
    if (v.kind == interop::JsonValue::Kind::Null) return "null";
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo: return "s:" + v.text;
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long: return "i:" + v.text;
    case jet::ColumnType::Boolean: return std::string("b:") + (v.boolean ? "true" : "false");
    case jet::ColumnType::Single:
    case jet::ColumnType::Double: return "f:" + exact(std::stod(v.text));
    case jet::ColumnType::Currency: return "c:" + v.text;
    case jet::ColumnType::DateTime: return "d:" + isoMillis(v.text);
    case jet::ColumnType::Guid: return "g:" + upper(v.text);
    case jet::ColumnType::Numeric: return "n:" + v.text;
    default: return "x:" + v.text;
    }
}

class ReadLikeMdbReader : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadLikeMdbReader, EveryTableReadsTheSame) {
    TESSARIN_REQUIRE_FIXTURES();
    if (!haveMdbReader()) GTEST_SKIP() << "node or the mdb-reader package is not installed";
    const auto file = fixturesDir() / GetParam();
    auto db = jet::Database::open(file);
    const auto listed = runCommand("node " + shellQuote(script().string()) + " " + shellQuote(file.string()));
    ASSERT_EQ(listed.exitCode, 0);
    std::vector<std::string> names;
    for (std::size_t start = 0; start < listed.out.size();) {
        const std::size_t end = std::min(listed.out.find('\n', start), listed.out.size());
        if (end > start) names.push_back(listed.out.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(names, db->tableNames());
    names.push_back("MSysObjects");
    for (const auto& name : names) {
        SCOPED_TRACE("table " + name);
        const auto json = runCommand("node " + shellQuote(script().string()) + " " + shellQuote(file.string()) + " " +
                                     shellQuote(name) + " 2>/dev/null");
        ASSERT_EQ(json.exitCode, 0);
        interop::expectSameRows(*db, name, json.out, ours, theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ReadLikeMdbReader, ::testing::ValuesIn(interop::kAccessFiles), interop::fileTestName);

}  // namespace
