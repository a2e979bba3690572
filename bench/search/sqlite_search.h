#pragma once
// The same search in SQLite: instr(lower(题目), lower(?)) over every row, the whole result read.
#include <cstddef>
#include <filesystem>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

class SqliteSearch {
public:
    explicit SqliteSearch(const std::filesystem::path& file);
    ~SqliteSearch();
    SqliteSearch(const SqliteSearch&) = delete;
    SqliteSearch& operator=(const SqliteSearch&) = delete;

    // Runs the statement for one text (the whole-bank one for an empty text) and reads every row;
    // returns the number of rows.
    std::size_t search(const std::string& text);
    std::size_t bytesRead() const { return bytesRead_; }

private:
    sqlite3* db_ = nullptr;
    std::size_t bytesRead_ = 0;
};

}  // namespace bench
