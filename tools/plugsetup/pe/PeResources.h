// A Windows program's resource section, read as a list of leaves and written anew. Resources are
// reached only through the data directory, so the section can be rebuilt where it lies; what
// follows it in the image must be the base relocations alone, which nothing else points into and
// which are moved up with their directory entry.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr std::uint16_t kResourceIcon = 3;
inline constexpr std::uint16_t kResourceGroupIcon = 14;
inline constexpr std::uint16_t kResourceVersion = 16;
inline constexpr std::uint16_t kResourceManifest = 24;
// English (United States), the language of the stub's own manifest and of what build adds.
inline constexpr std::uint16_t kResourceLanguage = 0x409;

// One leaf of the tree: type, name and language, each a number (named entries are not used).
struct PeResource {
    std::uint16_t Type = 0;
    std::uint16_t Name = 0;
    std::uint16_t Language = 0;
    std::vector<std::uint8_t> Data;
};

// The leaves of image's resource section, in the tree's order; none when the image has no
// resource directory. Raises Exception when image is no PE program or its tree is damaged.
// image may run on past the program (a setup's archive, a certificate table).
std::vector<PeResource> ReadPeResources(const std::vector<std::uint8_t>& image);

// Replaces the resource section of image, a program with nothing appended, by one that holds
// resources, moving the base relocations after it. The image size, the two directory entries and
// (when it was set) the checksum follow; any certificate table is dropped with the bytes after
// the last section. Raises Exception when the layout is not one this can rewrite.
void WritePeResources(std::vector<std::uint8_t>& image, std::vector<PeResource> resources);
