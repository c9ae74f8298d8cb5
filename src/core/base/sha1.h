// SHA-1 (FIPS 180-4), for name-based UUIDs; not for anything that needs a secure hash.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace skimlet {

std::array<uint8_t, 20> Sha1(std::span<const uint8_t> data);

}  // namespace skimlet
