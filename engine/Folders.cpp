#include "engine/Folders.h"

#include <climits>

#include "engine/Bundles.h"
#include "engine/IniFile.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"

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

void DetectProToolsFolders(SetupValues& values) {
    values.DigiFolder = JoinPath(values.CommonFilesFolder, "Digidesign\\DAE\\Plug-Ins");
    values.AaxFolder = JoinPath(values.CommonFilesFolder, "Avid\\Audio\\Plug-Ins");
}

void DetectVst2Folder(SetupValues& values, Platform& platform) {
    values.Vst2Folder.clear();
    try {
        TRegistry64 registry(platform, values.Config.Is64Bit);
        registry.SetRootKey(RootKey::LocalMachine);
        if (registry.OpenKeyReadOnly("\\Software\\Vst"))
            values.Vst2Folder = registry.ReadString("VstPluginsPath");
    } catch (const ERegistryException&) {
        values.Vst2Folder.clear();
    }
}

bool HasVst3Plugins(const SetupValues& values, const BundleItemNames* item,
                    const ArchiveFolderSize& folderSize) {
    for (const std::string& line : values.Config.Components) {
        if (ListLineValue(line).find("Vst3") == std::string::npos) continue;
        std::string source = ExpandPath(values, ListLineName(line), item);
        if (!source.empty() && folderSize(source) > 0) return true;
    }
    return false;
}

void DetectVst3Folder(SetupValues& values, const std::vector<TSetupBundleItem>& items,
                      const ArchiveFolderSize& folderSize) {
    values.Vst3Folder = JoinPath(values.CommonFilesFolder, "VST3");
    values.Vst3OnlyFor.clear();
    if (!values.Config.IsBundle) {
        values.Vst3Available = HasVst3Plugins(values, nullptr, folderSize);
        return;
    }
    values.Vst3Available = false;
    bool all = true;
    for (const TSetupBundleItem& item : items) {
        if (!HasVst3Plugins(values, &item, folderSize)) {
            all = false;
            continue;
        }
        if (!values.Vst3OnlyFor.empty()) values.Vst3OnlyFor += ", ";
        values.Vst3OnlyFor += item.Name;
        values.Vst3Available = true;
    }
    // The remark names the items only when some lack VST 3 plug-ins.
    if (all) values.Vst3OnlyFor.clear();
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
            values.PhotoshopFolder = registry.ReadString("");
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

std::string PluginFileName(const std::string& path, const std::string& dllSuffix, bool vst3Component) {
    if (!SameText(FileExtension(path), ".dll")) return path;
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
    std::string text = kCannotInstallFileMessage;
    text.replace(text.find("%s"), 2, path);
    return platform.RetryCancelBox(text);
}
