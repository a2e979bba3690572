#pragma once
// A large in-memory buffer in front of a file descriptor: output is gathered and written in big
// blocks, so that printing a million rows costs a few hundred system calls, not millions.
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

class OutputBuffer {
public:
    explicit OutputBuffer(int fd, std::size_t capacity = 1 << 20);
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    // Unflushed output is dropped here on purpose: a failed command must not print half a row;
    // callers flush() when they are done.
    ~OutputBuffer() = default;

    void put(char c)
    {
        if (used_ == data_.size())
            flush();
        data_[used_++] = c;
    }
    void put(std::string_view text)
    {
        if (text.size() > data_.size() - used_)
            flushFor(text);
        else {
            text.copy(data_.data() + used_, text.size());
            used_ += text.size();
        }
    }
    // Writes a number in its shortest exact form (std::to_chars).
    template <typename Number>
    void number(Number value)
    {
        reserve(64);
        auto [end, ec] = std::to_chars(data_.data() + used_, data_.data() + data_.size(), value);
        (void)ec;  // 64 characters always hold a number
        used_ = static_cast<std::size_t>(end - data_.data());
    }
    // Makes room for at least n characters and returns where to write them; commit(n) afterwards.
    char* reserve(std::size_t n)
    {
        if (data_.size() - used_ < n)
            flush();
        if (data_.size() < n)
            data_.resize(n);
        return data_.data() + used_;
    }
    void commit(std::size_t n) { used_ += n; }

    // Writes everything gathered so far; throws std::runtime_error when the output cannot take it.
    void flush();

private:
    void flushFor(std::string_view text);
    void writeAll(const char* data, std::size_t size);

    int fd_;
    std::vector<char> data_;
    std::size_t used_ = 0;
};

}  // namespace tool
