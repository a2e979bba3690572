#pragma once
// Text as Jet stores it, to UTF-8: Jet 4's UTF-16 (plain or "Unicode compressed", marked by FF FE),
// Jet 3's 8-bit text in the file's code page.
#include <cstdint>
#include <filesystem>
#include <string>

struct UConverter;

namespace jet::detail {

class TextDecoder {
public:
    // version 3 or 4; codePage is used for Jet 3 text. Throws jet::Error naming the file when ICU has no
    // converter for the code page.
    TextDecoder(int version, std::uint16_t codePage, const std::filesystem::path& file);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // A text or memo value.
    void decode(const std::uint8_t* data, std::size_t size, std::string& out);
    // A name in a table definition: UTF-16 (Jet 4, never compressed) or 8-bit (Jet 3).
    void decodeName(const std::uint8_t* data, std::size_t size, std::string& out);

private:
    void utf16ToUtf8(std::string& out);
    void decodeCompressed(const std::uint8_t* data, std::size_t size, std::string& out);
    void decodeUtf16(const std::uint8_t* data, std::size_t size, std::string& out);
    void decode8Bit(const std::uint8_t* data, std::size_t size, std::string& out);

    int version_;
    UConverter* converter_ = nullptr;  // Jet 3 only
    std::u16string scratch_;
};

}  // namespace jet::detail
