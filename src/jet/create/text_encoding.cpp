#include "jet/create/text_encoding.h"

#include <unicode/ustring.h>

#include <string>

#include "jet/error.h"

namespace jet::create {
namespace {

constexpr std::uint8_t kCompressedMark0 = 0xff;
constexpr std::uint8_t kCompressedMark1 = 0xfe;
constexpr std::size_t kMaxCompressedChars = 1024;  // longer values are stored uncompressed
constexpr std::uint8_t kKeyAscending = 0x7f;       // flag byte before each ascending key column
constexpr std::uint8_t kTextKeyEnd = 0x01;
constexpr std::uint8_t kTextKeyExtraEnd = 0x00;

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');  // never more UTF-16 units than UTF-8 bytes
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), &length, utf8.data(), int32_t(utf8.size()),
                  &status);
    if (U_FAILURE(status)) throw Error("文本不是有效的 UTF-8 编码");
    out.resize(std::size_t(length));
    return out;
}

// Letters of the General sort order: each letter's primary code; upper and lower case share it.
constexpr std::uint8_t kLetterCodes[26] = {0x4a, 0x4c, 0x4d, 0x4f, 0x51, 0x53, 0x55, 0x57, 0x59, 0x5b, 0x5c, 0x5e, 0x60,
                                           0x62, 0x64, 0x66, 0x68, 0x69, 0x6b, 0x6d, 0x6f, 0x71, 0x73, 0x75, 0x76, 0x78};
constexpr std::uint8_t kDigitZeroCode = 0x36;  // digits follow in steps of two

}  // namespace

Bytes utf16le(std::string_view utf8) {
    const std::u16string units = toUtf16(utf8);
    Bytes out(units.size() * 2);
    for (std::size_t i = 0; i < units.size(); ++i) put16(&out[i * 2], units[i]);
    return out;
}

const Bytes& TextEncoder::store(std::string_view utf8) {
    if (units_.size() < utf8.size()) units_.resize(utf8.size());  // never more units than UTF-8 bytes
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(units_.data()), int32_t(units_.size()), &length, utf8.data(),
                  int32_t(utf8.size()), &status);
    if (U_FAILURE(status)) throw Error("文本不是有效的 UTF-8 编码");
    const std::size_t n = std::size_t(length);
    const char16_t* units = units_.data();
    bool compressible = n > 2 && n <= kMaxCompressedChars;
    for (std::size_t i = 0; compressible && i < n; ++i) compressible = units[i] >= 0x01 && units[i] <= 0xff;
    if (compressible) {
        stored_.resize(n + 2);
        stored_[0] = kCompressedMark0;
        stored_[1] = kCompressedMark1;
        for (std::size_t i = 0; i < n; ++i) stored_[i + 2] = std::uint8_t(units[i]);
    } else {
        stored_.resize(n * 2);
        for (std::size_t i = 0; i < n; ++i) put16(&stored_[i * 2], units[i]);
    }
    return stored_;
}

Bytes storedText(std::string_view utf8) {
    TextEncoder encoder;
    return encoder.store(utf8);
}

Bytes generalSortKey(std::string_view asciiName) {
    Bytes key{kKeyAscending};
    for (char c : asciiName) {
        if (c >= 'a' && c <= 'z') key.push_back(kLetterCodes[c - 'a']);
        else if (c >= 'A' && c <= 'Z') key.push_back(kLetterCodes[c - 'A']);
        else if (c >= '0' && c <= '9') key.push_back(std::uint8_t(kDigitZeroCode + 2 * (c - '0')));
        else throw Error("目录名称含有不支持的字符: " + std::string(asciiName));
    }
    key.push_back(kTextKeyEnd);
    key.push_back(kTextKeyExtraEnd);
    return key;
}

Bytes longKey(std::int32_t value) {
    Bytes key{kKeyAscending, 0, 0, 0, 0};
    putBig32(&key[1], std::uint32_t(value) ^ 0x80000000u);
    return key;
}

}  // namespace jet::create
