#include "engine/Configuration.h"

#include "engine/IniFile.h"
#include "engine/SetupSchema.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "texts/Texts.h"

namespace {

std::string ReadWhole(Stream& stream) {
    std::string text(static_cast<std::size_t>(stream.Size() - stream.Position()), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), text.size());
    return text;
}

std::string WithLeadingBackslash(const std::string& path) {
    return !path.empty() && path.front() == '\\' ? path : "\\" + path;
}

unsigned ShortcutKindsOf(const std::vector<std::string>& shortcuts) {
    unsigned kinds = 0;
    for (const std::string& line : shortcuts) {
        SplitResult split = SplitAt(line, '=');
        if (!split.found) continue;
        if (SameText(split.left, "StartMenu")) kinds |= kShortcutStartMenu;
        if (SameText(split.left, "Desktop")) kinds |= kShortcutDesktop;
    }
    return kinds;
}

std::vector<std::string> LanguageCodes(const std::string& languages) {
    std::vector<std::string> codes;
    std::string code;
    for (char c : languages + ",") {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!code.empty()) codes.push_back(code);
            code.clear();
        } else {
            code += c;
        }
    }
    return codes;
}

// [Texts]: a line for the spoken language ("NextButton.de") wins over one for every language.
void ReplaceTexts(const std::vector<std::string>& lines) {
    const std::string suffix = std::string(".") + SpokenLanguage().Code;
    for (bool own : {false, true}) {
        for (const std::string& line : lines) {
            std::string name = ListLineName(line);
            const bool forOwn = name.size() > suffix.size() &&
                                SameText(name.substr(name.size() - suffix.size()), suffix);
            if (forOwn != own) continue;
            if (own) name.resize(name.size() - suffix.size());
            const TextId id = TextNamed(name);
            if (id != TextId::None) ReplaceText(id, ListLineValue(line));
        }
    }
}

}  // namespace

std::vector<const LanguageRow*> CarriedLanguages(const std::string& languages) {
    std::vector<const LanguageRow*> carried;
    for (const std::string& code : LanguageCodes(languages))
        if (const LanguageRow* language = FindLanguage(code)) carried.push_back(language);
    return carried;
}

std::vector<std::string> UnknownLanguages(const std::string& languages) {
    std::vector<std::string> unknown;
    for (const std::string& code : LanguageCodes(languages))
        if (FindLanguage(code) == nullptr) unknown.push_back(code);
    return unknown;
}

std::string LicenceFileName(const LanguageRow& language) {
    return std::string("Setup.") + language.Code + ".lic";
}

std::unique_ptr<Stream> OpenSetupStream(SetupDataSource& source, Platform& platform, const std::string& name,
                                        const std::string& alternative) {
    if (auto stream = source.Load(name)) return stream;
    if (!alternative.empty()) {
        if (auto stream = source.Load(alternative)) return stream;
    }
    // Beside the program: lets a vendor try a changed Setup.ini without rebuilding the setup.
    std::string path = JoinPath(OwnFolder(platform), name);
    if (alternative.empty() || platform.FileExists(path))
        return platform.OpenForReading(path, ShareMode::DenyWrite);
    return platform.OpenForReading(JoinPath(OwnFolder(platform), alternative), ShareMode::DenyWrite);
}

std::vector<std::string> SetupTextLines(const std::string& text) {
    // No ANSI text begins with these bytes; editors that save "UTF-8 with BOM" put them there.
    static const std::string kByteOrderMark = "\xEF\xBB\xBF";
    if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
        return SplitTextLines(text.substr(kByteOrderMark.size()));
    return SplitTextLines(text);
}

std::vector<std::string> LoadSetupText(SetupDataSource& source, Platform& platform, const std::string& name) {
    std::unique_ptr<Stream> stream = OpenSetupStream(source, platform, name, "");
    return SetupTextLines(source.TextAsUtf8(ReadWhole(*stream)));
}

