#include "engine/Upgrade.h"

#include "engine/IniFile.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/WindowsEx.h"

namespace {

// A string value below the product's registry record; missing keys and values and registry
// errors all read as empty text.
std::string ReadRecordValue(const SetupValues& values, Platform& platform, RootKey root,
                            const std::string& keyPath, const std::string& valueName) {
    try {
        TRegistry64 registry(platform, values.Config.Is64Bit);
        registry.SetRootKey(root);
        if (!registry.OpenKeyReadOnly(keyPath)) return "";
        return registry.ReadString(valueName);
    } catch (const ERegistryException&) {
        return "";
    }
}

bool HasFoldersRegistryLine(const SetupValues& values, std::size_t index) {
    std::string name = ListLineName(values.Config.Folders.at(index));
    if (name.empty()) return false;
    for (const std::string& line : values.Config.FoldersRegistry) {
        SplitResult split = SplitAt(line, '=');
        if (split.found && SameText(split.left, name)) return true;
    }
    return false;
}

}  // namespace

std::string FormatDefaultFolder(const std::string& pattern, int major, std::vector<std::string>* unknown) {
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd') {
            result += std::to_string(major);
            ++i;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            result += '%';
            ++i;
        } else {
            if (pattern[i] == '%' && unknown) unknown->push_back(pattern.substr(i, 2));
            result += pattern[i];
        }
    }
    return result;
}

void ComputeVersionKey(SetupValues& values) {
    values.VersionKey = FormatVersionKey(values.SetupVersion, values.Config.IgnoreMinorVersion);
}

void FindExistingInstallation(SetupValues& values, Platform& platform) {
    values.ExistingInstallFound = false;
    values.InstalledVersion = TProgramVersion();
    const std::string& root = values.Config.RegistryRoot;
    std::vector<std::string> subkeys;
    try {
        TRegistry64 registry(platform, values.Config.Is64Bit);
        registry.SetRootKey(RootKey::LocalMachine);
        if (!registry.OpenKeyReadOnly(root)) return;
        subkeys = registry.KeyNames();
    } catch (const ERegistryException&) {
        return;
    }
    for (const std::string& subkey : subkeys) {
        std::string text =
            ReadRecordValue(values, platform, RootKey::LocalMachine, root + "\\" + subkey, "VersionString");
        // Records written without a version string are named after their version key.
        if (text.empty()) text = subkey;
        TProgramVersion candidate;
        try {
            candidate.SetAsString(text);
        } catch (const EProgramVersionError&) {
            continue;
        }
        // A newer major version lives beside this one and is no upgrade target.
        if (candidate.Major > values.SetupVersion.Major) continue;
        if (TProgramVersion::Compare(candidate, values.InstalledVersion) <= 0) continue;
        values.InstalledVersion = candidate;
        values.ExistingInstallFound = true;
    }
    if (values.ExistingInstallFound)
        values.InstalledVersionKey =
            FormatVersionKey(values.InstalledVersion, values.Config.IgnoreMinorVersion);
}

std::string DefaultDestination(const SetupValues& values) {
    return JoinPath(values.ProgramFilesFolder,
                    FormatDefaultFolder(values.Config.DefaultFolder, values.SetupVersion.Major));
}

void ResolveDestination(SetupValues& values, Platform& platform) {
    values.DestinationFolder = DefaultDestination(values);
    values.ExistingFolder.clear();
    std::string folder;
    if (values.ExistingInstallFound) {
        folder = ReadRecordValue(values, platform, RootKey::LocalMachine,
                                 ProductKey(values, values.InstalledVersionKey), "Location");
    }
    if (!folder.empty()) {
        // A copy whose files were deleted by hand is no installation to upgrade.
        const std::string major = std::to_string(values.InstalledVersion.Major);
        for (const std::string& line : values.Config.InstalledFiles) {
            SplitResult split = SplitAt(line, '=');
            if (split.found && split.left == major && !platform.FileExists(JoinPath(folder, split.right))) {
                folder.clear();
                break;
            }
        }
    }
    if (folder.empty()) {
        values.ExistingInstallFound = false;
    } else {
        values.ExistingFolder = IncludeBackslash(folder);
        if (values.SetupVersion.Major == values.InstalledVersion.Major)
            values.DestinationFolder = values.ExistingFolder;
    }
    LoadRememberedFolders(values, platform);
}

void LoadRememberedFolders(SetupValues& values, Platform& platform) {
    const std::size_t count = values.Config.Folders.size();
    values.RememberedFolders.assign(count, "");
    if (!values.ExistingInstallFound || values.InstalledVersion.Major != values.SetupVersion.Major) return;
    for (std::size_t i = 0; i < count; ++i) {
        // Without a [FoldersRegistry] line the folder has no place of its own: the version
        // key's default value may hold another folder or the owner name.
        if (!HasFoldersRegistryLine(values, i)) continue;
        RegistryLocation location = FolderRegistryLocation(values, i, values.InstalledVersionKey);
        std::string folder =
            ReadRecordValue(values, platform, RootKey::CurrentUser, location.KeyPath, location.ValueName);
        if (!folder.empty()) values.RememberedFolders[i] = IncludeBackslash(folder);
    }
}

void ReadOwnerName(SetupValues& values, Platform& platform) {
    values.RegisteredOwner.clear();
    // Without PersonalizeOwner no owner is ever recorded; the version key's default value
    // may hold a remembered folder instead.
    if (values.ExistingInstallFound && !values.Config.PersonalizeOwner.empty()) {
        RegistryLocation location =
            ResolveRegistryPath(values, values.Config.PersonalizeOwner, values.InstalledVersionKey, nullptr);
        values.RegisteredOwner =
            ReadRecordValue(values, platform, RootKey::CurrentUser, location.KeyPath, location.ValueName);
    }
    values.UserName = values.RegisteredOwner;
    if (values.UserName.empty()) values.UserName = platform.UserName();
}

UpgradeQuestion DestinationQuestion(const SetupValues& values, const std::string& folder) {
    if (!values.ExistingInstallFound) return UpgradeQuestion::None;
    bool sameFolder = SameText(IncludeBackslash(folder), IncludeBackslash(values.ExistingFolder));
    if (values.SetupVersion.Major == values.InstalledVersion.Major)
        return sameFolder ? UpgradeQuestion::None : UpgradeQuestion::DifferentFolder;
    return sameFolder ? UpgradeQuestion::OverwriteExisting : UpgradeQuestion::None;
}
