#include <gtest/gtest.h>

#include <map>

#include "engine/Configuration.h"
#include "engine/Variables.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"

namespace {

class FakeArchive : public SetupDataSource {
public:
    std::map<std::string, std::string> entries;
    std::unique_ptr<Stream> Load(const std::string& name) override {
        auto found = entries.find(name);
        if (found == entries.end()) return nullptr;
        return std::make_unique<MemoryStream>(
            std::vector<std::uint8_t>(found->second.begin(), found->second.end()));
    }
};

const char* const kMinimalIni =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\n"
    "DefaultFolder=Maker\\Gadget %d\r\n";

class ConfigurationTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    FakeArchive archive;
    SetupValues values;

    void SetUp() override {
        values.SetupVersion.SetAsString("3.12");
        archive.entries["Setup.lic"] = "Terms\r\nMore terms";
    }
    void Load(const std::string& ini) {
        archive.entries["Setup.ini"] = ini;
        LoadConfiguration(values, archive, machine);
    }
    std::string InvalidMessage(const std::string& ini) {
        try {
            Load(ini);
        } catch (const ESetupError&) {
            return "wrong class";
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
};

TEST_F(ConfigurationTest, MinimalSetupIniLoadsWithTheDefaults) {
    Load(kMinimalIni);
    const SetupConfiguration& c = values.Config;
    EXPECT_EQ(c.RegistryRoot, "\\Maker\\Gadget");
    EXPECT_EQ(c.InstallDescription, "Gadget");
    EXPECT_TRUE(c.IgnoreMinorVersion);
    EXPECT_FALSE(c.Is64Bit);
    EXPECT_EQ(c.PageFlags, 0u);
    EXPECT_EQ(c.ShortcutKinds, 0u);
    EXPECT_TRUE(c.Components.empty() && c.Folders.empty() && c.Shortcuts.empty() &&
                c.InstalledFiles.empty() && c.RegistrySettings.empty());
    EXPECT_EQ(c.CompleteMessage,
              "Gadget has been installed successfully. You can start Gadget from the Start menu "
              "or the desktop. Please read the Readme.txt file for additional information.");
    EXPECT_EQ(c.LicenseText, "Terms\r\nMore terms\r\n");
}

TEST_F(ConfigurationTest, KeysAndSectionsMatchWithoutCaseAndRootsKeepOneBackslash) {
    Load(
        "[SETUP]\nproductname=Gadget\nregistryroot=\\Maker\\Gadget\nDefaultFolder=G\n"
        "IsBundle=1\nBundleRegistryRoot=Maker\\Bundle\n[pages]\nvstpluginfolder=1\n"
        "Personalization=0x1\n");
    EXPECT_EQ(values.Config.RegistryRoot, "\\Maker\\Gadget");
    EXPECT_EQ(values.Config.BundleRegistryRoot, "\\Maker\\Bundle");
    EXPECT_EQ(values.Config.PageFlags, unsigned(kPageVstPluginFolder | kPagePersonalization));
}

TEST_F(ConfigurationTest, BooleansAreIntegersAndWordsFallBackToTheDefault) {
    Load(std::string(kMinimalIni) + "Is64Bit=true\nIgnoreMinorVersion=no\n");
    EXPECT_FALSE(values.Config.Is64Bit);
    EXPECT_TRUE(values.Config.IgnoreMinorVersion);
    Load(std::string(kMinimalIni) + "Is64Bit=0x1\nIgnoreMinorVersion=0\n");
    EXPECT_TRUE(values.Config.Is64Bit);
    EXPECT_FALSE(values.Config.IgnoreMinorVersion);
}

TEST_F(ConfigurationTest, InvalidConfigurationIsTheGeneralErrorRaisedAfterTheLicence) {
    EXPECT_EQ(InvalidMessage("[Setup]\nProductName=G\nDefaultFolder=G\n"), kInvalidConfigurationMessage);
    EXPECT_EQ(InvalidMessage("[Setup]\nRegistryRoot=R\n"), kInvalidConfigurationMessage);
    EXPECT_EQ(InvalidMessage(std::string(kMinimalIni) + "IsBundle=1\n"), kInvalidConfigurationMessage);
    // A missing licence is reported first, as the file error.
    archive.entries.erase("Setup.lic");
    EXPECT_THROW(Load("[Setup]\n"), EFileError);
}

TEST_F(ConfigurationTest, CompleteMessageIsExpandedBeforeInstallDescription) {
    Load(std::string(kMinimalIni) +
         "WelcomeWin64=$InstallDescription$BitSuffix\n"
         "[Complete]\nMessage=Installed $InstallDescription.\n"
         "Readme=$ProgramFolder\\Readme.txt\n");
    EXPECT_EQ(values.Config.CompleteMessage, "Installed $ProductName.");
    EXPECT_EQ(values.Config.WelcomeWin64, "$ProductName");
    EXPECT_EQ(values.Config.InstallDescription, "Gadget");
    EXPECT_EQ(values.Config.CompleteReadme, "$ProgramFolder\\Readme.txt");
}

TEST_F(ConfigurationTest, ListsKeepDuplicatesAndSplitAtTheFirstEquals) {
    Load(std::string(kMinimalIni) +
         "[Components]\nProgram=$ProgramFolder\nProgram=$ProgramFolder\\B\n"
         "[RegistrySettings]\nA=B=C\n"
         "[Shortcuts]\ndesktop=$ProgramFolder\\G.exe\nStartMenu=x\n");
    EXPECT_EQ(values.Config.Components,
              (std::vector<std::string>{"Program=$ProgramFolder", "Program=$ProgramFolder\\B"}));
    EXPECT_EQ(values.Config.RegistrySettings, std::vector<std::string>{"A=B=C"});
    EXPECT_EQ(values.Config.ShortcutKinds, unsigned(kShortcutStartMenu | kShortcutDesktop));
}

TEST_F(ConfigurationTest, WelcomeWin64IsClearedOnlyForA32BitProductOn32BitWindows) {
    const std::string ini = std::string(kMinimalIni) + "WelcomeWin64=Note\n";
    machine.SetWow64(false);
    Load(ini);
    EXPECT_EQ(values.Config.WelcomeWin64, "");
    Load(ini + "Is64Bit=1\n");
    EXPECT_EQ(values.Config.WelcomeWin64, "Note");
    machine.SetWow64(true);
    Load(ini);
    EXPECT_EQ(values.Config.WelcomeWin64, "Note");
}

TEST_F(ConfigurationTest, SetupDataFallsBackToFilesBesideTheProgram) {
    machine.AddFile("C:\\Users\\user\\Downloads\\Setup.ini", kMinimalIni);
    machine.AddFile("C:\\Users\\user\\Downloads\\Alt.txt", "alternative");
    LoadConfiguration(values, archive, machine);
    EXPECT_EQ(values.Config.ProductName, "Gadget");

    auto text = [&](const std::string& name, const std::string& alternative) {
        std::unique_ptr<Stream> stream = OpenSetupStream(archive, machine, name, alternative);
        std::string bytes(static_cast<std::size_t>(stream->Size()), '\0');
        stream->ReadBuffer(bytes.data(), bytes.size());
        return bytes;
    };
    EXPECT_EQ(text("Missing.txt", "Alt.txt"), "alternative");
    archive.entries["Alt.txt"] = "from archive";
    EXPECT_EQ(text("Missing.txt", "Alt.txt"), "from archive");
    EXPECT_THROW(text("Missing.txt", ""), EFileError);
}

TEST_F(ConfigurationTest, AByteOrderMarkAtTheStartOfEachTextIsPassedOver) {
    const std::string bom = "\xEF\xBB\xBF";
    archive.entries["Setup.lic"] = bom + "Terms\r\n";
    Load(bom + kMinimalIni);
    EXPECT_EQ(values.Config.RegistryRoot, "\\Maker\\Gadget") << "the first header is read";
    EXPECT_EQ(values.Config.LicenseText, "Terms\r\n");
    // Only at the very start: elsewhere the bytes are text in the code page.
    EXPECT_EQ(SetupTextLines("A\r\n" + bom + "B"), (std::vector<std::string>{"A", bom + "B"}));

    // Files beside the program are read by the same reader.
    archive.entries.clear();
    machine.AddFile("C:\\Users\\user\\Downloads\\Setup.ini", bom + kMinimalIni);
    machine.AddFile("C:\\Users\\user\\Downloads\\Setup.lic", bom + "Beside\r\n");
    LoadConfiguration(values, archive, machine);
    EXPECT_EQ(values.Config.ProductName, "Gadget");
    EXPECT_EQ(values.Config.LicenseText, "Beside\r\n");
}

}  // namespace
