#include "tools/plugsetup/pe/SetupFace.h"

#include <algorithm>

#include "archive/PeImage.h"
#include "engine/Configuration.h"
#include "engine/IniFile.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/pe/PeResources.h"

namespace {

constexpr char kNotAnIconMessage[] =
    "not an icon file (an ICO header with at least one image that lies inside the file)";
constexpr char kDamagedVersionMessage[] = "the version resource is damaged";

constexpr std::uint16_t kIconGroupId = 1;
constexpr std::uint16_t kVersionId = 1;
constexpr std::size_t kIconDirectorySize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
// Windows' own strings, in US English and UTF-16, the table every reader looks for first.
constexpr char kStringTableKey[] = "040904B0";
constexpr std::uint32_t kTranslation = 0x04B00409;

std::uint32_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

void Add16(std::vector<std::uint8_t>& b, std::uint32_t value) {
    b.push_back(static_cast<std::uint8_t>(value));
    b.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Add32(std::vector<std::uint8_t>& b, std::uint32_t value) {
    Add16(b, value & 0xFFFF);
    Add16(b, value >> 16);
}

void Pad4(std::vector<std::uint8_t>& b) {
    while (b.size() % 4 != 0) b.push_back(0);
}

// UTF-8 as UTF-16 code units; a byte that starts no valid sequence stands for itself (Latin-1).
std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t point = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        bool valid = length > 0 && i + length <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            point = point << 6 | (next & 0x3F);
        }
        if (!valid) {
            out += static_cast<char16_t>(c);
            ++i;
            continue;
        }
        if (point >= 0x10000) {
            point -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (point >> 10));
            out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            out += static_cast<char16_t>(point);
        }
        i += length;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | point >> 6);
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | point >> 12);
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | point >> 18);
        out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

void AddText(std::vector<std::uint8_t>& b, const std::u16string& text) {
    for (char16_t unit : text) Add16(b, unit);
    Add16(b, 0);
}

