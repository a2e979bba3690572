#pragma once
// The rollback journal that makes a write to a bank whole or nothing.
//
// Before any page of the bank is overwritten, the before-images of every page the write touches go to a
// journal file beside the bank (BANK + "-journal"), which is flushed to disk first. Only then are the new
// pages written and the bank flushed; removing the journal is the moment of commit. A journal found later
// means a write was cut off: if it is complete, its before-images are put back and the bank is cut to its
// old length; if it is incomplete, the bank itself was never touched and the journal is simply dropped.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace jet {

// Called at every write and flush point of a commit, with the point's name; tests use it to stop a
// writer at each point in turn.
using WriteStepObserver = std::function<void(std::string_view step)>;

std::filesystem::path journalPathFor(const std::filesystem::path& bank);

// Puts the bank back as it was before an interrupted write, if a journal says one was interrupted.
// Returns true when the bank was rolled back. Throws jet::Error when the bank cannot be repaired.
bool rollBackInterruptedWrite(const std::filesystem::path& bank);

// The pages of one change to a bank, written whole or not at all.
class PageTransaction {
public:
    // fd: the bank, open for reading and writing (and locked by the caller).
    PageTransaction(std::filesystem::path bank, int fd, std::uint32_t pageSize, WriteStepObserver observer = {});

    // The page as this change sees it: the new image if the change wrote it, else the bank's.
    std::vector<std::uint8_t> read(std::uint32_t pageNumber) const;
    void write(std::uint32_t pageNumber, std::vector<std::uint8_t> image);
    // A page number past the end of the bank, for a page this change adds.
    std::uint32_t appendPage(std::vector<std::uint8_t> image);
    std::uint32_t pageCount() const { return pageCount_; }
    std::uint32_t pageSize() const { return pageSize_; }
    // How many pages were read from the bank itself (not from this change's own pages) so far.
    std::uint64_t bankReads() const { return bankReads_; }

    bool empty() const { return pages_.empty(); }
    // Journal, write, flush, commit. On failure the bank is rolled back before the error goes on.
    void commit();

private:
    void notify(std::string_view step) const;
    void writeJournal() const;

    std::filesystem::path bank_;
    int fd_;
    std::uint32_t pageSize_;
    WriteStepObserver observer_;
    std::uint64_t originalSize_;
    std::uint32_t pageCount_;
    mutable std::uint64_t bankReads_ = 0;
    std::map<std::uint32_t, std::vector<std::uint8_t>> pages_;
};

}  // namespace jet
