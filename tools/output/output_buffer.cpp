#include "output/output_buffer.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace tool {

OutputBuffer::OutputBuffer(int fd, std::size_t capacity) : fd_(fd), data_(capacity) {}

void OutputBuffer::flush()
{
    writeAll(data_.data(), used_);
    used_ = 0;
}

void OutputBuffer::flushFor(std::string_view text)
{
    flush();
    if (text.size() >= data_.size()) {
        writeAll(text.data(), text.size());
        return;
    }
    text.copy(data_.data(), text.size());
    used_ = text.size();
}

void OutputBuffer::writeAll(const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error(std::string("cannot write the output: ") + std::strerror(errno));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace tool
