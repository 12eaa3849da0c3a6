// SHA-256 (FIPS 180-4): the digest the setup stores for the uninstall record it wrote, so the
// uninstaller can tell its own record from one put beside it later.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(const std::uint8_t* bytes, std::size_t size);
// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t size);
