#include "jet/file_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "jet/messages.h"

namespace jet::detail {
namespace {

std::string describeErrno(int code) {
    switch (code) {
    case ENOENT: return "不存在";
    case EACCES:
    case EPERM: return "无法打开：没有读取权限";
    case EISDIR: return "是一个文件夹，不是 Access 数据库";
    default: return "无法打开：系统错误 " + std::to_string(code);
    }
}

// Closes the descriptor on every path out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

FileImage::FileImage(const std::filesystem::path& file) : path_(file) {
    Descriptor d{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (d.fd < 0) throwFileError(file, describeErrno(errno));
    struct stat info {};
    if (::fstat(d.fd, &info) != 0) throwFileError(file, describeErrno(errno));
    if (S_ISDIR(info.st_mode)) throwFileError(file, describeErrno(EISDIR));
    if (!S_ISREG(info.st_mode)) throwFileError(file, "不是普通文件，不是 Access 数据库");
    size_ = std::size_t(info.st_size);
    if (size_ == 0) throwFileError(file, "不是 Access 数据库：文件是空的");
    void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, d.fd, 0);
    if (mapped == MAP_FAILED) throwFileError(file, describeErrno(errno));
    mapping_ = mapped;
    data_ = static_cast<const std::uint8_t*>(mapped);
}

FileImage::~FileImage() {
    if (mapping_) ::munmap(mapping_, size_);
}

void FileImage::releaseBelow(std::size_t end) const {
    if (!mapping_) return;
    const auto systemPage = std::size_t(::sysconf(_SC_PAGESIZE));
    end = std::min(end, size_) / systemPage * systemPage;
    if (end > 0) ::madvise(mapping_, end, MADV_DONTNEED);
}

std::span<std::uint8_t> FileImage::makeWritableCopy() {
    if (copy_.empty()) {
        copy_.assign(data_, data_ + size_);
        if (mapping_) ::munmap(mapping_, size_);
        mapping_ = nullptr;
        data_ = copy_.data();
    }
    return copy_;
}

}  // namespace jet::detail
