#include "engine/Settings.h"

#include <cstdlib>

#include "engine/IniFile.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"

namespace {

// A fresh accessor per step, in the product's registry view, so no key stays open between steps.
class ProductRegistry : public TRegistry64 {
public:
    ProductRegistry(Platform& platform, const SetupValues& values, RootKey root)
        : TRegistry64(platform, values.Config.Is64Bit) {
        SetRootKey(root);
    }
};

// The folder a shortcut line's name asks for, or empty when the line makes no shortcut.
std::string ShortcutFolder(Platform& platform, const SetupValues& values, const std::string& name,
                           unsigned choice) {
    if (name == "StartMenu")
        return choice & kChoiceStartMenu ? SpecialFolder(platform, SpecialFolderKind::Programs) : "";
    if (name == "Desktop")
        return choice & kChoiceDesktop ? SpecialFolder(platform, SpecialFolderKind::Desktop) : "";
    if (name == "ProgramFolder") return values.DestinationFolder;
    return "";
}

// An earlier version's shortcut to the same program, under whatever name, would stay beside
// the new one; a link that cannot be read is not ours to judge and stays.
void RemoveReplacedShortcuts(Platform& platform, const std::string& folder, const std::string& target,
                             const std::string& arguments) {
    std::vector<std::string> replaced;
    TFileEnumerator files(platform, folder + "*.lnk", 33);
    while (files.Next()) {
        std::string link = folder + files.FileName();
        ShortcutTarget found = ReadShortcut(platform, link);
        if (found.ok && SameText(found.target, target) && SameText(found.arguments, arguments))
            replaced.push_back(link);
    }
    for (const std::string& link : replaced) platform.RemoveFile(link);
}

}  // namespace

void WriteInstallationInfo(Platform& platform, const SetupValues& values) {
    ProductRegistry registry(platform, values, RootKey::LocalMachine);
    try {
        if (!registry.OpenKey(ProductKey(values, values.VersionKey), true)) return;
        registry.WriteString("Location", values.DestinationFolder);
        registry.WriteString("VersionString", values.SetupVersion.AsString());
    } catch (const ERegistryException&) {
        // the product works without its record; only the next setup will not find it
    }
}

void WriteFolderLocations(Platform& platform, const SetupValues& values) {
    ProductRegistry registry(platform, values, RootKey::CurrentUser);
    for (std::size_t i = 0; i < values.Config.Folders.size(); ++i) {
        // A line without a name is no folder, so there is nothing to remember.
        if (ListLineName(values.Config.Folders[i]).empty()) continue;
        std::string folder = ExpandPath(values, FolderValue(values, i), nullptr);
        RegistryLocation location = FolderRegistryLocation(values, i, values.VersionKey);
        try {
            if (registry.OpenKey(location.KeyPath, true))
                registry.WriteString(location.ValueName, IncludeBackslash(folder));
        } catch (const ERegistryException&) {
            // the next setup proposes the configured folder instead
        }
    }
}

void WriteOwnerName(Platform& platform, const SetupValues& values) {
    if (values.Config.PersonalizeOwner.empty()) return;
    ProductRegistry registry(platform, values, RootKey::CurrentUser);
    RegistryLocation location =
        ResolveRegistryPath(values, values.Config.PersonalizeOwner, values.VersionKey, nullptr);
    try {
        if (registry.OpenKey(location.KeyPath, true))
            registry.WriteString(location.ValueName, values.UserName);
    } catch (const ERegistryException&) {
        // the owner is asked for again next time
    }
}

void WriteSettingsList(Platform& platform, const SetupValues& values, const std::vector<std::string>& list,
                       RootKey root, const BundleItemNames* item) {
    ProductRegistry registry(platform, values, root);
    for (const std::string& line : list) {
        SplitResult split = SplitAt(line, '=');
        RegistryLocation location = ResolveRegistryPath(values, split.left, values.VersionKey, item);
        if (location.KeyPath.empty()) continue;
        std::string key = ExpandPath(values, location.KeyPath, item);
        if (key.empty()) continue;
        try {
            if (!registry.OpenKey(key, true)) continue;
            const std::string& data = split.right;
            std::optional<std::int32_t> number =
                data.size() > 1 && data[0] == '#' ? SettingNumber(data) : std::nullopt;
            if (number)
                registry.WriteInteger(location.ValueName, *number);
            else
                registry.WriteString(location.ValueName, ExpandPath(values, data, item));
        } catch (const ERegistryException&) {
            // one setting that cannot be written does not stop the others
        }
    }
}

void WriteRegistrySettings(Platform& platform, const SetupValues& values, const BundleItemNames* item) {
    WriteSettingsList(platform, values, values.Config.RegistrySettings, RootKey::CurrentUser, item);
    WriteSettingsList(platform, values, values.Config.GlobalRegistrySettings, RootKey::LocalMachine, item);
}

std::optional<std::int32_t> SettingNumber(const std::string& data) {
    if (data.size() < 2 || data[0] != '#') return std::nullopt;
    return ParseInteger(data.substr(1), IntegerSpelling::SignedHexadecimal);
}

ShortcutLine ParseShortcutValue(const SetupValues& values, const std::string& value) {
    ShortcutLine shortcut;
    SplitResult first = SplitAt(value, ',');
    if (!first.found) {
        shortcut.target = value;
        shortcut.name = FileBaseName(value);
        return shortcut;
    }
    shortcut.target = Trim(first.left);
    SplitResult second = SplitAt(first.right, ',');
    shortcut.name = Trim(ExpandText(values, second.left));
    SplitResult third = SplitAt(second.right, ',');
    shortcut.arguments = third.left;
    if (third.found) {
        // Icons are picked by resource identifier, which the shell takes as a negative number.
        std::optional<std::int32_t> icon = ParseInteger(Trim(third.right), IntegerSpelling::Decimal);
        if (icon && *icon != INT32_MIN) shortcut.iconIndex = -std::abs(*icon);
    }
    return shortcut;
}

void CreateShortcuts(Platform& platform, const SetupValues& values, TInstaller& installer,
                     unsigned shortcutChoice) {
    for (const std::string& line : values.Config.Shortcuts) {
        SplitResult split = SplitAt(line, '=');
        std::string folder = ShortcutFolder(platform, values, split.left, shortcutChoice);
        if (folder.empty()) continue;
        if (folder.back() == '\\') folder.pop_back();
        ShortcutLine shortcut = ParseShortcutValue(values, split.right);
        std::string linkFile = folder + "\\" + shortcut.name + ".lnk";
        std::string target = ExpandPath(values, shortcut.target, nullptr);
        if (target.empty()) continue;
        RemoveReplacedShortcuts(platform, ExtractFilePath(linkFile), target, shortcut.arguments);
        installer.CreateShortcut(linkFile, target, shortcut.arguments, shortcut.iconIndex);
    }
}
