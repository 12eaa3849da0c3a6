#include "engine/Configuration.h"

#include "engine/IniFile.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"

namespace {

constexpr const char* kDefaultCompleteMessage =
    "$ProductName has been installed successfully. You can start $ProductName from the Start "
    "menu or the desktop. Please read the Readme.txt file for additional information.";

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

}  // namespace

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

std::vector<std::string> LoadSetupText(SetupDataSource& source, Platform& platform, const std::string& name) {
    std::unique_ptr<Stream> stream = OpenSetupStream(source, platform, name, "");
    return SplitTextLines(ReadWhole(*stream));
}

void LoadConfiguration(SetupValues& values, SetupDataSource& source, Platform& platform,
                       const std::function<void(SetupValues&)>& loadBundle) {
    SetupConfiguration& c = values.Config;
    IniFile ini(LoadSetupText(source, platform, "Setup.ini"));

    c.Is64Bit = ini.ReadBool("Setup", "Is64Bit", false);
    c.IsBundle = ini.ReadBool("Setup", "IsBundle", false);
    c.ProductName = ini.ReadString("Setup", "ProductName", "");
    c.ProductSuffix = ini.ReadString("Setup", "ProductSuffix", "");
    c.Publisher = ini.ReadString("Setup", "Publisher", "");
    c.RegistryRoot = ini.ReadString("Setup", "RegistryRoot", "");
    c.InstallDescription = ini.ReadString("Setup", "InstallDescription", "$ProductName");
    c.WelcomeWin64 = ini.ReadString("Setup", "WelcomeWin64", "");
    c.IgnoreMinorVersion = ini.ReadBool("Setup", "IgnoreMinorVersion", true);
    c.DefaultFolder = ini.ReadString("Setup", "DefaultFolder", "");
    c.PersonalizeOwner = ini.ReadString("Setup", "PersonalizeOwner", "");
    c.PersonalizeInfo = ini.ReadString("Setup", "PersonalizeInfo", "");
    c.BundleSelectHeading = ini.ReadString("Setup", "BundleSelectHeading", "");
    c.BundleSelectDescription = ini.ReadString("Setup", "BundleSelectDescription", "");
    c.BundleRegistryRoot = ini.ReadString("Setup", "BundleRegistryRoot", "");
    c.BundleItemName = ini.ReadString("Setup", "BundleItemName", "");

    c.PageFlags = 0;
    if (ini.ReadBool("Pages", "VstPluginFolder", false)) c.PageFlags |= kPageVstPluginFolder;
    if (ini.ReadBool("Pages", "DigiPluginFolder", false)) c.PageFlags |= kPageDigiPluginFolder;
    if (ini.ReadBool("Pages", "PhotoshopPluginFolder", false)) c.PageFlags |= kPagePhotoshopPluginFolder;
    if (ini.ReadBool("Pages", "Personalization", false)) c.PageFlags |= kPagePersonalization;

    c.InstalledFiles = ini.ReadList("InstalledFiles");
    c.Folders = ini.ReadList("Folders");
    c.FoldersRegistry = ini.ReadList("FoldersRegistry");
    c.Components = ini.ReadList("Components");
    c.ComponentsOptions = ini.ReadList("ComponentsOptions");
    c.CallLibraries = ini.ReadList("CallLibraries");
    c.RegistrySettings = ini.ReadList("RegistrySettings");
    c.GlobalRegistrySettings = ini.ReadList("GlobalRegistrySettings");
    c.Shortcuts = ini.ReadList("Shortcuts");
    // Expanded now, while InstallDescription still holds its text as written.
    c.CompleteMessage = ExpandText(values, ini.ReadString("Complete", "Message", kDefaultCompleteMessage));
    c.CompleteReadme = ini.ReadString("Complete", "Readme", "");
    c.CompleteProduct = ini.ReadString("Complete", "Product", "");

    // A missing licence is reported before an invalid configuration.
    c.LicenseText.clear();
    for (const std::string& line : LoadSetupText(source, platform, "Setup.lic"))
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
