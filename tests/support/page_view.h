#pragma once
// A bank's pages as a change would see them, never committed: for tests that look into index trees
// and usage maps. Opened for writing only when a test damages the file on purpose.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "jet/database.h"
#include "jet/write/page_journal.h"
#include "jet/write/page_store.h"

namespace testing_support {

struct PageView {
    explicit PageView(const std::filesystem::path& bank, bool writable = false)
        : db(jet::Database::open(bank)), fd(::open(bank.c_str(), writable ? O_RDWR : O_RDONLY)),
          change(std::make_unique<jet::PageTransaction>(bank, fd, db->header().pageSize)), store(*change)
    {
    }
    ~PageView() { ::close(fd); }
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    std::unique_ptr<jet::Database> db;
    int fd;
    std::unique_ptr<jet::PageTransaction> change;
    jet::write::PageStore store;
};

}  // namespace testing_support
