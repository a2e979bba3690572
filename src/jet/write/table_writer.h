#pragma once
// Changes to the rows of a Jet 4 table, each written whole or not at all: update, delete, insert.
//
// Every change takes the bank's write lock, puts back a write that an earlier program left unfinished,
// reads the file as it is now, checks that the row is still what the caller last saw (so that nobody
// else's change is overwritten), and writes through the rollback journal.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"
#include "jet/write/page_journal.h"

namespace jet {

class TableWriter {
public:
    explicit TableWriter(std::filesystem::path bank, WriteStepObserver observer = {});

    // Whether rows of `table` can be changed: a Jet 4 file this program may write and nobody else holds
    // locked, a user table whose every column and index the writer can keep exact. `why` says why not.
    static bool canWrite(const Database& db, const TableDef& table, std::string* why = nullptr);

    // `expected`: the row as the caller read it; a row changed or deleted since fails with jet::Error.
    void update(std::string_view table, RowId where, const std::vector<Value>& expected, const std::vector<Value>& values);
    void remove(std::string_view table, RowId where, const std::vector<Value>& expected);
    // Adds a row; an AutoNumber column given as Null gets the table's next number, written into values.
    RowId insert(std::string_view table, std::vector<Value>& values);

private:
    std::filesystem::path bank_;
    WriteStepObserver observer_;
};

}  // namespace jet
