#include "engine/Folders.h"

#include <climits>

#include "engine/Bundles.h"
#include "engine/IniFile.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "texts/Texts.h"

namespace {

std::string EnvironmentOr(Platform& platform, const char* name, const char* fallback) {
    std::string value = platform.EnvironmentVariable(name);
    return value.empty() ? fallback : value;
}

// A Photoshop version key's major number: the decimal digits before the first "."; any other
// text counts as 0, so keys such as "CS6" are never chosen.
int PhotoshopKeyNumber(const std::string& name) {
    std::string digits = SplitAt(name, '.').left;
    if (digits.empty()) return 0;
    long long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
        if (number > INT_MAX) return 0;
    }
    return static_cast<int>(number);
}

std::string FileExtension(const std::string& path) {
    std::string name = ExtractFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

// A name that ends in ending after at least one character, letters in either case.
bool HasEnding(const std::string& name, const std::string& ending) {
    return name.size() > ending.size() && SameText(name.substr(name.size() - ending.size()), ending);
}

std::string WithoutExtension(const std::string& path) {
    return path.substr(0, path.size() - FileExtension(path).size());
}

}  // namespace

void DetectSystemFolders(SetupValues& values, Platform& platform) {
    values.AppDataFolder = GetAppDataFolder(platform);
    values.DocumentsFolder = GetDocumentsFolder(platform);
    if (values.Config.Is64Bit) {
        values.ProgramFilesFolder = EnvironmentOr(platform, "ProgramW6432", "C:\\Program Files");
        values.CommonFilesFolder =
            EnvironmentOr(platform, "CommonProgramW6432", "C:\\Program Files\\Common Files");
    } else {
        values.ProgramFilesFolder = GetProgramFilesFolder(platform);
        values.CommonFilesFolder = GetCommonFilesFolder(platform);
    }
}

void DetectVst2Folder(SetupValues& values, Platform& platform) {
    std::string& folder = values.Format(PluginFormat::Vst2).Folder;
    folder.clear();
    try {
        TRegistry64 registry(platform, values.Config.Is64Bit);
        registry.SetRootKey(RootKey::LocalMachine);
        if (registry.OpenKeyReadOnly("\\Software\\Vst")) folder = registry.ReadString("VstPluginsPath");
    } catch (const ERegistryException&) {
        folder.clear();
    }
}

void DetectPluginFolders(SetupValues& values, Platform& platform) {
    for (const PluginFormatRow& row : PluginFormats()) {
        if (row.CommonFilesFolder)
            values.Format(row.Format).Folder = JoinPath(values.CommonFilesFolder, row.CommonFilesFolder);
        if (row.Detect) row.Detect(values, platform);
    }
}

bool CarriesPlugins(const SetupValues& values, const char* marker, const BundleItemNames* item,
                    const ArchiveFolderSize& folderSize) {
    for (const std::string& line : values.Config.Components) {
        if (ListLineValue(line).find(marker) == std::string::npos) continue;
        std::string source = ExpandPath(values, ListLineName(line), item);
        if (!source.empty() && folderSize(source) > 0) return true;
    }
    return false;
}

PluginFormatOffer OfferPluginFormat(const SetupValues& values, const char* marker,
                                    const std::vector<TSetupBundleItem>& items,
                                    const ArchiveFolderSize& folderSize) {
    PluginFormatOffer offer;
    if (!values.Config.IsBundle) {
        offer.Available = CarriesPlugins(values, marker, nullptr, folderSize);
        return offer;
    }
    bool all = true;
    for (const TSetupBundleItem& item : items) {
        if (!CarriesPlugins(values, marker, &item, folderSize)) {
            all = false;
            continue;
        }
        if (!offer.OnlyFor.empty()) offer.OnlyFor += ", ";
        offer.OnlyFor += item.Name;
        offer.Available = true;
    }
    // The remark names the items only when some lack plug-ins of the format.
    if (all) offer.OnlyFor.clear();
    return offer;
}

void OfferPluginFormats(SetupValues& values, const std::vector<TSetupBundleItem>& items,
                        const ArchiveFolderSize& folderSize) {
    for (const PluginFormatRow& row : PluginFormats()) {
        if (!row.ComponentMark) continue;
        PluginFormatOffer offer = OfferPluginFormat(values, row.ComponentMark, items, folderSize);
        values.Format(row.Format).Available = offer.Available;
        values.Format(row.Format).OnlyFor = offer.OnlyFor;
    }
}

