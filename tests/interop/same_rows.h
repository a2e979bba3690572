#pragma once
// What both reader comparisons share: the real Access files, and a table's rows as we read them beside
// the rows an independent reader printed, each side rendered by its own rule and compared as sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interop/json_rows.h"
#include "jet/database.h"

namespace interop {

inline const std::vector<const char*> kAccessFiles = {
    "testV1997.mdb",          "delTestV1997.mdb",      "overflowTestV1997.mdb", "testV2000.mdb",
    "delTestV2000.mdb",       "overflowTestV2000.mdb", "indexTestV2000.mdb",    "compIndexTestV2000.mdb",
    "fixedTextTestV2000.mdb", "testUnicodeCompV2003.mdb", "empty2000.mdb",      "emptyJet4.mdb"};

// A test name from a file name: the part before the first full stop.
inline std::string fileTestName(const ::testing::TestParamInfo<const char*>& info)
{
    const std::string name = info.param;
    return name.substr(0, name.find('.'));
}

// ours(column, value) and theirs(column, jsonRow) render one cell each, so that equal cells read equal.
template <class Ours, class Theirs>
void expectSameRows(const jet::Database& db, const std::string& tableName, const std::string& jsonLines, Ours ours,
                    Theirs theirs)
{
    const jet::TableDef& table = db.table(tableName);
    std::vector<std::string> expected;
    for (const auto& row : parseJsonLines(jsonLines)) {
        std::string line;
        for (const auto& column : table.columns)
            line += theirs(column, row) + "\x1f";
        expected.push_back(line);
    }
    std::vector<std::string> actual;
    auto reader = db.read(tableName);
    std::vector<jet::Value> row;
    while (reader.next(row)) {
        std::string line;
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            line += ours(table.columns[i], row[i]) + "\x1f";
        actual.push_back(line);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
}

}  // namespace interop
