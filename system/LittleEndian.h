// The one reader and writer of little-endian integers in byte buffers: the archive's entry
// records, the program header words, the PE fields and the streams all store them this way.
#pragma once

#include <cstdint>

inline std::uint16_t ReadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::int32_t ReadLeInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadLe32(p));
}

inline void PutLe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
