#include "jet/create/page_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "jet/error.h"

namespace jet::create {
namespace {
constexpr std::size_t kRunBytes = 8u << 20;  // one write per 8 MB of pages

std::string describe(const std::filesystem::path& path) { return path.string() + ": " + std::strerror(errno); }
}  // namespace

PageFile::PageFile(const std::filesystem::path& path, std::uint32_t pageSize, std::uint32_t firstStreamedPage)
    : path_(path), pageSize_(pageSize), nextPage_(firstStreamedPage), runStart_(firstStreamedPage) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw Error("无法创建文件 " + describe(path));
    run_.reserve(kRunBytes + pageSize);
    writing_.reserve(kRunBytes + pageSize);
    writer_ = std::thread([this] { writerLoop(); });
}

PageFile::~PageFile() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
    if (fd_ >= 0) ::close(fd_);
}

void PageFile::writerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) return;
        lock.unlock();
        std::string failure;
        try {
            writeAt(writingOffset_, writing_.data(), writing_.size());
        } catch (const std::exception& e) {
            failure = e.what();
        }
        lock.lock();
        if (failure_.empty()) failure_ = failure;
        busy_ = false;
        changed_.notify_all();
    }
}

void PageFile::waitForWriter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (!failure_.empty()) throw Error(failure_);
}

void PageFile::writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::pwrite(fd_, data, length, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw Error("写入文件失败 " + describe(path_));
        data += n;
        length -= std::size_t(n);
        offset += std::uint64_t(n);
    }
}

void PageFile::put(std::uint32_t page, const Bytes& bytes) {
    if (bytes.size() != pageSize_ || page < runStart_ || page >= nextPage_) throw Error("内部错误: 页号无效");
    const std::uint32_t expected = runStart_ + std::uint32_t(run_.size() / pageSize_);
    if (page != expected) {
        early_.emplace(page, bytes);
        return;
    }
    run_.insert(run_.end(), bytes.begin(), bytes.end());
    drain();
    if (run_.size() >= kRunBytes) flush();
}

void PageFile::drain() {
    for (auto it = early_.begin(); it != early_.end();) {
        const std::uint32_t expected = runStart_ + std::uint32_t(run_.size() / pageSize_);
        if (it->first != expected) break;
        run_.insert(run_.end(), it->second.begin(), it->second.end());
        it = early_.erase(it);
    }
}

void PageFile::flush() {
    if (run_.empty()) return;
    waitForWriter();
    {
        std::lock_guard lock(mutex_);
        writing_.swap(run_);
        writingOffset_ = std::uint64_t(runStart_) * pageSize_;
        busy_ = true;
    }
    changed_.notify_all();
    runStart_ += std::uint32_t(writing_.size() / pageSize_);
    run_.clear();
}

void PageFile::putAt(std::uint32_t page, const Bytes& bytes) {
    if (bytes.size() != pageSize_) throw Error("内部错误: 页大小无效");
    waitForWriter();
    writeAt(std::uint64_t(page) * pageSize_, bytes.data(), bytes.size());
}

void PageFile::close() {
    flush();
    waitForWriter();
    if (!early_.empty() || runStart_ != nextPage_) throw Error("内部错误: 有页没有写出");
    if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
        fd_ = -1;
        throw Error("写入文件失败 " + describe(path_));
    }
    fd_ = -1;
}

}  // namespace jet::create
