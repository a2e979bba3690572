#include "jet/write/bank_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "jet/messages.h"

namespace jet {

BankLock::BankLock(const std::filesystem::path& bank, std::chrono::milliseconds patience)
{
    fd_ = ::open(bank.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0)
        detail::throwFileError(bank, std::string("无法以写入方式打开：") + std::strerror(errno));
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd_);
            detail::throwFileError(bank, std::string("无法加锁：") + std::strerror(errno));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd_);
            detail::throwFileError(bank, "正被另一个程序写入，请稍后再试");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

BankLock::~BankLock()
{
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

bool BankLock::writable(const std::filesystem::path& bank)
{
    if (::access(bank.c_str(), W_OK) != 0)
        return false;
    int fd = ::open(bank.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (free)
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return free;
}

}  // namespace jet
