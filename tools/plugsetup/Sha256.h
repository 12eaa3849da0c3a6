// SHA-256 (FIPS 180-4), for the digests package managers check a download against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The digest of bytes, as 64 upper-case hexadecimal digits.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);
