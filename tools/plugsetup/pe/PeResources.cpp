#include "tools/plugsetup/pe/PeResources.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "archive/PeImage.h"
#include "system/Exceptions.h"

namespace {

constexpr char kNoProgramMessage[] = "not a Windows program (no PE headers)";
constexpr char kDamagedMessage[] = "the resource section is damaged";
constexpr char kNamedEntryMessage[] = "the resource section holds named entries, which are not rewritten";
constexpr char kLayoutMessage[] =
    "only the base relocations may follow the resource section; this program's layout is not rewritten";

constexpr std::uint32_t kResourceEntryIndex = 2;
constexpr std::uint32_t kRelocationEntryIndex = 5;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
// Deeper than type, name and language is no tree a program has.
constexpr int kTreeDepth = 3;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 2 > b.size()) throw Exception(kDamagedMessage);
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t value) {
    b[at] = static_cast<std::uint8_t>(value);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t value) {
    Put16(b, at, value & 0xFFFF);
    Put16(b, at + 2, value >> 16);
}

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

struct Section {
    std::size_t Header = 0;  // file offset of its 40-byte header
    std::uint32_t VirtualSize = 0, VirtualAddress = 0, RawSize = 0, RawPointer = 0;
    bool IsRelocations = false;
};

// Where the headers' fields lie, and the section table.
struct Layout {
    std::size_t Optional = 0;
    std::size_t DataDirectory = 0;
    std::uint32_t DirectoryCount = 0;
    std::uint32_t SectionAlignment = 0, FileAlignment = 0;
    std::vector<Section> Sections;

    std::size_t Entry(std::uint32_t index) const { return DataDirectory + index * 8; }
};

Layout ReadLayout(const std::vector<std::uint8_t>& image) {
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') throw Exception(kNoProgramMessage);
    const std::size_t pe = U32(image, 0x3C);
    if (pe + 24 > image.size() || U32(image, pe) != 0x4550) throw Exception(kNoProgramMessage);
    Layout layout;
    layout.Optional = pe + 24;
    const std::uint32_t magic = U16(image, layout.Optional);
    if (magic != 0x10B && magic != 0x20B) throw Exception(kNoProgramMessage);
    const std::size_t countField = layout.Optional + (magic == 0x10B ? 92 : 108);
    layout.DirectoryCount = U32(image, countField);
    layout.DataDirectory = countField + 4;
    layout.SectionAlignment = U32(image, layout.Optional + 32);
    layout.FileAlignment = U32(image, layout.Optional + 36);
    const std::size_t table = layout.Optional + U16(image, pe + 20);
    const std::uint32_t sections = U16(image, pe + 6);
    for (std::uint32_t i = 0; i < sections; ++i) {
        Section s;
        s.Header = table + i * kSectionHeaderSize;
        U32(image, s.Header + 36);  // the whole header is there
        s.VirtualSize = U32(image, s.Header + 8);
        s.VirtualAddress = U32(image, s.Header + 12);
        s.RawSize = U32(image, s.Header + 16);
        s.RawPointer = U32(image, s.Header + 20);
        s.IsRelocations = std::equal(image.begin() + s.Header, image.begin() + s.Header + 8, ".reloc\0\0");
        layout.Sections.push_back(s);
    }
    return layout;
}

// The directory entry's RVA, or 0 when the directory has no such entry.
std::uint32_t DirectoryRva(const std::vector<std::uint8_t>& image, const Layout& layout,
                           std::uint32_t index) {
    return index < layout.DirectoryCount ? U32(image, layout.Entry(index)) : 0;
}

const Section* SectionAt(const Layout& layout, std::uint32_t rva) {
    for (const Section& s : layout.Sections)
        if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.VirtualSize, s.RawSize)) return &s;
    return nullptr;
}

class TreeReader {
public:
    TreeReader(const std::vector<std::uint8_t>& image, const Section& section)
        : image_(image), section_(section) {}

    void Directory(std::uint32_t offset, int depth, std::uint16_t ids[3], std::vector<PeResource>& out) {
        const std::size_t at = FileOffset(offset, kDirectoryHeaderSize);
        const std::uint32_t named = U16(image_, at + 12), numbered = U16(image_, at + 14);
        if (named != 0) throw Exception(kNamedEntryMessage);
        for (std::uint32_t i = 0; i < numbered; ++i) {
            const std::size_t entry =
                FileOffset(offset + kDirectoryHeaderSize + i * kDirectoryEntrySize, kDirectoryEntrySize);
            const std::uint32_t id = U32(image_, entry), target = U32(image_, entry + 4);
            if (id & kHighBit) throw Exception(kNamedEntryMessage);
            ids[depth] = static_cast<std::uint16_t>(id);
            const bool isDirectory = (target & kHighBit) != 0;
            if (isDirectory != (depth + 1 < kTreeDepth)) throw Exception(kDamagedMessage);
            if (isDirectory)
                Directory(target & ~kHighBit, depth + 1, ids, out);
            else
                out.push_back(Leaf(target, ids));
        }
    }

private:
    // The file offset of size bytes at offset into the section, all inside its raw data.
    std::size_t FileOffset(std::uint64_t offset, std::uint64_t size) const {
        if (offset + size > section_.RawSize || section_.RawPointer + offset + size > image_.size())
            throw Exception(kDamagedMessage);
        return static_cast<std::size_t>(section_.RawPointer + offset);
    }

