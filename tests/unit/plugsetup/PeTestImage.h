// A small PE32 program laid out as the linker lays out Setup.exe's end: code, the resource
// section (an empty tree), then the base relocations, each 0x200 bytes in the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace petest {

inline constexpr std::size_t kOptional = 0x98;
inline constexpr std::size_t kSectionTable = kOptional + 224;
inline constexpr std::size_t kRelocationHeader = kSectionTable + 2 * 40;

inline void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t Get(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

inline std::vector<std::uint8_t> Image(const char* lastSection = ".reloc") {
    std::vector<std::uint8_t> b(0x800);
    b[0] = 'M', b[1] = 'Z';
    Put(b, 0x3C, 0x80);
    Put(b, 0x80, 0x4550);
    Put(b, 0x84, 0x14C, 2);
    Put(b, 0x86, 3, 2);
    Put(b, 0x94, 224, 2);
    Put(b, kOptional, 0x10B, 2);
    Put(b, kOptional + 8, 0x400);
    Put(b, kOptional + 32, 0x1000);
    Put(b, kOptional + 36, 0x200);
    Put(b, kOptional + 56, 0x4000);
    Put(b, kOptional + 60, 0x200);
    Put(b, kOptional + 92, 16);
    Put(b, kOptional + 96 + 2 * 8, 0x2000);
    Put(b, kOptional + 96 + 2 * 8 + 4, 16);
    Put(b, kOptional + 96 + 5 * 8, 0x3000);
    Put(b, kOptional + 96 + 5 * 8 + 4, 12);
    const char* names[] = {".text", ".rsrc", lastSection};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::size_t header = kSectionTable + i * 40;
        for (std::size_t k = 0; names[i][k]; ++k) b[header + k] = static_cast<std::uint8_t>(names[i][k]);
        Put(b, header + 8, 0x10);
        Put(b, header + 12, 0x1000 * (i + 1));
        Put(b, header + 16, 0x200);
        Put(b, header + 20, 0x200 * (i + 1));
    }
    for (std::size_t i = 0; i < 0x200; ++i) {
        b[0x200 + i] = static_cast<std::uint8_t>(0x90);
        b[0x600 + i] = static_cast<std::uint8_t>(i * 5 + 1);
    }
    return b;
}

// An icon file with one image per side given (0 for 256), each a few bytes of its own.
inline std::vector<std::uint8_t> Icon(const std::vector<int>& sides) {
    std::vector<std::uint8_t> ico(6 + 16 * sides.size());
    Put(ico, 2, 1, 2);
    Put(ico, 4, static_cast<std::uint32_t>(sides.size()), 2);
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const std::string image = "image " + std::to_string(sides[i]);
        const std::size_t entry = 6 + 16 * i;
        ico[entry] = ico[entry + 1] = static_cast<std::uint8_t>(sides[i]);
        Put(ico, entry + 4, 1, 2);
        Put(ico, entry + 6, 32, 2);
        Put(ico, entry + 8, static_cast<std::uint32_t>(image.size()));
        Put(ico, entry + 12, static_cast<std::uint32_t>(ico.size()));
        ico.insert(ico.end(), image.begin(), image.end());
    }
    return ico;
}

}  // namespace petest
