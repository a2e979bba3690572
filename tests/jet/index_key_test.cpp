// The index keys the writer makes are the bytes Access itself stores: recomputed from the rows of the
// real Access files and compared entry by entry, and a table of cases at the edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "jet/error.h"
#include "jet/index_reader.h"
#include "jet/write/index_key.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string hex(const Bytes& b)
{
    std::string out;
    char buf[4];
    for (auto x : b) {
        std::snprintf(buf, sizeof buf, "%02x ", x);
        out += buf;
    }
    return out;
}

// Whether a text holds a character beyond U+00FF (the ones the writer has no weights for).
bool beyondLatin1(const jet::Value& v)
{
    const auto* s = std::get_if<std::string>(&v);
    if (!s)
        return false;
    for (std::size_t i = 0; i < s->size(); ++i)
        if (std::uint8_t((*s)[i]) >= 0xc4)  // lead byte of U+0100 and above
            return true;
    return false;
}

struct Tally {
    std::map<jet::ColumnType, std::size_t> keysByType;  // entries compared, by the type of their first column
    std::size_t unencodable = 0;
};

class FixtureKeys : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureKeys, EveryEntryAccessStoredIsTheKeyOfItsRow)
{
    TESSARIN_REQUIRE_FIXTURES();
    auto db = jet::Database::open(fixturesDir() / GetParam());
    Tally tally;
    for (const auto& name : db->tableNames()) {
        const jet::TableDef& table = db->table(name);
        for (const auto& index : table.indexes) {
            SCOPED_TRACE(name + "." + index.name);
            if (!jet::write::canMaintainIndex(table, index)) {
                // Only GUID keys remain beyond the writer in these files.
                for (const auto& ic : index.columns)
                    for (const auto& c : table.columns) {
                        if (c.number == ic.columnNumber) {
                            EXPECT_EQ(c.type, jet::ColumnType::Guid) << c.name;
                        }
                    }
                continue;
            }
            std::vector<jet::Value> row;
            for (const auto& entry : jet::readIndexEntries(*db, index)) {
                ASSERT_TRUE(db->readRow(table, entry.row, row));
                const auto key = jet::write::indexKey(table, index, row);
                if (!key) {
                    // Refused only for text the writer cannot weigh.
                    bool explained = false;
                    for (const auto& v : row)
                        explained |= beyondLatin1(v);
                    EXPECT_TRUE(explained) << "no key for the row at " << entry.row.page << ":" << entry.row.row;
                    ++tally.unencodable;
                    continue;
                }
                EXPECT_EQ(hex(*key), hex(bytesOf(entry.key))) << "row at " << entry.row.page << ":" << entry.row.row;
                for (const auto& c : table.columns)
                    if (c.number == index.columns.front().columnNumber)
                        ++tally.keysByType[c.type];
            }
        }
    }
    const std::string file = GetParam();
    if (file == "testV2000.mdb") {
        EXPECT_EQ(tally.keysByType[jet::ColumnType::Text], 4u);
    } else if (file == "fixedTextTestV2000.mdb") {
        EXPECT_EQ(tally.keysByType[jet::ColumnType::Text], 8u);  // a fixed-length one among them
        EXPECT_EQ(tally.keysByType[jet::ColumnType::DateTime], 2u);
    } else if (file == "testUnicodeCompV2003.mdb") {
        // Latin-1 with accents, control characters, '-' and the apostrophe; Cyrillic, Greek and CJK refused.
        EXPECT_EQ(tally.keysByType[jet::ColumnType::Text], 5u);
        EXPECT_EQ(tally.unencodable, 3u);
    } else {
        EXPECT_GT(tally.keysByType[jet::ColumnType::Long], 0u);
    }
}

