#include "engine/Variables.h"

#include <utility>
#include <vector>

#include "system/CommonUtils.h"

namespace {

void ReplaceEvery(std::string& text, const std::string& name, const std::string& value) {
    std::size_t at = text.find(name);
    while (at != std::string::npos) {
        text.replace(at, name.size(), value);
        // Searching on after the inserted value: a value naming its own variable stays as is.
        at = text.find(name, at + value.size());
    }
}

void ReplaceFirst(std::string& text, const std::string& name, const std::string& value) {
    std::size_t at = text.find(name);
    if (at != std::string::npos) text.replace(at, name.size(), value);
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool Contains(const std::string& text, const char* name) {
    return text.find(name) != std::string::npos;
}

// The switch test looks at the text as written, never at values inserted later.
bool SwitchedOff(const SetupValues& values, const std::string& text, const BundleItemNames* item) {
    return (!values.InstallVst2 && Contains(text, "$VstPluginFolder")) ||
           (!values.InstallVst3 &&
            (Contains(text, "$Vst3PluginFolder") || Contains(text, "$Vst3ProgramFolder"))) ||
           (!values.InstallRtas && Contains(text, "$DigiPluginFolder")) ||
           (!values.InstallAax && Contains(text, "$AaxPluginFolder")) ||
           (!values.InstallPhotoshop && Contains(text, "$PhotoshopPluginFolder")) ||
           (item == nullptr && Contains(text, "$BundleItem"));
}

// "$BundleItem" stands for the item; "$BundleItem(Name)" keeps the entry for that item only.
bool ExpandBundleItem(std::string& text, const BundleItemNames& item) {
    static const std::string kVariable = "$BundleItem";
    ReplaceEvery(text, "$BundleItemProductName", item.ProductName);
    std::size_t at = text.find(kVariable);
    while (at != std::string::npos) {
        text.erase(at, kVariable.size());
        if (at < text.size() && text[at] == '(') {
            std::size_t close = text.find(')', at);
            if (close != std::string::npos) {
                if (text.substr(at + 1, close - at - 1) != item.Name) return false;
                text.erase(at, close - at + 1);
            }
        }
        text.insert(at, item.Name);
        // On after the name, so a name holding "$BundleItem" cannot loop for ever.
        at = text.find(kVariable, at + item.Name.size());
    }
    return true;
}

}  // namespace

std::string BitSuffix(const SetupValues& values) {
    return values.Config.Is64Bit ? " (64-bit)" : "";
}

std::string FullProductName(const SetupValues& values) {
    const SetupConfiguration& config = values.Config;
    std::string name = config.ProductName;
    int major = values.SetupVersion.Major;
    if (!config.IsBundle && major > 0) {
        // A name that already ends in its one-digit major number does not repeat it.
        std::string ending = " " + std::to_string(major);
        if (name.size() > 2 && ending.size() == 2 && name.compare(name.size() - 2, 2, ending) == 0)
            name.erase(name.size() - 2);
        name += " " + values.SetupVersion.AsString();
    }
    if (!config.ProductSuffix.empty()) name += " " + config.ProductSuffix;
    return name;
}

std::string ExpandText(const SetupValues& values, const std::string& text) {
    const SetupConfiguration& config = values.Config;
    std::string result = text;
    ReplaceEvery(result, "$ProductName", config.ProductName);
    ReplaceEvery(result, "$FullProductName", FullProductName(values));
    ReplaceEvery(result, "$ProductVersion", values.SetupVersion.AsString());
    ReplaceEvery(result, "$PersonalizeInfo", config.PersonalizeInfo);
    ReplaceEvery(result, "$InstallDescription", config.InstallDescription);
    ReplaceEvery(result, "$BundleSelectHeading", config.BundleSelectHeading);
    ReplaceEvery(result, "$BundleSelectDescription", config.BundleSelectDescription);
    ReplaceEvery(result, "$BitSuffix", BitSuffix(values));
    return result;
}

std::string FormatVersionKey(const TProgramVersion& version, bool ignoreMinorVersion) {
    return std::to_string(version.Major) + "." + std::to_string(ignoreMinorVersion ? 0 : version.Minor);
}

std::string ProductKey(const SetupValues& values, const std::string& versionKey) {
    return values.Config.RegistryRoot + "\\" + versionKey;
}

std::string FolderValue(const SetupValues& values, std::size_t index) {
    const std::string& configured = values.Config.Folders.at(index);
    if (index < values.RememberedFolders.size() && !values.RememberedFolders[index].empty())
        return values.RememberedFolders[index];
    return SplitAt(configured, '=').right;
}

std::string ExpandPath(const SetupValues& values, const std::string& text, const BundleItemNames* item) {
    if (SwitchedOff(values, text, item)) return "";
    std::string result = text;
    const std::vector<std::string>& folders = values.Config.Folders;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        ReplaceFirst(result, "%" + SplitAt(folders[i], '=').left,
                     WithoutTrailingBackslash(FolderValue(values, i)));
    }
    const std::pair<const char*, const std::string*> kFolders[] = {
        {"$Documents", &values.DocumentsFolder},     {"$ProgramFolder", &values.DestinationFolder},
        {"$VstPluginFolder", &values.Vst2Folder},    {"$Vst3ProgramFolder", &values.DestinationFolder},
        {"$Vst3PluginFolder", &values.Vst3Folder},   {"$DigiPluginFolder", &values.DigiFolder},
        {"$AaxPluginFolder", &values.AaxFolder},     {"$PhotoshopPluginFolder", &values.PhotoshopFolder},
        {"$ApplicationData", &values.AppDataFolder},
    };
    for (const auto& [name, value] : kFolders) ReplaceFirst(result, name, WithoutTrailingBackslash(*value));
    if (item != nullptr && !ExpandBundleItem(result, *item)) return "";
    return result;
}

RegistryLocation ResolveRegistryPath(const SetupValues& values, const std::string& location,
                                     const std::string& versionKey, const BundleItemNames* item) {
    std::size_t slash = location.rfind('\\');
    std::string keyPart = slash == std::string::npos ? "" : location.substr(0, slash + 1);
    RegistryLocation result;
    result.ValueName = slash == std::string::npos ? location : location.substr(slash + 1);
    if (item == nullptr) {
        result.KeyPath = WithoutTrailingBackslash(JoinPath(ProductKey(values, versionKey), keyPart));
        return result;
    }
    std::string expanded = WithoutTrailingBackslash(ExpandPath(values, keyPart, item));
    if (expanded.empty()) return result;
    result.KeyPath = JoinPath(values.Config.BundleRegistryRoot, expanded,
                              FormatVersionKey(item->Version, values.Config.IgnoreMinorVersion));
    return result;
}

RegistryLocation FolderRegistryLocation(const SetupValues& values, std::size_t index,
                                        const std::string& versionKey) {
    std::string name = SplitAt(values.Config.Folders.at(index), '=').left;
    std::string location;
    for (const std::string& line : values.Config.FoldersRegistry) {
        SplitResult split = SplitAt(line, '=');
        if (split.found && SameText(split.left, name)) {
            location = split.right;
            break;
        }
    }
    return ResolveRegistryPath(values, location, versionKey, nullptr);
}
