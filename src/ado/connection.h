#pragma once
// A connection to one bank: made once from a connection string and reused by every command. It holds
// the open file and keeps table snapshots between statements while the file stays unchanged.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "ado/connection_string.h"

namespace jet {
class Database;
}

namespace ado {

class TableSnapshot;
class SearchCache;

class Connection {
public:
    // Parses the string, checks the provider and opens the file its Data Source names, resolved against
    // the current directory now. Throws EngineError with a message naming the file when the provider is
    // unknown or the file is missing, unreadable or not an Access file.
    static std::shared_ptr<Connection> open(std::string_view connectionString);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const ConnectionString& settings() const { return settings_; }
    // The bank file, absolute.
    const std::filesystem::path& path() const { return path_; }

    // The table's rows as they are in the file now. Kept and handed out again while the file has the
    // same size and modification time; reread (and the file reopened) once another program changed it.
    // Throws EngineError when the table does not exist or the file cannot be read.
    std::shared_ptr<const TableSnapshot> snapshot(std::string_view table);
    // Whether the file (as it is now) has the table, letter case ignored.
    bool hasTable(std::string_view table);

    // The open file (as of the last snapshot taken).
    const jet::Database& database() const { return *database_; }

    // What the instant search remembers between statements (the previous text and its matches).
    SearchCache& searchCache() { return *searchCache_; }

    // How many times the file has been opened and read (for tests: one connection, one open).
    std::uint64_t fileOpenCount() const { return fileOpens_; }

private:
    struct FileStamp {
        std::uintmax_t size = 0;
        std::int64_t modifiedNs = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    Connection(ConnectionString settings, std::filesystem::path path);
    FileStamp stampNow() const;
    void reopenIfChanged();

    ConnectionString settings_;
    std::filesystem::path path_;
    std::unique_ptr<jet::Database> database_;
    FileStamp stamp_;
    std::map<std::string, std::shared_ptr<const TableSnapshot>> snapshots_;  // by lower-cased table name
    std::unique_ptr<SearchCache> searchCache_;
    std::uint64_t fileOpens_ = 0;
};

}  // namespace ado
