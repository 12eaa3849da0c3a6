// The setup's configuration: Setup.ini and Setup.lic as the engine holds them after loading.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IniFile;
class Platform;
class Stream;
struct LanguageRow;
struct SetupValues;

inline constexpr const char* kInvalidConfigurationMessage = "Invalid configuration in Setup.ini";

// Bits of PageFlags: the optional wizard pages a product asks for.
enum PageFlag : unsigned {
    kPageVstPluginFolder = 1,
    kPageDigiPluginFolder = 2,
    kPagePhotoshopPluginFolder = 4,
    kPagePersonalization = 8,
};

// Bits of ShortcutKinds: which shortcut questions the shortcut page asks.
enum ShortcutKind : unsigned {
    kShortcutStartMenu = 1,
    kShortcutDesktop = 2,
};

struct SetupConfiguration {
    // [Setup]
    bool Is64Bit = false;
    bool IsBundle = false;
    std::string ProductName;
    std::string ProductSuffix;
    std::string Publisher;     // shown in the list of installed programs; not written when empty
    std::string RegistryRoot;  // always with a leading backslash once loaded
    std::string InstallDescription = "$ProductName";
    std::string WelcomeWin64;
    bool IgnoreMinorVersion = true;
    std::string DefaultFolder;
    std::string PersonalizeOwner;
    std::string PersonalizeInfo;
    std::string BundleSelectHeading;
    std::string BundleSelectDescription;
    std::string BundleRegistryRoot;  // with a leading backslash when IsBundle
    std::string BundleItemName;
    std::string Languages;  // as written: the codes of the languages the setup carries, all when empty

    // [Pages]
    unsigned PageFlags = 0;

    // Multi-entry sections: "name=value" lines in file order, duplicates kept.
    std::vector<std::string> InstalledFiles;
    std::vector<std::string> Folders;
    std::vector<std::string> FoldersRegistry;
    std::vector<std::string> Components;
    std::vector<std::string> ComponentsOptions;
    std::vector<std::string> CallLibraries;
    std::vector<std::string> RegistrySettings;
    std::vector<std::string> GlobalRegistrySettings;
    std::vector<std::string> Shortcuts;
    std::vector<std::string> Texts;

    // [Complete]
    std::string CompleteMessage;  // expanded at load
    std::string CompleteReadme;   // raw; expanded as a path when asked for
    std::string CompleteProduct;  // raw; expanded as a path when asked for

    unsigned ShortcutKinds = 0;
    std::string LicenseText;  // every line followed by CR LF
    std::string Language;     // the code of the language this run speaks ("en" until chosen)
};

// Where setup data entries come from: the setup archive. Load returns null when the archive
// has no entry of that name.
class SetupDataSource {
public:
    virtual ~SetupDataSource() = default;
    virtual std::unique_ptr<Stream> Load(const std::string& name) = 0;
    // A setup text as UTF-8, read in the archive's encoding, whether it came from the archive
    // or from beside the program.
    virtual std::string TextAsUtf8(const std::string& stored) { return stored; }
};

// The entry from the archive (name, then alternative), else the file of that name beside the
// program, else the alternative file there. Raises the platform's file-open error when none
// can be opened.
std::unique_ptr<Stream> OpenSetupStream(SetupDataSource& source, Platform& platform, const std::string& name,
                                        const std::string& alternative);
// The setup's text reader: Setup.ini, Setup.lic and BundleInfo.ini as 8-bit text split into lines
// at CR LF, CR or LF, without the UTF-8 byte order mark an editor may have put at its start.
std::vector<std::string> SetupTextLines(const std::string& text);
// The entry read whole, as UTF-8 (SetupDataSource::TextAsUtf8), through SetupTextLines.
std::vector<std::string> LoadSetupText(SetupDataSource& source, Platform& platform, const std::string& name);
// The values of Setup.ini into values.Config, every key and list through the schema
// (SetupSchema.h); the completion message is expanded with values as they stand.
// Text keys are read in the spoken language (texts/Texts.h), and [Texts] replaces its texts.
void ReadSetupIni(const IniFile& ini, SetupValues& values);

// The built-in languages a Languages value names, in its order (codes split at commas and
// blanks); codes it does not know are left out, and none named means every language.
std::vector<const LanguageRow*> CarriedLanguages(const std::string& languages);
// The codes of a Languages value that name no built-in language.
std::vector<std::string> UnknownLanguages(const std::string& languages);
// The licence file for a language: "Setup.de.lic".
std::string LicenceFileName(const LanguageRow& language);

// Reads Setup.ini and Setup.lic into values.Config. values.SetupVersion must be set: the
// completion message and the Welcome and description texts are expanded while loading. First
// the run's language is chosen (ChooseLanguage: the requested language, the user's UI language,
// English) from those [Setup] Languages names and spoken; the licence is the language's own
// (Setup.de.lic) where the setup has one, else Setup.lic.
// loadBundle, when given, is called last for a bundle setup to read BundleInfo.ini.
void LoadConfiguration(SetupValues& values, SetupDataSource& source, Platform& platform,
                       const std::function<void(SetupValues&)>& loadBundle = {});
