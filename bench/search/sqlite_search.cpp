#include "sqlite_search.h"

#include <sqlite3.h>

#include <stdexcept>

namespace bench {

SqliteSearch::SqliteSearch(const std::filesystem::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.string());
}

SqliteSearch::~SqliteSearch() { sqlite3_close(db_); }

std::size_t SqliteSearch::search(const std::string& text) {
    // Prepared anew for every keystroke, as the window sends a new statement each time.
    const char* sql = text.empty() ? "select 题目 from tiku" : "select 题目 from tiku where instr(lower(题目), lower(?)) <> 0";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
    if (!text.empty()) sqlite3_bind_text(statement, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    std::size_t rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        // Read every cell's text, as a client-side result would.
        bytesRead_ += static_cast<std::size_t>(sqlite3_column_bytes(statement, 0));
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

}  // namespace bench
