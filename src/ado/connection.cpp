#include "ado/connection.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <system_error>

#include "ado/engine_error.h"
#include "ado/interrupted_write.h"
#include "ado/search_cache.h"
#include "ado/sql/text.h"
#include "ado/table_snapshot.h"
#include "jet/database.h"

namespace ado {
namespace {

std::string inQuotes(const std::string& text) { return "“" + text + "”"; }

// jet's messages end like sentences; the engine's do not.
std::string withoutFullStop(std::string message) {
    while (!message.empty() && (message.back() == '.' || message.back() == ' ' || message.back() == '\n'))
        message.pop_back();
    const std::string fullStop = "。";
    while (message.size() >= fullStop.size() && message.compare(message.size() - fullStop.size(), fullStop.size(), fullStop) == 0)
        message.erase(message.size() - fullStop.size());
    return message;
}

// A file problem as the engine reports it: jet's message, naming the file when it does not already.
EngineError fileError(const std::filesystem::path& path, const jet::Error& error) {
    std::string message = withoutFullStop(error.what());
    if (message.find(path.string()) == std::string::npos && message.find(path.filename().string()) == std::string::npos)
        message = "无法打开数据库" + inQuotes(path.string()) + "：" + message;
    return EngineError(message);
}

}  // namespace

Connection::Connection(ConnectionString settings, std::filesystem::path path)
    : settings_(std::move(settings)), path_(std::move(path)), searchCache_(std::make_unique<SearchCache>()) {}

Connection::~Connection() = default;

std::shared_ptr<Connection> Connection::open(std::string_view connectionString) {
    ConnectionString settings = ConnectionString::parse(connectionString);
    if (settings.provider.empty()) throw EngineError("连接字符串没有指定提供程序（Provider）");
    if (!isJetProvider(settings.provider))
        throw EngineError("找不到提供程序" + inQuotes(settings.provider) + "，无法打开" + inQuotes(settings.dataSource) +
                          "：只支持 Microsoft.Jet.OLEDB.4.0");
    if (settings.dataSource.empty()) throw EngineError("连接字符串没有指定数据源（Data Source）");
    std::error_code error;
    // Relative names are looked up in the current directory as it is now, at the moment of connecting.
    std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(settings.dataSource), error);
    if (error) throw EngineError("找不到文件" + inQuotes(settings.dataSource) + "：" + error.message());
    std::shared_ptr<Connection> connection(new Connection(std::move(settings), std::move(path)));
    connection->reopenIfChanged();
    return connection;
}

Connection::FileStamp Connection::stampNow() const {
    std::error_code error;
    const auto status = std::filesystem::status(path_, error);
    if (error || !std::filesystem::exists(status)) throw EngineError("找不到文件" + inQuotes(path_.string()));
    if (std::filesystem::is_directory(status)) throw EngineError(inQuotes(path_.string()) + "是文件夹，不是数据库文件");
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path_, error);
    if (error) throw EngineError("无法读取文件" + inQuotes(path_.string()) + "：" + error.message());
    const auto modified = std::filesystem::last_write_time(path_, error);
    if (error) throw EngineError("无法读取文件" + inQuotes(path_.string()) + "：" + error.message());
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        stamp.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        stamp.device = std::uint64_t(st.st_dev);
        stamp.inode = std::uint64_t(st.st_ino);
    }
    return stamp;
}

void Connection::reopenIfChanged() {
    putBackInterruptedWrite(path_);
    const FileStamp stamp = stampNow();
    if (database_ && stamp == stamp_) return;
    if (!std::ifstream(path_, std::ios::binary))
        throw EngineError("无法打开文件" + inQuotes(path_.string()) + "：没有读取它的权限，或它已被其他程序独占");
    std::unique_ptr<jet::Database> database;
    try {
        database = jet::Database::open(path_);
    } catch (const jet::Error& e) {
        throw fileError(path_, e);
    }
    database_ = std::move(database);
    stamp_ = stamp;
    snapshots_.clear();
    searchCache_->clear();
    ++fileOpens_;
}

bool Connection::hasTable(std::string_view table) {
    reopenIfChanged();
    return database_->hasTable(table);
}

std::shared_ptr<const TableSnapshot> Connection::snapshot(std::string_view table) {
    reopenIfChanged();
    const std::string key = sql::lowerCase(table);
    if (auto kept = snapshots_.find(key); kept != snapshots_.end()) return kept->second;
    if (!database_->hasTable(table))
        throw EngineError("找不到输入表或查询" + inQuotes(std::string(table)) + "，请确认它存在并且名称拼写正确");
    std::shared_ptr<const TableSnapshot> snapshot;
    try {
        snapshot = TableSnapshot::read(*database_, table);
    } catch (const jet::Error& e) {
        throw fileError(path_, e);
    }
    snapshots_.emplace(key, snapshot);
    ++tableReads_;
    return snapshot;
}

}  // namespace ado