    PeResource Leaf(std::uint32_t offset, const std::uint16_t ids[3]) const {
        const std::size_t at = FileOffset(offset, kDataEntrySize);
        const std::uint32_t rva = U32(image_, at), size = U32(image_, at + 4);
        if (rva < section_.VirtualAddress) throw Exception(kDamagedMessage);
        const std::size_t data = FileOffset(rva - section_.VirtualAddress, size);
        PeResource leaf{ids[0], ids[1], ids[2], {}};
        leaf.Data.assign(image_.begin() + data, image_.begin() + data + size);
        return leaf;
    }

    const std::vector<std::uint8_t>& image_;
    const Section& section_;
};

// The section's bytes for resources placed at rva: every directory first, then the data entries,
// then the data, each piece aligned to 8. Directory entries are in ascending order of their IDs,
// as the loader's binary search wants them.
std::vector<std::uint8_t> ResourceSectionBytes(std::vector<PeResource> resources, std::uint32_t rva) {
    std::sort(resources.begin(), resources.end(), [](const PeResource& a, const PeResource& b) {
        return std::tie(a.Type, a.Name, a.Language) < std::tie(b.Type, b.Name, b.Language);
    });
    using Names = std::map<std::uint16_t, std::map<std::uint16_t, const PeResource*>>;
    std::map<std::uint16_t, Names> tree;
    for (const PeResource& r : resources) tree[r.Type][r.Name][r.Language] = &r;

    auto directorySize = [](std::size_t entries) {
        return kDirectoryHeaderSize + entries * kDirectoryEntrySize;
    };
    std::size_t directories = directorySize(tree.size());
    for (const auto& [type, names] : tree) {
        directories += directorySize(names.size());
        for (const auto& [name, languages] : names) directories += directorySize(languages.size());
    }
    const std::size_t leaves = resources.size();
    std::vector<std::uint8_t> bytes(directories + leaves * kDataEntrySize);

    std::size_t nextDirectory = 0, nextLeaf = directories;
    auto startDirectory = [&](std::size_t entries) {
        const std::size_t at = nextDirectory;
        Put16(bytes, at + 14, static_cast<std::uint32_t>(entries));
        nextDirectory += directorySize(entries);
        return at;
    };
    auto putEntry = [&](std::size_t directory, std::size_t index, std::uint32_t id, std::uint32_t target) {
        Put32(bytes, directory + kDirectoryHeaderSize + index * kDirectoryEntrySize, id);
        Put32(bytes, directory + kDirectoryHeaderSize + index * kDirectoryEntrySize + 4, target);
    };
    // Breadth first: the root, the types, then each type's names and their languages.
    const std::size_t root = startDirectory(tree.size());
    std::vector<std::size_t> typeDirectories;
    std::size_t index = 0;
    for (const auto& [type, names] : tree) {
        typeDirectories.push_back(startDirectory(names.size()));
        putEntry(root, index++, type, static_cast<std::uint32_t>(typeDirectories.back()) | kHighBit);
    }
    std::size_t typeIndex = 0;
    for (const auto& [type, names] : tree) {
        std::size_t nameIndex = 0;
        for (const auto& [name, languages] : names) {
            const std::size_t nameDirectory = startDirectory(languages.size());
            putEntry(typeDirectories[typeIndex], nameIndex++, name,
                     static_cast<std::uint32_t>(nameDirectory) | kHighBit);
            std::size_t languageIndex = 0;
            for (const auto& [language, leaf] : languages) {
                putEntry(nameDirectory, languageIndex++, language, static_cast<std::uint32_t>(nextLeaf));
                // The data entry's RVA is filled below, once the data's place is known.
                Put32(bytes, nextLeaf + 4, static_cast<std::uint32_t>(leaf->Data.size()));
                nextLeaf += kDataEntrySize;
            }
        }
        ++typeIndex;
    }
    std::size_t leafEntry = directories;
    for (const auto& [type, names] : tree)
        for (const auto& [name, languages] : names)
            for (const auto& [language, leaf] : languages) {
                bytes.resize(AlignUp(static_cast<std::uint32_t>(bytes.size()), 8));
                Put32(bytes, leafEntry, rva + static_cast<std::uint32_t>(bytes.size()));
                bytes.insert(bytes.end(), leaf->Data.begin(), leaf->Data.end());
                leafEntry += kDataEntrySize;
            }
    return bytes;
}

}  // namespace