void DetectPhotoshopFolder(SetupValues& values, Platform& platform) {
    if ((values.Config.PageFlags & kPagePhotoshopPluginFolder) == 0) return;
    static const std::string kPhotoshopKey = "\\SOFTWARE\\Adobe\\Photoshop";
    try {
        TRegistry64 registry(platform, values.Config.Is64Bit);
        registry.SetRootKey(RootKey::LocalMachine);
        if (!registry.OpenKeyReadOnly(kPhotoshopKey)) return;
        std::string chosen;
        int best = 0;
        for (const std::string& name : registry.KeyNames()) {
            int number = PhotoshopKeyNumber(name);
            if (number > best) {
                best = number;
                chosen = name;
            }
        }
        if (best == 0) return;
        if (registry.OpenKeyReadOnly(kPhotoshopKey + "\\" + chosen + "\\PluginPath"))
            values.Format(PluginFormat::Photoshop).Folder = registry.ReadString("");
    } catch (const ERegistryException&) {
        // Keeps what was found; the Photoshop page lets the user pick the folder.
    }
}

bool CanCreateFolder(Platform& platform, const std::string& path) {
    std::vector<std::string> chain;  // deepest first
    std::string current = path;
    for (;;) {
        std::string candidate = current;
        if (!candidate.empty() && candidate.back() == '\\') candidate.pop_back();
        current = ExtractFilePath(candidate);
        if (current.empty() || current == candidate) break;
        chain.push_back(candidate);
    }
    bool result = !chain.empty();
    std::vector<std::string> created;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        switch (platform.CreateFolder(*it)) {
            case FolderResult::Created:
                created.push_back(*it);
                break;
            case FolderResult::AlreadyExists:
                // Windows says "already exists" for a file of that name too, and no folder can
                // be made there.
                if (!platform.DirectoryExists(*it)) result = false;
                break;
            case FolderResult::Failed:
                result = false;
                break;
        }
    }
    for (auto it = created.rbegin(); it != created.rend(); ++it) platform.RemoveFolder(*it);
    return result;
}

Vst3BundlePlace PlaceInVst3Bundle(const std::string& path) {
    std::vector<std::string> parts;  // the folders, then the file's name
    for (std::size_t begin = 0;;) {
        std::size_t end = path.find('\\', begin);
        parts.push_back(path.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) break;
        begin = end + 1;
    }
    std::size_t bundle = parts.size();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        if (HasEnding(parts[i], ".vst3")) bundle = i;
    if (bundle == parts.size()) return Vst3BundlePlace::Outside;
    bool binary = parts.size() == bundle + 4 && SameText(parts[bundle + 1], "Contents") &&
                  HasEnding(parts[bundle + 2], "-win") &&
                  SameText(FileBaseName(parts.back()), FileBaseName(parts[bundle]));
    return binary ? Vst3BundlePlace::Binary : Vst3BundlePlace::Inside;
}

std::string PluginFileName(const std::string& path, const std::string& dllSuffix, bool vst3Component) {
    if (!SameText(FileExtension(path), ".dll")) return path;
    // The bundle's other libraries are loaded by their own names; so is a suffix they never get.
    if (vst3Component && PlaceInVst3Bundle(path) == Vst3BundlePlace::Inside) return path;
    return WithoutExtension(path) + dllSuffix + (vst3Component ? ".vst3" : ".dll");
}

void PrepareFile(const SetupValues& values, Platform& platform, std::string& path,
                 std::uint32_t& attributes) {
    path = PluginFileName(path, values.DllSuffix, values.IsVst3Component);
    std::string name = ExtractFileName(path);
    bool desktopIni = SameText(name, "desktop.ini");
    if (desktopIni || SameText(name, "PlugIn.ico")) attributes = kAttrReadOnly | kAttrHidden | kAttrSystem;
    if (desktopIni) {
        // The shell reads a folder's desktop.ini (and shows its icon) only on read-only or
        // system folders. The folder's other attributes stay as they were.
        std::string folder = ExtractFilePath(path);
        if (folder.size() > 3 && folder.back() == '\\')
            folder.pop_back();  // a drive root keeps its backslash
        std::uint32_t current = platform.FileAttributes(folder);
        if (current != kInvalidAttributes)
            platform.ChangeFileAttributes(
                folder, (current & ~std::uint32_t{kAttrDirectory | kAttrNormal}) | kAttrReadOnly);
    }
}

bool AskRetryFile(Platform& platform, const std::string& path) {
    return platform.RetryCancelBox(Text(TextId::CannotInstallFileMessage, path));
}
