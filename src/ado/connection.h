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
#include <vector>

#include "ado/connection_string.h"
#include "ado/row_write.h"

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
    // How many times a table's rows have been read from the file into a snapshot.
    std::uint64_t tableReadCount() const { return tableReads_; }

    // Whether rows of the table can be changed through this connection (the file writer's answer for
    // the file as last opened); `why` says why not.
    bool canWrite(std::string_view table, std::string* why = nullptr) const;

    // Writes the changes to the file in order as one: all of them or none, with the rows as the caller
    // saw them as `expected`. Afterwards the kept snapshot of the table takes the changes over instead of
    // being read again (when nobody else changed the file meanwhile), and the file's new size and time
    // become its stamp. Returns `seen` with the changes. Throws EngineError with the writer's message at
    // the first change that fails (a row changed or deleted by someone else, a value the column cannot
    // take, a file that cannot be written); the file is then as it was before.
    std::shared_ptr<const TableSnapshot> writeRows(std::string_view table, const std::shared_ptr<const TableSnapshot>& seen,
                                                   std::vector<RowWrite>& writes);

private:
    // What tells one state of the file from another. File times tick only every few milliseconds, so the
    // file's identity (a bank replaced by another file) and its status-change time count as well.
    struct FileStamp {
        std::uintmax_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    Connection(ConnectionString settings, std::filesystem::path path);
    FileStamp stampNow() const;
    void reopenIfChanged();
    // The written rows as the file now holds them; the kept snapshot takes them over (onlyWriter) or is dropped.
    std::vector<SnapshotChange> takeOverWrites(std::string_view table, const std::vector<RowWrite>& written,
                                               bool onlyWriter);

    ConnectionString settings_;
    std::filesystem::path path_;
    std::unique_ptr<jet::Database> database_;
    FileStamp stamp_;
    std::map<std::string, std::shared_ptr<const TableSnapshot>> snapshots_;  // by lower-cased table name
    std::unique_ptr<SearchCache> searchCache_;
    std::uint64_t fileOpens_ = 0;
    std::uint64_t tableReads_ = 0;
};

}  // namespace ado
