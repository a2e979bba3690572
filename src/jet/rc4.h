#pragma once
// RC4, the cipher Jet uses to mask the header area and, with a database key, to encrypt pages.
#include <cstdint>
#include <span>

namespace jet::detail {

// XORs data in place with the RC4 key stream of key.
void rc4Apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace jet::detail
