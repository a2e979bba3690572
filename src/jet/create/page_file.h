#pragma once
// The file being written, page by page. Pages usually arrive in page order and are gathered into big
// sequential writes; a page that arrives early waits until the pages before it are written, and
// pages written at the end (header, catalog) go to their place directly. The writes themselves run
// on a thread of their own, so that building the next pages goes on while the last ones are written.
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "jet/create/byte_writer.h"

namespace jet::create {

class PageFile {
public:
    PageFile(const std::filesystem::path& path, std::uint32_t pageSize, std::uint32_t firstStreamedPage);
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    // Hands out the next page number of the stream.
    std::uint32_t allocate() { return nextPage_++; }
    std::uint32_t pageCount() const { return nextPage_; }

    // A page of the stream (a number from allocate()), in any order.
    void put(std::uint32_t page, const Bytes& bytes);
    // A page outside the stream (below firstStreamedPage), written in place at once.
    void putAt(std::uint32_t page, const Bytes& bytes);

    // Writes what is gathered and checks that every allocated page was written; closes the file.
    void close();

private:
    void drain();
    void flush();                 // hands run_ to the writing thread
    void waitForWriter();         // until the writing thread is idle; rethrows its failure
    void writerLoop();
    void writeAt(std::uint64_t offset, const std::uint8_t* data, std::size_t length);

    std::filesystem::path path_;
    int fd_ = -1;
    std::uint32_t pageSize_;
    std::uint32_t nextPage_;
    std::uint32_t runStart_;   // first page held in run_
    Bytes run_;                // consecutive pages waiting for one write
    std::map<std::uint32_t, Bytes> early_;  // pages that arrived before their predecessors

    std::mutex mutex_;
    std::condition_variable changed_;
    Bytes writing_;                // the run being written by the thread
    std::uint64_t writingOffset_ = 0;
    bool busy_ = false, stopping_ = false;
    std::string failure_;          // the thread's error message, empty while all is well
    std::thread writer_;
};

}  // namespace jet::create