// One node of the version tree: its length, value length and type words, its key, its value and
// its children, each part starting on a 32-bit boundary. valueLength counts bytes for binary
// values and characters for text, as the format has it.
template <typename Children>
void AddNode(std::vector<std::uint8_t>& b, const char* key, std::uint32_t type,
             const std::vector<std::uint8_t>& value, std::uint32_t valueLength, Children children) {
    Pad4(b);
    const std::size_t start = b.size();
    Add16(b, 0);
    Add16(b, valueLength);
    Add16(b, type);
    AddText(b, Utf16(key));
    Pad4(b);
    b.insert(b.end(), value.begin(), value.end());
    children();
    const std::size_t length = b.size() - start;
    b[start] = static_cast<std::uint8_t>(length);
    b[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

void NoChildren() {}

std::uint32_t VersionWord(std::int32_t high, std::int32_t low) {
    auto part = [](std::int32_t value) { return static_cast<std::uint32_t>(std::clamp(value, 0, 0xFFFF)); };
    return part(high) << 16 | part(low);
}

struct IconImage {
    std::vector<std::uint8_t> Entry;  // the directory entry's first 12 bytes
    std::vector<std::uint8_t> Data;
};

std::vector<IconImage> ReadIconFile(const std::vector<std::uint8_t>& ico) {
    if (ico.size() < kIconDirectorySize || Get16(ico, 0) != 0 || Get16(ico, 2) != 1 || Get16(ico, 4) == 0)
        throw Exception(kNotAnIconMessage);
    const std::size_t count = Get16(ico, 4);
    if (kIconDirectorySize + count * kIconEntrySize > ico.size()) throw Exception(kNotAnIconMessage);
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kIconDirectorySize + i * kIconEntrySize;
        const std::uint64_t size = Get32(ico, entry + 8), offset = Get32(ico, entry + 12);
        if (size == 0 || offset + size > ico.size()) throw Exception(kNotAnIconMessage);
        images.push_back({std::vector<std::uint8_t>(ico.begin() + entry, ico.begin() + entry + 12),
                          std::vector<std::uint8_t>(ico.begin() + offset, ico.begin() + offset + size)});
    }
    return images;
}

// Each image an icon resource numbered from 1, and the group that lists them.
std::vector<PeResource> IconResources(const std::vector<std::uint8_t>& ico) {
    std::vector<PeResource> resources;
    PeResource group{kResourceGroupIcon, kIconGroupId, kResourceLanguage, {}};
    Add16(group.Data, 0);
    Add16(group.Data, 1);
    std::vector<IconImage> images = ReadIconFile(ico);
    Add16(group.Data, static_cast<std::uint32_t>(images.size()));
    std::uint16_t id = 1;
    for (IconImage& image : images) {
        group.Data.insert(group.Data.end(), image.Entry.begin(), image.Entry.end());
        Add16(group.Data, id);
        resources.push_back({kResourceIcon, id++, kResourceLanguage, std::move(image.Data)});
    }
    resources.push_back(std::move(group));
    return resources;
}

// The node at offset: its key, its value's bytes and where its children lie.
struct VersionNode {
    std::string Key;
    std::size_t ValueStart = 0, ValueBytes = 0, ChildrenStart = 0, End = 0;
};

std::size_t Align4(std::size_t at) {
    return (at + 3) / 4 * 4;
}

std::string Utf8From16(const std::vector<std::uint8_t>& b, std::size_t& at, std::size_t end) {
    std::string text;
    for (;;) {
        if (at + 2 > end) throw Exception(kDamagedVersionMessage);
        char32_t unit = Get16(b, at);
        at += 2;
        if (unit == 0) return text;
        if (unit >= 0xD800 && unit < 0xDC00 && at + 2 <= end) {
            const char32_t low = Get16(b, at);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(text, unit);
    }
}

VersionNode ReadNode(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t limit) {
    if (at + 6 > limit) throw Exception(kDamagedVersionMessage);
    VersionNode node;
    node.End = at + Get16(b, at);
    const std::size_t valueLength = Get16(b, at + 2);
    const bool isText = Get16(b, at + 4) == 1;
    if (node.End > limit || node.End < at + 6) throw Exception(kDamagedVersionMessage);
    std::size_t cursor = at + 6;
    node.Key = Utf8From16(b, cursor, node.End);
    node.ValueStart = std::min(Align4(cursor), node.End);
    node.ValueBytes = std::min(isText ? valueLength * 2 : valueLength, node.End - node.ValueStart);
    node.ChildrenStart = std::min(Align4(node.ValueStart + node.ValueBytes), node.End);
    return node;
}

template <typename Visit>
void ForEachChild(const std::vector<std::uint8_t>& b, const VersionNode& parent, Visit visit) {
    for (std::size_t at = parent.ChildrenStart; at + 6 <= parent.End;) {
        VersionNode child = ReadNode(b, at, parent.End);
        if (child.End == at) break;
        visit(child);
        at = Align4(child.End);
    }
}

std::string SetupValue(const IniFile& ini, const char* key, const CodePage& codePage) {
    return codePage.Decode(ini.ReadString("Setup", key, ""));
}

}  // namespace

void CheckIconFile(const std::vector<std::uint8_t>& ico) {
    ReadIconFile(ico);
}

std::vector<std::uint8_t> VersionResourceData(const TProgramVersion& version, const VersionStrings& strings) {
    std::vector<std::uint8_t> fixed;
    for (std::uint32_t word :
         {0xFEEF04BDu, 0x00010000u, VersionWord(version.Major, version.Minor),
          VersionWord(version.Release, version.Beta), VersionWord(version.Major, version.Minor),
          VersionWord(version.Release, version.Beta),
          0x3Fu,        // the flags that mean something
          0u,           // none of them set
          0x00040004u,  // for Windows NT, 32-bit
          1u,           // an application
          0u, 0u, 0u})
        Add32(fixed, word);
    std::vector<std::uint8_t> b;
    AddNode(b, "VS_VERSION_INFO", 0, fixed, static_cast<std::uint32_t>(fixed.size()), [&] {
        AddNode(b, "StringFileInfo", 1, {}, 0, [&] {
            AddNode(b, kStringTableKey, 1, {}, 0, [&] {
                for (const auto& [name, text] : strings) {
                    std::vector<std::uint8_t> value;
                    const std::u16string wide = Utf16(text);
                    AddText(value, wide);
                    AddNode(b, name.c_str(), 1, value, static_cast<std::uint32_t>(wide.size() + 1),
                            NoChildren);
                }
            });
        });
        AddNode(b, "VarFileInfo", 1, {}, 0, [&] {
            std::vector<std::uint8_t> translation;
            Add32(translation, kTranslation);
            AddNode(b, "Translation", 0, translation, 4, NoChildren);
        });
    });
    return b;
}

VersionStrings ReadVersionStrings(const std::vector<std::uint8_t>& data) {
    VersionStrings strings;
    const VersionNode root = ReadNode(data, 0, data.size());
    ForEachChild(data, root, [&](const VersionNode& info) {
        if (info.Key != "StringFileInfo") return;
        ForEachChild(data, info, [&](const VersionNode& table) {
            ForEachChild(data, table, [&](const VersionNode& entry) {
                std::size_t at = entry.ValueStart;
                strings.emplace_back(entry.Key, entry.ValueBytes ? Utf8From16(data, at, entry.End) : "");
            });
        });
    });
    return strings;
}

SetupFace ReadSetupFace(const std::string& productDir, std::vector<SourceEntry>& tree,
                        const TProgramVersion& version, const CodePage& codePage) {
    SetupFace face;
    face.Version = version;
    auto icon = std::find_if(tree.begin(), tree.end(), [](const SourceEntry& entry) {
        return !entry.IsDirectory && SameText(entry.Name, kSetupIconName);
    });
    if (icon != tree.end()) {
        const std::string path = JoinHostPath(productDir, icon->Name);
        face.Icon = ReadHostFile(path);
        WithSubject(path, [&] { CheckIconFile(face.Icon); });
        tree.erase(icon);
    }
    auto ini = std::find_if(tree.begin(), tree.end(), [](const SourceEntry& entry) {
        return !entry.IsDirectory && SameText(entry.Name, "Setup.ini");
    });
    if (ini == tree.end()) return face;
    const IniFile setup(SetupTextLines(std::string(ini->Bytes.begin(), ini->Bytes.end())));
    const std::string copyright = SetupValue(setup, "LegalCopyright", codePage);
    std::string description = SetupValue(setup, "FileDescription", codePage);
    if (face.Icon.empty() && copyright.empty() && description.empty()) return face;

    const std::string product = SetupValue(setup, "ProductName", codePage);
    if (description.empty()) description = product + " Setup";
    const std::string number = std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
                               std::to_string(version.Release);
    for (auto [name, text] : VersionStrings{{"FileDescription", description},
                                            {"FileVersion", number},
                                            {"ProductName", product},
                                            {"ProductVersion", number},
                                            {"CompanyName", SetupValue(setup, "Publisher", codePage)},
                                            {"LegalCopyright", copyright}})
        if (!text.empty()) face.Strings.emplace_back(name, text);
    return face;
}

void ApplySetupFace(std::vector<std::uint8_t>& stub, const SetupFace& face) {
    if (face.Empty()) return;
    std::vector<PeResource> resources = ReadPeResources(stub);
    std::erase_if(resources, [&](const PeResource& r) {
        return (r.Type == kResourceVersion && !face.Strings.empty()) ||
               ((r.Type == kResourceIcon || r.Type == kResourceGroupIcon) && !face.Icon.empty());
    });
    if (!face.Icon.empty())
        for (PeResource& r : IconResources(face.Icon)) resources.push_back(std::move(r));
    if (!face.Strings.empty())
        resources.push_back({kResourceVersion, kVersionId, kResourceLanguage,
                             VersionResourceData(face.Version, face.Strings)});
    WritePeResources(stub, std::move(resources));
}

std::vector<std::string> DescribeSetupFace(const std::vector<std::uint8_t>& program) {
    std::vector<std::string> lines;
    if (!FindPeHeaderFields(program.data(), program.size())) return lines;
    std::vector<PeResource> resources;
    try {
        resources = ReadPeResources(program);
    } catch (const Exception& error) {
        // The setup itself never reads them; what Explorer would make of them is told, not judged.
        return {std::string("Resources:  ") + error.what()};
    }
    for (const PeResource& r : resources) {
        if (r.Type == kResourceVersion) {
            std::string line = "Version information:";
            for (const auto& [name, text] : ReadVersionStrings(r.Data)) line += "\n  " + name + ": " + text;
            lines.push_back(line);
        } else if (r.Type == kResourceGroupIcon && r.Data.size() >= kIconDirectorySize) {
            const std::size_t count = std::min<std::size_t>(
                Get16(r.Data, 4), (r.Data.size() - kIconDirectorySize) / kGroupEntrySize);
            std::string sizes;
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t entry = kIconDirectorySize + i * kGroupEntrySize;
                auto side = [&](std::size_t at) { return std::to_string(r.Data[at] ? r.Data[at] : 256); };
                sizes += (i ? ", " : "") + side(entry) + "x" + side(entry + 1);
            }
            lines.push_back("Icon:       " + std::to_string(count) + (count == 1 ? " image (" : " images (") +
                            sizes + ")");
        }
    }
    return lines;
}
