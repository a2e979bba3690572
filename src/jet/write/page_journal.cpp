#include "jet/write/page_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "jet/messages.h"

namespace jet {
namespace {

constexpr std::array<char, 8> kMagic = {'T', 'S', 'R', 'N', 'J', 'R', 'N', '1'};

std::string systemError() { return std::strerror(errno); }

// FNV-1a over the journal's bytes: a journal cut off while it was written never passes as complete.
struct Checksum {
    std::uint64_t value = 1469598103934665603ull;
    void add(const void* data, std::size_t size)
    {
        auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value ^= bytes[i];
            value *= 1099511628211ull;
        }
    }
};

void writeAll(int fd, const void* data, std::size_t size, const std::filesystem::path& file)
{
    auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            detail::throwFileError(file, "写入失败：" + systemError());
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

void writeAllAt(int fd, const void* data, std::size_t size, off_t offset, const std::filesystem::path& file)
{
    auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::pwrite(fd, bytes, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            detail::throwFileError(file, "写入失败：" + systemError());
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

bool readAllAt(int fd, void* data, std::size_t size, off_t offset)
{
    auto* bytes = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::pread(fd, bytes, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

void flush(int fd, const std::filesystem::path& file)
{
    if (::fsync(fd) != 0)
        detail::throwFileError(file, "无法写入磁盘：" + systemError());
}

// A new or removed directory entry is durable only once its folder is flushed.
void flushFolderOf(const std::filesystem::path& file)
{
    auto folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

template <typename T>
void put(std::vector<std::uint8_t>& out, T value)
{
    auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

template <typename T>
T take(const std::vector<std::uint8_t>& in, std::size_t& at)
{
    T value{};
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return value;
}

struct Journal {
    std::uint32_t pageSize = 0;
    std::uint64_t originalSize = 0;
    std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> beforeImages;
};

// The journal's contents, or nothing when it is incomplete (cut off before it was flushed whole).
std::optional<Journal> parseJournal(const std::vector<std::uint8_t>& bytes)
{
    constexpr std::size_t headerSize = kMagic.size() + 4 + 8 + 4;
    if (bytes.size() < headerSize + 8 || std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0)
        return std::nullopt;
    Checksum sum;
    sum.add(bytes.data(), bytes.size() - 8);
    std::size_t at = bytes.size() - 8;
    if (take<std::uint64_t>(bytes, at) != sum.value)
        return std::nullopt;
    at = kMagic.size();
    Journal journal;
    journal.pageSize = take<std::uint32_t>(bytes, at);
    journal.originalSize = take<std::uint64_t>(bytes, at);
    auto count = take<std::uint32_t>(bytes, at);
    if (journal.pageSize == 0 || bytes.size() != headerSize + std::uint64_t(count) * (4 + journal.pageSize) + 8)
        return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        auto page = take<std::uint32_t>(bytes, at);
        std::vector<std::uint8_t> image(bytes.begin() + at, bytes.begin() + at + journal.pageSize);
        at += journal.pageSize;
        journal.beforeImages.emplace_back(page, std::move(image));
    }
    return journal;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& file)
{
    int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0)
        detail::throwFileError(file, "无法读取：" + systemError());
    struct stat st {};
    ::fstat(fd, &st);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    bool ok = readAllAt(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    if (!ok)
        detail::throwFileError(file, "无法读取：" + systemError());
    return bytes;
}

void restore(int fd, const Journal& journal, const std::filesystem::path& bank)
{
    for (const auto& [page, image] : journal.beforeImages)
        writeAllAt(fd, image.data(), image.size(), off_t(page) * journal.pageSize, bank);
    if (::ftruncate(fd, off_t(journal.originalSize)) != 0)
        detail::throwFileError(bank, "无法恢复中断的写入：" + systemError());
    flush(fd, bank);
}

}  // namespace

std::filesystem::path journalPathFor(const std::filesystem::path& bank)
{
    auto journal = bank;
    journal += "-journal";
    return journal;
}

bool rollBackInterruptedWrite(const std::filesystem::path& bank)
{
    auto journalPath = journalPathFor(bank);
    std::error_code ec;
    if (!std::filesystem::exists(journalPath, ec))
        return false;
    auto journal = parseJournal(readFile(journalPath));
    if (journal) {
        int fd = ::open(bank.c_str(), O_RDWR);
        if (fd < 0)
            detail::throwFileError(bank, "有一次中断的写入，但无法打开文件以恢复：" + systemError());
        try {
            restore(fd, *journal, bank);
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
    }
    if (::unlink(journalPath.c_str()) != 0)
        detail::throwFileError(journalPath, "无法删除：" + systemError());
    flushFolderOf(journalPath);
    return journal.has_value();
}

PageTransaction::PageTransaction(std::filesystem::path bank, int fd, std::uint32_t pageSize, WriteStepObserver observer)
    : bank_(std::move(bank)), fd_(fd), pageSize_(pageSize), observer_(std::move(observer))
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        detail::throwFileError(bank_, "无法读取：" + systemError());
    originalSize_ = std::uint64_t(st.st_size);
    pageCount_ = std::uint32_t(originalSize_ / pageSize_);
}

std::vector<std::uint8_t> PageTransaction::read(std::uint32_t pageNumber) const
{
    if (auto it = pages_.find(pageNumber); it != pages_.end())
        return it->second;
    std::vector<std::uint8_t> image(pageSize_);
    ++bankReads_;
    if (pageNumber >= pageCount_ || !readAllAt(fd_, image.data(), pageSize_, off_t(pageNumber) * pageSize_))
        detail::throwCorrupt(bank_, "第 " + std::to_string(pageNumber) + " 页超出文件末尾");
    return image;
}

void PageTransaction::write(std::uint32_t pageNumber, std::vector<std::uint8_t> image)
{
    image.resize(pageSize_);
    if (pageNumber >= pageCount_)
        pageCount_ = pageNumber + 1;
    pages_[pageNumber] = std::move(image);
}

std::uint32_t PageTransaction::appendPage(std::vector<std::uint8_t> image)
{
    std::uint32_t number = pageCount_;
    write(number, std::move(image));
    return number;
}

void PageTransaction::notify(std::string_view step) const
{
    if (observer_)
        observer_(step);
}

void PageTransaction::writeJournal() const
{
    auto journalPath = journalPathFor(bank_);
    std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
    put(bytes, pageSize_);
    put(bytes, originalSize_);
    std::uint32_t existing = 0;
    for (const auto& entry : pages_)
        existing += entry.first < originalSize_ / pageSize_;
    put(bytes, existing);
    for (const auto& [page, image] : pages_) {
        if (page >= originalSize_ / pageSize_)
            continue;  // a page this change adds has no before-image: cutting the file removes it
        put(bytes, page);
        std::vector<std::uint8_t> before(pageSize_);
        if (!readAllAt(fd_, before.data(), pageSize_, off_t(page) * pageSize_))
            detail::throwFileError(bank_, "无法读取第 " + std::to_string(page) + " 页");
        bytes.insert(bytes.end(), before.begin(), before.end());
    }
    Checksum sum;
    sum.add(bytes.data(), bytes.size());
    put(bytes, sum.value);

    int fd = ::open(journalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        detail::throwFileError(journalPath, "无法创建：" + systemError());
    try {
        // Half the journal, then the rest: a writer stopped in between leaves an incomplete journal.
        std::size_t half = bytes.size() / 2;
        writeAll(fd, bytes.data(), half, journalPath);
        notify("journal-half-written");
        writeAll(fd, bytes.data() + half, bytes.size() - half, journalPath);
        notify("journal-written");
        flush(fd, journalPath);
    } catch (...) {
        ::close(fd);
        ::unlink(journalPath.c_str());
        throw;
    }
    ::close(fd);
    flushFolderOf(journalPath);
    notify("journal-flushed");
}

void PageTransaction::commit()
{
    if (pages_.empty())
        return;
    writeJournal();
    try {
        std::size_t written = 0;
        for (const auto& [page, image] : pages_) {
            writeAllAt(fd_, image.data(), image.size(), off_t(page) * pageSize_, bank_);
            if (++written == 1 || written == pages_.size())
                notify(written == 1 ? "first-page-written" : "last-page-written");
        }
        flush(fd_, bank_);
        notify("bank-flushed");
    } catch (...) {
        // Put the bank back at once rather than leave the journal for the next open.
        try {
            rollBackInterruptedWrite(bank_);
        } catch (...) {
        }
        throw;
    }
    auto journalPath = journalPathFor(bank_);
    if (::unlink(journalPath.c_str()) != 0)
        detail::throwFileError(journalPath, "无法删除：" + systemError());
    flushFolderOf(journalPath);
    notify("journal-removed");
    originalSize_ = std::uint64_t(pageCount_) * pageSize_;
    pages_.clear();
}

}  // namespace jet
