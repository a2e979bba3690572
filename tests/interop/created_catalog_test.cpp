// The system catalog of a new bank next to the one Access itself writes (the fixture empty2000.mdb,
// an empty database straight from Access 2000, and emptyJet4.mdb, one from the Jet engine): the same
// objects with the same ids, parents, types and flags, the same system tables, plus the table tiku.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "interop/json_rows.h"
#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

bool haveMdbTools() { return runCommand("command -v mdb-json >/dev/null 2>&1").exitCode == 0; }

std::vector<interop::JsonRow> mdbJson(const std::filesystem::path& file, const std::string& table) {
    return interop::parseJsonLines(runCommand("mdb-json " + shellQuote(file.string()) + " " + table + " 2>/dev/null").out);
}

std::map<std::string, interop::JsonRow> byName(const std::vector<interop::JsonRow>& rows) {
    std::map<std::string, interop::JsonRow> out;
    for (const auto& row : rows) out[row.at("Name").text] = row;
    return out;
}

class CreatedCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_ / "data.mdb";
        jet::writeBank(file_, {"一道题"});
    }
    TempDir dir_;
    std::filesystem::path file_;
};

TEST_F(CreatedCatalogTest, HoldsTheObjectsAccessWritesWithTheirIdsAndFlags) {
    TESSARIN_REQUIRE_FIXTURES();
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed";
    const auto ours = byName(mdbJson(file_, "MSysObjects"));
    const auto access = byName(mdbJson(fixturesDir() / "empty2000.mdb", "MSysObjects"));
    ASSERT_FALSE(access.empty());
    // Objects of Access's user interface (layout, summary properties, its forms table) are Access's
    // own business, made when Access first opens a database.
    const std::set<std::string> accessOnly{"AccessLayout", "SummaryInfo", "UserDefined", "MSysAccessObjects"};
    for (const auto& [name, row] : access) {
        if (accessOnly.count(name)) continue;
        SCOPED_TRACE(name);
        const auto it = ours.find(name);
        ASSERT_NE(it, ours.end()) << "missing from the new catalog";
        for (const char* field : {"Id", "ParentId", "Type", "Flags"}) EXPECT_EQ(it->second.at(field).text, row.at(field).text) << field;
        EXPECT_TRUE(it->second.count("DateCreate") && it->second.count("DateUpdate") && it->second.count("Owner"));
    }
    for (const auto& [name, row] : ours) EXPECT_TRUE(access.count(name) || name == "tiku") << name << " is not in Access's catalog";

    const auto db = jet::Database::open(file_);
    const interop::JsonRow& tiku = ours.at("tiku");
    EXPECT_EQ(tiku.at("Id").text, std::to_string(db->table("tiku").definitionPage)) << "a table's id is its definition page";
    EXPECT_EQ(tiku.at("ParentId").text, ours.at("Tables").at("Id").text);
    EXPECT_EQ(tiku.at("Type").text, "1");
    EXPECT_EQ(tiku.at("Flags").text, "0");
}

TEST_F(CreatedCatalogTest, SystemTablesHaveTheEnginesColumns) {
    TESSARIN_REQUIRE_FIXTURES();
    const auto ours = jet::Database::open(file_);
    const auto engine = jet::Database::open(fixturesDir() / "emptyJet4.mdb");
    for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
        SCOPED_TRACE(name);
        const jet::TableDef& a = ours->table(name);
        const jet::TableDef& b = engine->table(name);
        EXPECT_EQ(a.tableType, b.tableType);
        ASSERT_EQ(a.columns.size(), b.columns.size());
        for (std::size_t i = 0; i < a.columns.size(); ++i) {
            EXPECT_EQ(a.columns[i].name, b.columns[i].name);
            EXPECT_EQ(a.columns[i].type, b.columns[i].type) << a.columns[i].name;
            EXPECT_EQ(a.columns[i].size, b.columns[i].size) << a.columns[i].name;
            EXPECT_EQ(a.columns[i].fixed, b.columns[i].fixed) << a.columns[i].name;
        }
        std::set<std::string> ourIndexes, engineIndexes;
        for (const auto& index : a.indexes) ourIndexes.insert(index.name);
        for (const auto& index : b.indexes) engineIndexes.insert(index.name);
        EXPECT_EQ(ourIndexes, engineIndexes);
    }
}

TEST_F(CreatedCatalogTest, EveryObjectHasAccessControlEntries) {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed";
    std::set<std::string> withEntries;
    for (const auto& row : mdbJson(file_, "MSysACEs")) withEntries.insert(row.at("ObjectId").text);
    for (const auto& row : mdbJson(file_, "MSysObjects")) {
        EXPECT_TRUE(withEntries.count(row.at("Id").text)) << row.at("Name").text;
    }
}

TEST_F(CreatedCatalogTest, OurReaderSeesTheSameCatalog) {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed";
    const auto db = jet::Database::open(file_);
    std::vector<std::string> names;
    for (const auto& entry : db->catalog()) names.push_back(entry.name);
    std::vector<std::string> theirs;
    for (const auto& row : mdbJson(file_, "MSysObjects")) theirs.push_back(row.at("Name").text);
    EXPECT_EQ(names, theirs);
}

}  // namespace