void ReadSetupIni(const IniFile& ini, SetupValues& values) {
    SetupConfiguration& c = values.Config;
    c.Is64Bit = ReadSchemaBoolean(ini, "Setup", "Is64Bit");
    c.IsBundle = ReadSchemaBoolean(ini, "Setup", "IsBundle");
    c.ProductName = ReadSchemaText(ini, "Setup", "ProductName");
    c.ProductSuffix = ReadSchemaText(ini, "Setup", "ProductSuffix");
    c.Publisher = ReadSchemaText(ini, "Setup", "Publisher");
    c.RegistryRoot = ReadSchemaText(ini, "Setup", "RegistryRoot");
    c.InstallDescription = ReadSchemaText(ini, "Setup", "InstallDescription");
    c.WelcomeWin64 = ReadSchemaText(ini, "Setup", "WelcomeWin64");
    c.IgnoreMinorVersion = ReadSchemaBoolean(ini, "Setup", "IgnoreMinorVersion");
    c.DefaultFolder = ReadSchemaText(ini, "Setup", "DefaultFolder");
    c.PersonalizeOwner = ReadSchemaText(ini, "Setup", "PersonalizeOwner");
    c.PersonalizeInfo = ReadSchemaText(ini, "Setup", "PersonalizeInfo");
    c.BundleSelectHeading = ReadSchemaText(ini, "Setup", "BundleSelectHeading");
    c.BundleSelectDescription = ReadSchemaText(ini, "Setup", "BundleSelectDescription");
    c.BundleRegistryRoot = ReadSchemaText(ini, "Setup", "BundleRegistryRoot");
    c.BundleItemName = ReadSchemaText(ini, "Setup", "BundleItemName");
    c.Languages = ReadSchemaText(ini, "Setup", "Languages");
    c.Language = SpokenLanguage().Code;
    // Before the texts of the sections below are expanded.
    c.Texts = ReadSchemaList(ini, "Texts");
    ReplaceTexts(c.Texts);

    c.PageFlags = 0;
    const std::pair<const char*, unsigned> pages[] = {
        {"VstPluginFolder", kPageVstPluginFolder},
        {"DigiPluginFolder", kPageDigiPluginFolder},
        {"PhotoshopPluginFolder", kPagePhotoshopPluginFolder},
        {"Personalization", kPagePersonalization},
    };
    for (const auto& [key, bit] : pages)
        if (ReadSchemaBoolean(ini, "Pages", key)) c.PageFlags |= bit;

    c.InstalledFiles = ReadSchemaList(ini, "InstalledFiles");
    c.Folders = ReadSchemaList(ini, "Folders");
    c.FoldersRegistry = ReadSchemaList(ini, "FoldersRegistry");
    c.Components = ReadSchemaList(ini, "Components");
    c.ComponentsOptions = ReadSchemaList(ini, "ComponentsOptions");
    c.CallLibraries = ReadSchemaList(ini, "CallLibraries");
    c.RegistrySettings = ReadSchemaList(ini, "RegistrySettings");
    c.GlobalRegistrySettings = ReadSchemaList(ini, "GlobalRegistrySettings");
    c.Shortcuts = ReadSchemaList(ini, "Shortcuts");
    // Expanded now, while InstallDescription still holds its text as written.
    c.CompleteMessage = ExpandText(values, ReadSchemaText(ini, "Complete", "Message"));
    c.CompleteReadme = ReadSchemaText(ini, "Complete", "Readme");
    c.CompleteProduct = ReadSchemaText(ini, "Complete", "Product");
}

void LoadConfiguration(SetupValues& values, SetupDataSource& source, Platform& platform,
                       const std::function<void(SetupValues&)>& loadBundle) {
    SetupConfiguration& c = values.Config;
    IniFile ini(LoadSetupText(source, platform, "Setup.ini"));
    SpeakLanguage(ChooseLanguage(RequestedLanguage(), platform.UserUiLanguage(),
                                 CarriedLanguages(ReadSchemaText(ini, "Setup", "Languages"))));
    ReadSetupIni(ini, values);

    // A missing licence is reported before an invalid configuration.
    c.LicenseText.clear();
    std::unique_ptr<Stream> licence =
        OpenSetupStream(source, platform, LicenceFileName(SpokenLanguage()), "Setup.lic");
    for (const std::string& line : SetupTextLines(source.TextAsUtf8(ReadWhole(*licence))))
        c.LicenseText += line + "\r\n";

    if (c.RegistryRoot.empty() || c.DefaultFolder.empty() || (c.IsBundle && c.BundleRegistryRoot.empty()))
        throw Exception(kInvalidConfigurationMessage);

    // Every key path built from the roots opens from the top of the hive.
    c.RegistryRoot = WithLeadingBackslash(c.RegistryRoot);
    if (c.IsBundle) c.BundleRegistryRoot = WithLeadingBackslash(c.BundleRegistryRoot);

    c.ShortcutKinds = ShortcutKindsOf(c.Shortcuts);

    c.WelcomeWin64 = ExpandText(values, c.WelcomeWin64);
    c.InstallDescription = ExpandText(values, c.InstallDescription);

    // The 64-bit note means nothing to a 32-bit product on 32-bit Windows.
    if (!c.Is64Bit && !IsWow64(platform)) c.WelcomeWin64.clear();

    if (c.IsBundle && loadBundle) loadBundle(values);
}
