#include "jet/create/header_page.h"

#include <cmath>
#include <cstring>

#include "jet/format.h"
#include "jet/rc4.h"

namespace jet::create {
namespace {

constexpr std::uint16_t kCodePage = 1252;            // what Access 2000 writes, whatever the system's
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr char kEngineName[] = "Standard Jet DB";
// Fields at the start of the masked area that Access always writes this way.
constexpr std::uint8_t kMaskedAreaStart[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                             0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr std::uint32_t kUnmaskedTagOffset = 0x98;  // after the masked area: a tag and the engine version
constexpr std::uint8_t kUnmaskedTag[] = {0x54, 0x06, 0x00, 0x00, '4', '.', '0', 0x00};

}  // namespace

Bytes headerPage(std::uint32_t pageSize, double creationDate) {
    Bytes page(pageSize, 0);
    put32(&page[format::MagicOffset], 0x00000100);
    std::memcpy(&page[format::EngineNameOffset], kEngineName, sizeof kEngineName);
    page[format::VersionOffset] = format::VersionJet4;
    std::memcpy(&page[format::MaskedAreaOffset], kMaskedAreaStart, sizeof kMaskedAreaStart);
    put16(&page[format::CodePageOffset], kCodePage);
    put32(&page[format::DatabaseKeyOffset], 0);  // no page encryption
    put16(&page[format::SortOrderOffsetJet4], kGeneralSortOrder);
    put64(&page[format::CreationDateOffset], std::bit_cast<std::uint64_t>(creationDate));
    // No password: the password field holds only the mask derived from the creation date.
    const std::uint32_t mask = std::uint32_t(std::int32_t(std::floor(creationDate)));
    for (std::uint32_t i = 0; i < format::PasswordLengthJet4; ++i)
        page[format::PasswordOffset + i] = std::uint8_t(mask >> (8 * (i % 4)));
    std::memcpy(&page[kUnmaskedTagOffset], kUnmaskedTag, sizeof kUnmaskedTag);

    const std::uint8_t key[4] = {std::uint8_t(format::HeaderMaskKey), std::uint8_t(format::HeaderMaskKey >> 8),
                                 std::uint8_t(format::HeaderMaskKey >> 16), std::uint8_t(format::HeaderMaskKey >> 24)};
    detail::rc4Apply(key, std::span<std::uint8_t>(&page[format::MaskedAreaOffset], format::MaskedAreaLengthJet4));
    return page;
}

}  // namespace jet::create