// The Jet 4 files with indexes. Row 1 of testUnicodeCompV2003 holds U+0001..U+00FF, the characters
// the writer weighs; its other rows and the other files check the weights anew.
INSTANTIATE_TEST_SUITE_P(Jet4Files, FixtureKeys,
                         ::testing::Values("indexTestV2000.mdb", "compIndexTestV2000.mdb", "testV2000.mdb",
                                           "testUnicodeCompV2003.mdb", "fixedTextTestV2000.mdb"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// A table with one column of each keyed kind, and single-column indexes over it.
jet::TableDef handTable()
{
    jet::TableDef t;
    t.name = "hand";
    auto add = [&](const char* name, jet::ColumnType type, std::uint16_t sortOrder = 0) {
        jet::ColumnDef c;
        c.name = name;
        c.type = type;
        c.number = std::uint16_t(t.columns.size());
        c.sortOrder = sortOrder;
        c.size = type == jet::ColumnType::Text ? 510 : jet::fixedSizeOf(type);
        t.columns.push_back(c);
    };
    add("long", jet::ColumnType::Long);
    add("yes", jet::ColumnType::Boolean);
    add("date", jet::ColumnType::DateTime);
    add("text", jet::ColumnType::Text, 0x409);
    add("byte", jet::ColumnType::Byte);
    add("int", jet::ColumnType::Integer);
    add("money", jet::ColumnType::Currency);
    add("double", jet::ColumnType::Double);
    add("single", jet::ColumnType::Single);
    add("memo", jet::ColumnType::Memo, 0x409);
    add("guid", jet::ColumnType::Guid);
    add("stroke", jet::ColumnType::Text, 0x804);  // Chinese (PRC) order: not General
    return t;
}

jet::IndexDef indexOn(std::initializer_list<std::pair<std::uint16_t, bool>> columns)
{
    jet::IndexDef ix;
    ix.name = "ix";
    for (auto [number, ascending] : columns)
        ix.columns.push_back({number, ascending});
    return ix;
}

std::vector<jet::Value> rowWith(std::uint16_t column, jet::Value v)
{
    std::vector<jet::Value> row(handTable().columns.size());
    row[column] = std::move(v);
    return row;
}

struct Case {
    const char* what;
    std::uint16_t column;
    bool ascending;
    jet::Value value;
    Bytes key;  // empty: no key
};

TEST(IndexKey, HandCases)
{
    using jet::DateTime;
    const auto t = handTable();
    const Case cases[] = {
        {"Null long", 0, true, jet::Null{}, {0x00}},
        {"Null long, descending", 0, false, jet::Null{}, {0xff}},
        {"long 1", 0, true, std::int64_t(1), {0x7f, 0x80, 0x00, 0x00, 0x01}},
        {"long -1", 0, true, std::int64_t(-1), {0x7f, 0x7f, 0xff, 0xff, 0xff}},
        {"long 1, descending", 0, false, std::int64_t(1), {0x80, 0x7f, 0xff, 0xff, 0xfe}},
        {"Yes", 1, true, true, {0x7f, 0x00}},
        {"No", 1, true, false, {0x7f, 0xff}},
        {"Yes, descending", 1, false, true, {0x80, 0xff}},
        {"No, descending", 1, false, false, {0x80, 0x00}},
        {"Yes/No Null is stored as No", 1, true, jet::Null{}, {0x7f, 0xff}},
        {"a date as Access stored it", 2, true, DateTime{40108.164733796293}, {0x7f, 0xc0, 0xe3, 0x95, 0x85, 0x45, 0x7f, 0xcf, 0x74}},
        {"day zero", 2, true, DateTime{0}, {0x7f, 0x80, 0, 0, 0, 0, 0, 0, 0}},
        {"a date before 1899-12-30", 2, true, DateTime{-1.5}, {0x7f, 0x40, 0x07, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}},
        {"a negative date, descending", 2, false, DateTime{-1.5}, {0x80, 0xbf, 0xf8, 0, 0, 0, 0, 0, 0}},
        {"a positive date, descending", 2, false, DateTime{1.0}, {0x80, 0x40, 0x0f, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}},
        {"Null date", 2, true, jet::Null{}, {0x00}},
        {"lower-case text", 3, true, std::string("ab"), {0x7f, 0x4a, 0x4c, 0x01, 0x00}},
        {"upper-case text keys as lower-case", 3, true, std::string("AB"), {0x7f, 0x4a, 0x4c, 0x01, 0x00}},
        {"mixed case with a blank", 3, true, std::string("Core User"),
         {0x7f, 0x4d, 0x64, 0x69, 0x51, 0x07, 0x6f, 0x6b, 0x51, 0x69, 0x01, 0x00}},
        {"empty text", 3, true, std::string(), {0x7f, 0x01, 0x00}},
        {"Null text", 3, true, jet::Null{}, {0x00}},
        {"Null text, descending", 3, false, jet::Null{}, {0xff}},
        {"text, descending", 3, false, std::string("ab"), {0x80, 0xb5, 0xb3, 0xfe, 0xff, 0x00}},
        {"digits", 3, true, std::string("0129"), {0x7f, 0x36, 0x38, 0x3a, 0x48, 0x01, 0x00}},
        {"an accent only on the first letter", 3, true, std::string("\xc3\xa9t\xc3\xa9"), {0x7f, 0x51, 0x6d, 0x51, 0x01, 0x0e, 0x02, 0x0e, 0x00}},
        {"a hyphen goes to the last section", 3, true, std::string("-1"),
         {0x7f, 0x38, 0x01, 0x01, 0x01, 0x01, 0x80, 0x07, 0x06, 0x82, 0x00}},
        {"an apostrophe after two letters", 3, true, std::string("a'b"),
         {0x7f, 0x4a, 0x4c, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0b, 0x06, 0x80, 0x00}},
        {"a CJK character", 3, true, std::string("\xe6\xbc\xa2"), {}},
        {"Cyrillic", 3, true, std::string("\xd0\x9c"), {}},
        {"text that is not UTF-8", 3, true, std::string("\xff"), {}},
        {"a NUL character", 3, true, std::string(1, '\0'), {}},
        {"byte 200 is unsigned", 4, true, std::int64_t(200), {0x7f, 0xc8}},
        {"integer -2", 5, true, std::int64_t(-2), {0x7f, 0x7f, 0xfe}},
        {"currency 1.0000", 6, true, jet::Currency{10000}, {0x7f, 0x80, 0, 0, 0, 0, 0, 0x27, 0x10}},
        {"double -0.5", 7, true, -0.5, {0x7f, 0x40, 0x1f, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}},
        {"single 1.5", 8, true, 1.5, {0x7f, 0xbf, 0xc0, 0x00, 0x00}},
        {"single -1.5", 8, true, -1.5, {0x7f, 0x40, 0x3f, 0xff, 0xff}},
        {"memo", 9, true, std::string("b"), {0x7f, 0x4c, 0x01, 0x00}},
        {"a text where a number is wanted", 0, true, std::string("1"), {}},
        {"a number where text is wanted", 3, true, std::int64_t(1), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto ix = indexOn({{c.column, c.ascending}});
        ASSERT_TRUE(jet::write::canMaintainIndex(t, ix));
        const auto key = jet::write::indexKey(t, ix, rowWith(c.column, c.value));
        if (c.key.empty()) {
            EXPECT_FALSE(key.has_value()) << hex(*key);
            EXPECT_THROW(jet::write::requireIndexKey(t, ix, rowWith(c.column, c.value)), jet::Error);
        } else {
            ASSERT_TRUE(key.has_value());
            EXPECT_EQ(hex(*key), hex(c.key));
        }
    }
}

TEST(IndexKey, TheBytesSortAsAccessSortsTheValues)
{
    const auto t = handTable();
    struct Order {
        std::uint16_t column;
        std::vector<jet::Value> ascending;  // in Access's order
    };
    const Order orders[] = {
        {2, {jet::Null{}, jet::DateTime{-1e6}, jet::DateTime{-2.5}, jet::DateTime{-0.25}, jet::DateTime{0}, jet::DateTime{0.5}, jet::DateTime{45000.75}}},
        {7, {jet::Null{}, -1e300, -3.0, -1e-300, 0.0, 1e-300, 2.0, 1e300}},
        {6, {jet::Null{}, jet::Currency{-20000}, jet::Currency{-1}, jet::Currency{0}, jet::Currency{99999}}},
        {1, {true, false}},
        {3, {jet::Null{}, std::string(), std::string(" "), std::string("!"), std::string("0"), std::string("9"),
             std::string("a"), std::string("\xc3\xa1"), std::string("A b"), std::string("ab"), std::string("b"),
             std::string("z"), std::string("zz")}},
    };
    for (const auto& o : orders) {
        for (bool ascending : {true, false}) {
            const auto ix = indexOn({{o.column, ascending}});
            for (std::size_t i = 1; i < o.ascending.size(); ++i) {
                const auto lower = *jet::write::indexKey(t, ix, rowWith(o.column, o.ascending[i - 1]));
                const auto higher = *jet::write::indexKey(t, ix, rowWith(o.column, o.ascending[i]));
                EXPECT_EQ(lower < higher, ascending) << "column " << o.column << ", value " << i;
            }
        }
    }
}

TEST(IndexKey, SeveralColumnsFollowEachOtherEachInItsOwnDirection)
{
    const auto t = handTable();
    const auto ix = indexOn({{0, true}, {3, false}});
    auto row = rowWith(0, std::int64_t(2));
    row[3] = std::string("a");
    const auto key = jet::write::indexKey(t, ix, row);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(hex(*key), hex({0x7f, 0x80, 0x00, 0x00, 0x02, 0x80, 0xb5, 0xfe, 0xff, 0x00}));
    row[3] = std::string("\xe6\xbc\xa2");  // one column without a key: no key at all
    EXPECT_FALSE(jet::write::indexKey(t, ix, row).has_value());
}

// Whether Jet leaves a row whose key is all Null out of an index that ignores Nulls is not shown by
// any file at hand: such a row gets no key (its write is refused), a row with a value in any key column
// gets one, and an index that keeps Nulls keys them as ever.
TEST(IndexKey, AnIndexIgnoringNullsGivesNoKeyWhenEveryKeyColumnIsNull)
{
    const auto t = handTable();
    auto ignoring = indexOn({{0, true}, {2, true}});
    ignoring.ignoreNulls = true;
    const std::vector<jet::Value> allNull(t.columns.size());
    EXPECT_FALSE(jet::write::indexKey(t, ignoring, allNull).has_value());
    EXPECT_TRUE(jet::write::indexKey(t, ignoring, rowWith(0, std::int64_t(7))).has_value());
    EXPECT_TRUE(jet::write::indexKey(t, indexOn({{0, true}, {2, true}}), allNull).has_value());
}

TEST(IndexKey, OnlyTheFirst255CharactersOfAMemoAreKeyed)
{
    const auto t = handTable();
    const auto ix = indexOn({{9, true}});
    const std::string first(255, 'x');
    const auto key = jet::write::indexKey(t, ix, rowWith(9, first));
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(jet::write::indexKey(t, ix, rowWith(9, first + "yyy")), key);
    EXPECT_EQ(jet::write::indexKey(t, ix, rowWith(9, first + "\xe6\xbc\xa2")), key);  // beyond the keyed part
}

TEST(IndexKey, AFixedLengthTextIsKeyedOnlyWhenItFillsItsColumn)
{
    auto t = handTable();
    t.columns[3].fixed = true;
    t.columns[3].size = 4;  // two characters
    const auto ix = indexOn({{3, true}});
    EXPECT_EQ(hex(*jet::write::indexKey(t, ix, rowWith(3, std::string("Ab")))), hex({0x7f, 0x4a, 0x4c, 0x01, 0x00}));
    EXPECT_FALSE(jet::write::indexKey(t, ix, rowWith(3, std::string("A"))).has_value());
}

TEST(IndexKey, IndexesTheWriterCannotKeep)
{
    const auto t = handTable();
    EXPECT_FALSE(jet::write::canMaintainIndex(t, indexOn({{10, true}})));            // GUID
    EXPECT_FALSE(jet::write::canMaintainIndex(t, indexOn({{11, true}})));            // text in another order
    EXPECT_FALSE(jet::write::canMaintainIndex(t, indexOn({{0, true}, {10, true}})));  // one such column is enough
    EXPECT_FALSE(jet::write::canMaintainIndex(t, indexOn({{99, true}})));            // no such column
    EXPECT_FALSE(jet::write::canMaintainIndex(t, indexOn({})));
    EXPECT_FALSE(jet::write::indexKey(t, indexOn({{10, true}}), rowWith(10, jet::Null{})).has_value());
}

TEST(IndexKey, TheRefusalNamesTheIndex)
{
    const auto t = handTable();
    auto ix = indexOn({{3, true}});
    ix.name = "题目索引";
    try {
        jet::write::requireIndexKey(t, ix, rowWith(3, std::string("\xe6\xbc\xa2")));
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("题目索引"), std::string::npos) << e.what();
    }
}

TEST(IndexKey, SameIndexedValuesLooksOnlyAtTheIndexColumns)
{
    const auto t = handTable();
    const auto ix = indexOn({{3, true}});
    auto a = rowWith(3, std::string("\xe6\xbc\xa2"));
    auto b = a;
    b[0] = std::int64_t(7);
    EXPECT_TRUE(jet::write::sameIndexedValues(t, ix, a, b));
    b[3] = std::string("\xe5\xad\x97");
    EXPECT_FALSE(jet::write::sameIndexedValues(t, ix, a, b));
}

}  // namespace
