#pragma once
// The bytes of an open Access file: mapped read-only, or an owned copy when the pages are encrypted.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace jet::detail {

class FileImage {
public:
    // Maps the whole file; throws jet::Error naming it when it cannot be opened or read.
    explicit FileImage(const std::filesystem::path& file);
    ~FileImage();
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }

    // Lets the system take back the mapped pages below `end` from this process; touched again, they
    // come back from the file cache. A streaming read of a large file so keeps only a window of it.
    void releaseBelow(std::size_t end) const;

    // Replaces the mapping by a private copy, for files whose pages must be decrypted in place.
    std::span<std::uint8_t> makeWritableCopy();

private:
    std::filesystem::path path_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;
    std::vector<std::uint8_t> copy_;
};

}  // namespace jet::detail
