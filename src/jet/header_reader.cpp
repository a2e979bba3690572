#include "jet/header_reader.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "jet/byte_order.h"
#include "jet/format.h"
#include "jet/messages.h"
#include "jet/rc4.h"

namespace jet::detail {
namespace {

constexpr std::array<std::uint8_t, 4> Magic{0x00, 0x01, 0x00, 0x00};
constexpr char JetName[] = "Standard Jet DB";
constexpr char AceName[] = "Standard ACE DB";

bool anyNonZero(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0) return true;
    return false;
}

}  // namespace

void toggleHeaderMask(std::span<std::uint8_t> page0, int version) {
    const std::uint32_t length = version == 3 ? format::MaskedAreaLengthJet3 : format::MaskedAreaLengthJet4;
    if (page0.size() < format::MaskedAreaOffset + length) return;
    std::array<std::uint8_t, 4> key;
    for (int i = 0; i < 4; ++i) key[i] = std::uint8_t(format::HeaderMaskKey >> (8 * i));
    rc4Apply(key, page0.subspan(format::MaskedAreaOffset, length));
}

FileHeader readFileHeader(std::span<const std::uint8_t> file, const std::filesystem::path& path) {
    const std::size_t needed = format::MaskedAreaOffset + format::MaskedAreaLengthJet4;
    if (file.size() < needed || std::memcmp(file.data(), Magic.data(), Magic.size()) != 0)
        throwFileError(path, "不是 Access 数据库");
    const auto* name = reinterpret_cast<const char*>(file.data() + format::EngineNameOffset);
    if (std::memcmp(name, AceName, sizeof AceName) == 0)
        throwFileError(path, "是 Access 2007 及以后的格式（ACCDB），只能读取 Access 97 至 2003 的文件");
    if (std::memcmp(name, JetName, sizeof JetName) != 0) throwFileError(path, "不是 Access 数据库");

    FileHeader header;
    header.versionByte = file[format::VersionOffset];
    if (header.versionByte == format::VersionJet3) {
        header.version = 3;
        header.pageSize = 2048;
    } else if (header.versionByte == format::VersionJet4) {
        header.version = 4;
        header.pageSize = 4096;
    } else {
        throwFileError(path, "的格式版本（" + std::to_string(header.versionByte) +
                                 "）不是 Jet 3 或 Jet 4，只能读取 Access 97 至 2003 的文件");
    }
    if (file.size() < header.pageSize || file.size() % header.pageSize != 0)
        throwCorrupt(path, "文件长度 " + std::to_string(file.size()) + " 字节不是页大小 " +
                               std::to_string(header.pageSize) + " 的整数倍，可能被截断");
    header.pageCount = std::uint32_t(file.size() / header.pageSize);

    std::vector<std::uint8_t> page0(file.begin(), file.begin() + header.pageSize);
    toggleHeaderMask(page0, header.version);
    const std::uint8_t* p = page0.data();
    header.codePage = le16(p + format::CodePageOffset);
    header.databaseKey = le32(p + format::DatabaseKeyOffset);
    if (header.version == 3) {
        header.sortOrder = le16(p + format::SortOrderOffsetJet3);
        header.hasPassword = anyNonZero(p + format::PasswordOffset, format::PasswordLengthJet3);
    } else {
        header.sortOrder = le16(p + format::SortOrderOffsetJet4);
        header.sortVersion = le16(p + format::SortOrderOffsetJet4 + 2);
        header.creationDate = leDouble(p + format::CreationDateOffset);
        // Jet 4 masks the password once more with the whole days of the creation date.
        std::array<std::uint8_t, 4> mask{};
        const double days = header.creationDate;
        if (std::isfinite(days) && days > -2147483648.0 && days < 2147483648.0) {
            const auto whole = std::uint32_t(std::int32_t(days));
            for (int i = 0; i < 4; ++i) mask[i] = std::uint8_t(whole >> (8 * i));
        }
        std::array<std::uint8_t, format::PasswordLengthJet4> password;
        for (std::size_t i = 0; i < password.size(); ++i)
            password[i] = p[format::PasswordOffset + i] ^ mask[i % 4];
        header.hasPassword = anyNonZero(password.data(), password.size());
    }
    if (header.hasPassword) throwFileError(path, "设有数据库密码，无法打开（不支持带密码的数据库）");
    return header;
}

}  // namespace jet::detail
