#pragma once
// The lock that serialises writes to one bank between programs, and the file it holds open for writing.
#include <chrono>
#include <filesystem>

namespace jet {

class BankLock {
public:
    // Opens the bank for reading and writing and takes its exclusive write lock, waiting up to `patience`
    // for another writer to finish. Throws jet::Error naming the file when it cannot be opened for writing
    // or stays locked.
    explicit BankLock(const std::filesystem::path& bank,
                      std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    ~BankLock();
    BankLock(const BankLock&) = delete;
    BankLock& operator=(const BankLock&) = delete;

    int fd() const { return fd_; }

    // Whether this program could write to the bank now: the file is writable and no other program holds
    // its write lock.
    static bool writable(const std::filesystem::path& bank);

private:
    int fd_ = -1;
};

}  // namespace jet
