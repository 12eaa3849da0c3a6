#include "engine/Variables.h"

#include <utility>
#include <vector>

#include "engine/IniFile.h"
#include "system/CommonUtils.h"
#include "texts/Texts.h"

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
    for (const PathVariable& variable : PathVariables())
        if (variable.Format != PluginFormat::None && !values.Format(variable.Format).Install &&
            Contains(text, variable.Name))
            return true;
    return item == nullptr && Contains(text, kBundleItemVariable);
}

// "$BundleItem" stands for the item; "$BundleItem(Name)" keeps the entry for that item only.
bool ExpandBundleItem(std::string& text, const BundleItemNames& item) {
    static const std::string kVariable = kBundleItemVariable;
    ReplaceEvery(text, kBundleItemProductNameVariable, item.ProductName);
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

const std::vector<TextVariable>& TextVariables() {
    static const std::vector<TextVariable> variables = {
        {"$ProductName", [](const SetupValues& v) { return v.Config.ProductName; }},
        {"$FullProductName", [](const SetupValues& v) { return FullProductName(v); }},
        {"$ProductVersion", [](const SetupValues& v) { return v.SetupVersion.AsString(); }},
        {"$PersonalizeInfo", [](const SetupValues& v) { return v.Config.PersonalizeInfo; }},
        {"$InstallDescription", [](const SetupValues& v) { return v.Config.InstallDescription; }},
        {"$BundleSelectHeading", [](const SetupValues& v) { return v.Config.BundleSelectHeading; }},
        {"$BundleSelectDescription", [](const SetupValues& v) { return v.Config.BundleSelectDescription; }},
        {"$BitSuffix", [](const SetupValues& v) { return v.Config.Is64Bit ? Text(TextId::BitSuffix) : ""; }},
    };
    return variables;
}

const std::vector<PathVariable>& PathVariables() {
    using F = PluginFormat;
    auto format = [](F f) { return PathVariable{FormatRow(f).FolderVariable, nullptr, f}; };
    static const std::vector<PathVariable> variables = {
        {"$Documents", &SetupValues::DocumentsFolder, F::None},
        {"$ProgramFolder", &SetupValues::DestinationFolder, F::None},
        format(F::Vst2),
        // The program folder, for files that belong there only when VST 3 is installed.
        {"$Vst3ProgramFolder", &SetupValues::DestinationFolder, F::Vst3},
        format(F::Vst3),
        format(F::Rtas),
        format(F::Aax),
        format(F::Photoshop),
        {"$ApplicationData", &SetupValues::AppDataFolder, F::None},
        format(F::Clap),
        // For whatever else lives in Common Files, of the product's bitness like the folders above.
        {"$CommonFiles", &SetupValues::CommonFilesFolder, F::None},
    };
    return variables;
}

std::string PathVariableValue(const SetupValues& values, const PathVariable& variable) {
    return variable.Folder ? values.*variable.Folder : values.Format(variable.Format).Folder;
}

std::string BitSuffix(const SetupValues& values) {
    return values.Config.Is64Bit ? TextIn(EnglishLanguage(), TextId::BitSuffix) : "";
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
    std::string result = text;
    for (const TextVariable& variable : TextVariables())
        ReplaceEvery(result, variable.Name, variable.Value(values));
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
    return ListLineValue(configured);
}

std::string ExpandPath(const SetupValues& values, const std::string& text, const BundleItemNames* item) {
    if (SwitchedOff(values, text, item)) return "";
    std::string result = text;
    const std::vector<std::string>& folders = values.Config.Folders;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        // A line without a name names no folder; a lone "%" is no reference to it.
        const std::string name = ListLineName(folders[i]);
        if (!name.empty()) ReplaceFirst(result, "%" + name, WithoutTrailingBackslash(FolderValue(values, i)));
    }
    for (const PathVariable& variable : PathVariables())
        ReplaceFirst(result, variable.Name, WithoutTrailingBackslash(PathVariableValue(values, variable)));
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
    std::string name = ListLineName(values.Config.Folders.at(index));
    std::string location;
    for (const std::string& line : values.Config.FoldersRegistry) {
        SplitResult split = SplitAt(line, '=');
        if (split.found && !name.empty() && SameText(split.left, name)) {
            location = split.right;
            break;
        }
    }
    return ResolveRegistryPath(values, location, versionKey, nullptr);
}
