// Rows and definitions as the reader returns them from the real Access files.
#include <gtest/gtest.h>

#include <cmath>

#include "jet/database.h"
#include "support/test_support.h"

namespace {

using testing_support::fixturesDir;
using jet::Value;

std::unique_ptr<jet::Database> openFixture(const char* name) { return jet::Database::open(fixturesDir() / name); }

std::vector<std::vector<Value>> readAll(const jet::Database& db, std::string_view table,
                                        std::vector<jet::RowId>* places = nullptr) {
    std::vector<std::vector<Value>> rows;
    auto reader = db.read(table);
    std::vector<Value> row;
    jet::RowId where;
    while (reader.next(row, &where)) {
        rows.push_back(row);
        if (places) places->push_back(where);
    }
    return rows;
}

class EveryTypeTable : public ::testing::TestWithParam<const char*> {};

// Table1 holds one row of every common type; Access 97 and 2000 files hold the same values.
TEST_P(EveryTypeTable, ReadsItsValues) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture(GetParam());
    const jet::TableDef& t = db->table("Table1");
    ASSERT_EQ(t.columns.size(), 9u);
    const jet::ColumnType types[] = {jet::ColumnType::Text,     jet::ColumnType::Text,   jet::ColumnType::Byte,
                                     jet::ColumnType::Integer,  jet::ColumnType::Long,   jet::ColumnType::Double,
                                     jet::ColumnType::DateTime, jet::ColumnType::Currency, jet::ColumnType::Boolean};
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(t.columns[i].name, std::string(1, char('A' + i)));
        EXPECT_EQ(t.columns[i].type, types[i]);
    }
    const auto rows = readAll(*db, "Table1");
    ASSERT_EQ(rows.size(), 2u);
    // Which of the two rows comes first differs between the files; find the full one.
    const auto& r = std::get<std::string>(rows[0][0]) == "abcdefg" ? rows[0] : rows[1];
    EXPECT_EQ(std::get<std::string>(r[0]), "abcdefg");
    EXPECT_EQ(std::get<std::string>(r[1]), "hijklmnop");
    EXPECT_EQ(std::get<std::int64_t>(r[2]), 2);
    EXPECT_EQ(std::get<std::int64_t>(r[3]), 222);
    EXPECT_EQ(std::get<std::int64_t>(r[4]), 333333333);
    EXPECT_DOUBLE_EQ(std::get<double>(r[5]), 444.555);
    EXPECT_EQ(std::get<jet::DateTime>(r[6]).toString(), "1974-09-21 00:00:00");
    EXPECT_EQ(std::get<jet::Currency>(r[7]).units, 35000);
    EXPECT_EQ(std::get<bool>(r[8]), true);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EveryTypeTable, ::testing::Values("testV1997.mdb", "testV2000.mdb"),
                         [](const auto& info) { return std::string(info.param).substr(0, 9); });

class MovedRows : public ::testing::TestWithParam<const char*> {};

// Rows 3 and 5 were moved to other pages when they grew; they are read in their table order, once.
TEST_P(MovedRows, AreFollowedToTheirNewPlaceOnce) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture(GetParam());
    const auto rows = readAll(*db, "Table1");
    ASSERT_EQ(rows.size(), 7u);
    const jet::TableDef& t = db->table("Table1");
    const int data3 = t.columnIndex("data3");
    ASSERT_GE(data3, 0);
    const char* expected[] = {nullptr, "row2col3", "row3col3", "row4col2", "row5col2", "row6col2", nullptr};
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        if (expected[i])
            EXPECT_EQ(std::get<std::string>(rows[i][std::size_t(data3)]), expected[i]);
        else
            EXPECT_TRUE(jet::isNull(rows[i][std::size_t(data3)]));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MovedRows, ::testing::Values("overflowTestV1997.mdb", "overflowTestV2000.mdb"),
                         [](const auto& info) { return std::string(info.param).substr(0, 16); });

class DeletedRows : public ::testing::TestWithParam<const char*> {};

