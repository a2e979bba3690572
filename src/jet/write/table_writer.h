#pragma once
// Changes to the rows of a Jet 4 table, each written whole or not at all: update, delete, insert, and
// batches of them written whole or not at all.
//
// Every call takes the bank's write lock, puts back a write that an earlier program left unfinished,
// reads the file as it is now, checks that each row is still what the caller last saw (so that nobody
// else's change is overwritten), and writes through the rollback journal.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"
#include "jet/write/page_journal.h"

namespace jet {

// One row change of a batch.
struct RowChange {
    enum class Kind { Update, Remove, Insert };
    Kind kind = Kind::Update;
    RowId where;                  // Update, Remove: the row; Insert: set to where the new row went
    std::vector<Value> expected;  // Update, Remove: the row as the caller read it
    std::vector<Value> values;    // Update, Insert: the new cells (Insert: AutoNumber filled in)
};

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
    // Every change in order as one: under one lock and one journal, flushed and committed once. The
    // first change that fails (a row changed by someone else, a duplicate key, a value its column cannot
    // take) throws jet::Error and leaves the file wholly unchanged. A row may be named only once.
    void apply(std::string_view table, std::vector<RowChange>& changes);

private:
    std::filesystem::path bank_;
    WriteStepObserver observer_;
};

}  // namespace jet
