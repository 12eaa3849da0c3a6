// SHA-256 (FIPS 180-4): the digest the setup stores for the uninstall record it wrote, so the
// uninstaller can tell its own record from one put beside it later.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Sha256Digest = std::array<std::uint8_t, 32>;

// The state before the first block, and one 64-byte block folded into a state: for callers that
// hash data as it comes (the tool's signature digests).
inline constexpr std::array<std::uint32_t, 8> kSha256Start = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                              0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
void Sha256Block(std::uint32_t state[8], const std::uint8_t block[64]);

Sha256Digest Sha256(const std::uint8_t* bytes, std::size_t size);
// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t size);
