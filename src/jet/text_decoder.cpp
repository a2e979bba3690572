#include "jet/text_decoder.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <bit>
#include <cstring>

#include <string_view>

#include "jet/messages.h"

namespace jet::detail {
namespace {

bool isAscii(const std::uint8_t* data, std::size_t size) {
    std::uint8_t any = 0;
    for (std::size_t i = 0; i < size; ++i) any |= data[i];
    return any < 0x80;
}

}  // namespace

TextDecoder::TextDecoder(int version, std::uint16_t codePage, const std::filesystem::path& file) : version_(version) {
    if (version_ != 3) return;
    UErrorCode status = U_ZERO_ERROR;
    const std::string name = "windows-" + std::to_string(codePage);
    converter_ = ucnv_open(name.c_str(), &status);
    if (U_FAILURE(status) || !converter_) {
        status = U_ZERO_ERROR;
        const std::string fallback = "cp" + std::to_string(codePage);
        converter_ = ucnv_open(fallback.c_str(), &status);
    }
    if (U_FAILURE(status) || !converter_)
        throwFileError(file, "使用的代码页 " + std::to_string(codePage) + " 无法转换");
}

TextDecoder::~TextDecoder() {
    if (converter_) ucnv_close(converter_);
}

void TextDecoder::decode(const std::uint8_t* data, std::size_t size, std::string& out) {
    if (version_ == 3) return decode8Bit(data, size, out);
    if (size >= 2 && data[0] == 0xff && data[1] == 0xfe) return decodeCompressed(data + 2, size - 2, out);
    decodeUtf16(data, size, out);
}

void TextDecoder::decodeName(const std::uint8_t* data, std::size_t size, std::string& out) {
    if (version_ == 3) return decode8Bit(data, size, out);
    decodeUtf16(data, size, out);
}

void TextDecoder::utf16ToUtf8(std::string& out) {
    // Lone surrogates become U+FFFD instead of failing the whole value.
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t needed = 0;
    out.resize(scratch_.size() * 3);
    u_strToUTF8WithSub(out.data(), std::int32_t(out.size()), &needed, scratch_.data(), std::int32_t(scratch_.size()),
                       0xfffd, nullptr, &status);
    out.resize(U_SUCCESS(status) ? std::size_t(needed) : 0);
}

void TextDecoder::decodeUtf16(const std::uint8_t* data, std::size_t size, std::string& out) {
    const std::size_t units = size / 2;  // a stray odd byte is dropped
    bool ascii = true;
    for (std::size_t i = 0; i < units && ascii; ++i) ascii = data[2 * i + 1] == 0 && data[2 * i] < 0x80;
    if (ascii) {
        out.resize(units);
        for (std::size_t i = 0; i < units; ++i) out[i] = char(data[2 * i]);
        return;
    }
    scratch_.resize(units);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(scratch_.data(), data, units * 2);  // the stored units may be unaligned
    } else {
        for (std::size_t i = 0; i < units; ++i) scratch_[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    }
    utf16ToUtf8(out);
}

void TextDecoder::decodeCompressed(const std::uint8_t* data, std::size_t size, std::string& out) {
    // Starts with one byte per character (high byte zero); each 0x00 byte switches between that and
    // two bytes per character.
    bool simple = true;
    for (std::size_t i = 0; i < size && simple; ++i) simple = data[i] != 0 && data[i] < 0x80;
    if (simple) {
        out.assign(reinterpret_cast<const char*>(data), size);
        return;
    }
    scratch_.clear();
    bool compressed = true;
    std::size_t i = 0;
    while (i < size) {
        if (data[i] == 0) {
            compressed = !compressed;
            ++i;
        } else if (compressed) {
            scratch_.push_back(char16_t(data[i]));
            ++i;
        } else {
            if (i + 1 >= size) break;
            scratch_.push_back(char16_t(data[i] | data[i + 1] << 8));
            i += 2;
        }
    }
    utf16ToUtf8(out);
}

void TextDecoder::decode8Bit(const std::uint8_t* data, std::size_t size, std::string& out) {
    if (isAscii(data, size)) {
        out.assign(reinterpret_cast<const char*>(data), size);
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    scratch_.resize(size * 2 + 1);
    const std::int32_t units = ucnv_toUChars(converter_, scratch_.data(), std::int32_t(scratch_.size()),
                                             reinterpret_cast<const char*>(data), std::int32_t(size), &status);
    scratch_.resize(U_SUCCESS(status) ? std::size_t(units) : 0);
    utf16ToUtf8(out);
}

}  // namespace jet::detail