std::vector<PeResource> ReadPeResources(const std::vector<std::uint8_t>& image) {
    const Layout layout = ReadLayout(image);
    const std::uint32_t rva = DirectoryRva(image, layout, kResourceEntryIndex);
    if (rva == 0) return {};
    const Section* section = SectionAt(layout, rva);
    if (!section) throw Exception(kDamagedMessage);
    std::vector<PeResource> resources;
    std::uint16_t ids[3] = {};
    TreeReader(image, *section).Directory(rva - section->VirtualAddress, 0, ids, resources);
    return resources;
}

void WritePeResources(std::vector<std::uint8_t>& image, std::vector<PeResource> resources) {
    const Layout layout = ReadLayout(image);
    const std::uint32_t rva = DirectoryRva(image, layout, kResourceEntryIndex);
    const Section* found = rva ? SectionAt(layout, rva) : nullptr;
    if (!found || found->VirtualAddress != rva) throw Exception(kLayoutMessage);
    const Section rsrc = *found;
    std::vector<Section> after;
    for (const Section& s : layout.Sections)
        if (s.VirtualAddress > rsrc.VirtualAddress) {
            if (!s.IsRelocations || s.RawPointer < rsrc.RawPointer + rsrc.RawSize)
                throw Exception(kLayoutMessage);
            after.push_back(s);
        }
    if (after.size() > 1) throw Exception(kLayoutMessage);

    const std::vector<std::uint8_t> bytes = ResourceSectionBytes(std::move(resources), rva);
    const std::uint32_t newSize = static_cast<std::uint32_t>(bytes.size());
    const std::uint32_t newRaw = AlignUp(newSize, layout.FileAlignment);
    const std::int64_t rawShift = static_cast<std::int64_t>(newRaw) - rsrc.RawSize;
    const std::int64_t virtualShift = static_cast<std::int64_t>(AlignUp(newSize, layout.SectionAlignment)) -
                                      AlignUp(std::max(rsrc.VirtualSize, 1u), layout.SectionAlignment);

    // The new file: everything before the section, the section, then the relocations.
    std::vector<std::uint8_t> out(image.begin(), image.begin() + rsrc.RawPointer);
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.resize(rsrc.RawPointer + newRaw);
    std::uint32_t imageEnd = rsrc.VirtualAddress + AlignUp(newSize, layout.SectionAlignment);
    for (const Section& s : after) {
        if (s.RawPointer + static_cast<std::uint64_t>(s.RawSize) > image.size())
            throw Exception(kLayoutMessage);
        const std::uint32_t movedPointer = static_cast<std::uint32_t>(s.RawPointer + rawShift);
        const std::uint32_t movedAddress = static_cast<std::uint32_t>(s.VirtualAddress + virtualShift);
        out.resize(movedPointer);
        out.insert(out.end(), image.begin() + s.RawPointer, image.begin() + s.RawPointer + s.RawSize);
        Put32(out, s.Header + 12, movedAddress);
        Put32(out, s.Header + 20, movedPointer);
        if (DirectoryRva(image, layout, kRelocationEntryIndex) == s.VirtualAddress)
            Put32(out, layout.Entry(kRelocationEntryIndex), movedAddress);
        imageEnd = movedAddress + AlignUp(std::max(s.VirtualSize, s.RawSize), layout.SectionAlignment);
    }
    Put32(out, rsrc.Header + 8, newSize);
    Put32(out, rsrc.Header + 16, newRaw);
    Put32(out, layout.Entry(kResourceEntryIndex) + 4, newSize);
    Put32(out, layout.Optional + 8, static_cast<std::uint32_t>(U32(image, layout.Optional + 8) + rawShift));
    Put32(out, layout.Optional + 56, imageEnd);

    const bool hadChecksum = U32(image, layout.Optional + 64) != 0;
    image = std::move(out);
    if (hadChecksum) {
        MakeUnsignedImage(image);
    } else if (std::optional<PeHeaderFields> fields = FindPeHeaderFields(image.data(), image.size())) {
        // What was appended before is gone; so is the entry that named it.
        Put32(image, fields->SecurityEntryPosition, 0);
        Put32(image, fields->SecurityEntryPosition + 4, 0);
    }
}