TEST_P(DeletedRows, AreSkipped) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture(GetParam());
    std::vector<jet::RowId> places;
    const auto rows = readAll(*db, "Table", &places);
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(db->table("Table").rowCount, 2u);
    // A row read by its place equals the streamed one.
    std::vector<Value> again;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(db->readRow(db->table("Table"), places[i], again));
        EXPECT_EQ(again, rows[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DeletedRows, ::testing::Values("delTestV1997.mdb", "delTestV2000.mdb"),
                         [](const auto& info) { return std::string(info.param).substr(0, 11); });

TEST(ReadRows, CompressedAndPlainUnicodeText) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture("testUnicodeCompV2003.mdb");
    const jet::ColumnDef* column = db->table("Table").findColumn("unicode");
    ASSERT_NE(column, nullptr);
    EXPECT_TRUE(column->compressedUnicode);
    const auto rows = readAll(*db, "Table");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(std::get<std::string>(rows[0][1]), "only ascii chars");
    EXPECT_EQ(std::get<std::string>(rows[1][1]), "ääkkösiä");
    EXPECT_EQ(std::get<std::string>(rows[2][1]), "Мир");
    EXPECT_EQ(std::get<std::string>(rows[4][1]), "漢字仮名交じり文");
}

TEST(ReadRows, FixedLengthTextAndDates) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture("fixedTextTestV2000.mdb");
    const jet::TableDef& t = db->table("users");
    const jet::ColumnDef* flag = t.findColumn("c_flag_");
    ASSERT_NE(flag, nullptr);
    EXPECT_TRUE(flag->fixed);
    const auto rows = readAll(*db, "users");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::get<std::string>(rows[1][std::size_t(t.columnIndex("c_flag_"))]), "N");
    EXPECT_EQ(std::get<std::string>(rows[1][std::size_t(t.columnIndex("c_user_login"))]), "admin");
    EXPECT_EQ(std::get<jet::DateTime>(rows[1][std::size_t(t.columnIndex("d_stamp_"))]).toString(), "2009-10-22 03:57:13");
}

TEST(ReadRows, IndexDefinitions) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture("testV2000.mdb");
    const jet::TableDef& t = db->table("Table1");
    ASSERT_EQ(t.indexes.size(), 2u);
    const jet::IndexDef* primary = nullptr;
    for (const auto& index : t.indexes)
        if (index.primary) primary = &index;
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->name, "PrimaryKey");
    EXPECT_TRUE(primary->unique);
    ASSERT_EQ(primary->columns.size(), 1u);
    EXPECT_EQ(primary->columns[0].columnNumber, t.columns[0].number);
}

TEST(ReadRows, TableNamesIgnoreLetterCaseAndMissingTablesFail) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture("testV2000.mdb");
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
    EXPECT_TRUE(db->hasTable("TABLE1"));
    EXPECT_EQ(&db->table("table1"), &db->table("Table1"));
    EXPECT_TRUE(db->hasTable("MSysObjects"));  // system tables can be read by name, but are not listed
    try {
        db->table("tiku");
        FAIL() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("testV2000.mdb"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("tiku"), std::string::npos) << e.what();
    }
}

TEST(ReadRows, AReaderOutlivesItsDatabase) {
    TESSARIN_REQUIRE_FIXTURES();
    auto db = openFixture("compIndexTestV2000.mdb");
    auto reader = db->read("Table1");
    db.reset();
    std::vector<Value> row;
    std::size_t count = 0;
    while (reader.next(row)) ++count;
    EXPECT_EQ(count, 512u);
    EXPECT_EQ(reader.table().name, "Table1");
}

TEST(ReadRows, EmptyDatabasesHaveNoUserTables) {
    TESSARIN_REQUIRE_FIXTURES();
    for (const char* name : {"empty2000.mdb", "emptyJet4.mdb"}) {
        auto db = openFixture(name);
        EXPECT_TRUE(db->tableNames().empty()) << name;
        EXPECT_FALSE(db->catalog().empty()) << name;
    }
}

}  // namespace
