#include "engine/SetupSchema.h"

#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "texts/Texts.h"

namespace {

using K = ValueKind;

std::vector<SchemaSection> MakeSchema() {
    std::vector<SchemaSection> schema;
    schema.push_back({"Setup",
                      false,
                      {
                          {"Is64Bit", K::Boolean, "0"},
                          {"IsBundle", K::Boolean, "0"},
                          {"ProductName", K::Label, ""},
                          {"ProductSuffix", K::Label, ""},
                          {"RegistryRoot", K::RegistryPath, ""},
                          {"InstallDescription", K::Text, "$ProductName"},
                          {"WelcomeWin64", K::Text, ""},
                          {"IgnoreMinorVersion", K::Boolean, "1"},
                          {"DefaultFolder", K::FolderPattern, ""},
                          {"PersonalizeOwner", K::RegistryPath, ""},
                          {"PersonalizeInfo", K::Text, ""},
                          {"BundleSelectHeading", K::Text, ""},
                          {"BundleSelectDescription", K::Text, ""},
                          {"BundleRegistryRoot", K::RegistryPath, ""},
                          {"BundleItemName", K::Label, ""},
                          // The Uninstall key's "Publisher" value.
                          {"Publisher", K::Label, ""},
                          // The setup program's own version information; the setup never reads them.
                          {"LegalCopyright", K::Label, ""},
                          {"FileDescription", K::Label, ""},
                          // The languages the setup speaks, by code ("en,de,ja"); all when empty.
                          {"Languages", K::Label, ""},
                      }});
    schema.push_back({"Pages",
                      false,
                      {
                          {"VstPluginFolder", K::Boolean, "0"},
                          {"DigiPluginFolder", K::Boolean, "0"},
                          {"PhotoshopPluginFolder", K::Boolean, "0"},
                          {"Personalization", K::Boolean, "0"},
                      }});
    schema.push_back({"Complete",
                      false,
                      {
                          {"Message", K::Text, TextIn(EnglishLanguage(), TextId::DefaultCompleteMessage),
                           TextId::DefaultCompleteMessage},
                          {"Readme", K::Path, ""},
                          {"Product", K::Path, ""},
                      }});
    auto list = [&schema](const char* name, ValueKind names, ValueKind values,
                          LineWithoutEquals without = LineWithoutEquals::Ignored) {
        schema.push_back({name, true, {}, names, values, without});
    };
    list("InstalledFiles", K::Label, K::RegistryPath);
    list("Folders", K::Label, K::Path);
    list("FoldersRegistry", K::Label, K::RegistryPath);
    list("Components", K::Path, K::ComponentDestination);
    // Compared with the [Components] name exactly as written, never expanded.
    list("ComponentsOptions", K::Label, K::Label);
    list("CallLibraries", K::Label, K::Path);
    list("RegistrySettings", K::SettingLocation, K::Path, LineWithoutEquals::EmptyStringValue);
    list("GlobalRegistrySettings", K::SettingLocation, K::Path, LineWithoutEquals::EmptyStringValue);
    list("Shortcuts", K::ShortcutPlace, K::ShortcutValue);
    // The vendor's own built-in texts: "NextButton.de=..." for one language, "NextButton=..."
    // for every language without one of its own.
    list("Texts", K::Label, K::Text);
    return schema;
}

const SchemaKey& DescribedKey(const char* section, const char* key, ValueKind kind) {
    const SchemaKey* found = FindSchemaKey(section, key);
    if (!found || (kind == K::Boolean) != (found->Kind == K::Boolean))
        throw EProgramFault(std::string("Setup.ini [") + section + "] " + key +
                               " is read but not described as such in the schema");
    return *found;
}

}  // namespace

const std::vector<SchemaSection>& SetupIniSchema() {
    static const std::vector<SchemaSection> schema = MakeSchema();
    return schema;
}

const SchemaSection* FindSchemaSection(const std::string& section) {
    for (const SchemaSection& described : SetupIniSchema())
        if (SameText(described.Name, section)) return &described;
    return nullptr;
}

std::string KeyLanguage(const std::string& key) {
    const std::size_t dot = key.rfind('.');
    if (dot == std::string::npos || FindLanguage(key.substr(dot + 1)) == nullptr) return "";
    return key.substr(dot + 1);
}

const SchemaKey* FindSchemaKey(const std::string& section, const std::string& key) {
    const SchemaSection* found = FindSchemaSection(section);
    if (!found) return nullptr;
    for (const SchemaKey& described : found->Keys)
        if (SameText(described.Name, key)) return &described;
    const std::string language = KeyLanguage(key);
    if (language.empty()) return nullptr;
    const SchemaKey* base = FindSchemaKey(section, key.substr(0, key.size() - language.size() - 1));
    return base != nullptr && base->Kind == K::Text ? base : nullptr;
}

bool HoldsPathVariables(ValueKind kind) {
    return kind == K::Path || kind == K::SettingLocation || kind == K::ComponentDestination ||
           kind == K::ShortcutValue;
}

std::vector<std::string> VariablesFor(ValueKind kind) {
    std::vector<std::string> names;
    if (kind == K::Text) {
        for (const TextVariable& variable : TextVariables()) names.push_back(variable.Name);
    } else if (HoldsPathVariables(kind)) {
        for (const PathVariable& variable : PathVariables()) names.push_back(variable.Name);
        names.push_back(kBundleItemProductNameVariable);
        names.push_back(kBundleItemVariable);
    }
    return names;
}

bool IsPathLike(ValueKind kind) {
    return kind != K::Boolean && kind != K::Label && kind != K::Text && kind != K::ShortcutPlace;
}

std::string ReadSchemaText(const IniFile& ini, const char* section, const char* key) {
    const SchemaKey& described = DescribedKey(section, key, K::Text);
    if (described.Kind == K::Text) {
        const std::string own = std::string(key) + "." + SpokenLanguage().Code;
        if (std::optional<std::string> value = ini.Value(section, own)) return *value;
    }
    if (std::optional<std::string> value = ini.Value(section, key)) return *value;
    return described.DefaultText != TextId::None ? Text(described.DefaultText) : described.Default;
}

bool ReadSchemaBoolean(const IniFile& ini, const char* section, const char* key) {
    const SchemaKey& described = DescribedKey(section, key, K::Boolean);
    return ini.ReadBool(section, key, std::string(described.Default) != "0");
}

std::vector<std::string> ReadSchemaList(const IniFile& ini, const char* section) {
    const SchemaSection* found = FindSchemaSection(section);
    if (!found || !found->IsList)
        throw EProgramFault(std::string("Setup.ini [") + section +
                               "] is read as a list but not described as one");
    return ini.ReadList(section);
}
