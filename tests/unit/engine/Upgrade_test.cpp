#include <gtest/gtest.h>

#include "engine/Upgrade.h"
#include "system/memory/MemoryPlatform.h"

namespace {

class UpgradeTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    SetupValues values;

    void SetUp() override {
        values.Config.RegistryRoot = "\\Software\\Maker\\Gadget";
        values.Config.DefaultFolder = "Maker\\Gadget %d";
        values.ProgramFilesFolder = "C:\\Program Files";
        values.SetupVersion.SetAsString("3.05");
        machine.SetUserName("winuser");
    }
    void Put(RootKey root, const std::string& key, const std::string& name, const std::string& text,
             bool view64 = false, std::uint32_t type = kRegString) {
        RegistryKey opened = machine.CreateRegistryKey(root, "Software\\Maker\\Gadget\\" + key,
                                                       kKeyAllAccess | (view64 ? kKeyWow64_64Key : 0));
        RegistryValue value{type, std::vector<std::uint8_t>(text.begin(), text.end())};
        value.data.push_back(0);
        if (!name.empty() || !text.empty()) machine.WriteRegistryValue(opened, name, value);
    }
    // An installation record as the installation run writes it.
    void Record(const std::string& key, const std::string& version, const std::string& location,
                bool view64 = false) {
        if (!version.empty()) Put(RootKey::LocalMachine, key, "VersionString", version, view64);
        Put(RootKey::LocalMachine, key, "Location", location, view64);
    }
    void Detect() {
        ComputeVersionKey(values);
        FindExistingInstallation(values, machine);
        ResolveDestination(values, machine);
        ReadOwnerName(values, machine);
    }
};

TEST_F(UpgradeTest, WithoutARecordTheDestinationIsTheDefaultFolder) {
    Detect();
    EXPECT_EQ(values.VersionKey, "3.0");
    EXPECT_FALSE(values.ExistingInstallFound);
    EXPECT_EQ(values.DestinationFolder, "C:\\Program Files\\Maker\\Gadget 3");
    EXPECT_EQ(values.UserName, "winuser");
    EXPECT_EQ(DestinationQuestion(values, "C:\\Anywhere\\"), UpgradeQuestion::None);
}

TEST_F(UpgradeTest, TheNewestVersionNotAboveTheSetupsMajorWinsAndReleasesBeatBetas) {
    Record("2.0", "", "C:\\Gadget 2\\");
    Record("Settings", "", "");
    Detect();
    EXPECT_EQ(values.InstalledVersion.AsString(), "2.00") << "the key's name stands in for the version";
    EXPECT_EQ(values.ExistingFolder, "C:\\Gadget 2\\");
    EXPECT_EQ(values.DestinationFolder, "C:\\Program Files\\Maker\\Gadget 3") << "another major version";

    Record("3.1", "3.01 beta 2", "C:\\Beta\\");
    Record("3.0", "3.01", "C:\\Gadget 3");
    Record("4.0", "4.00", "C:\\Gadget 4\\");
    Detect();
    EXPECT_EQ(values.InstalledVersion.AsString() + "|" + values.InstalledVersionKey, "3.01|3.0");
    EXPECT_EQ(values.ExistingFolder, "C:\\Gadget 3\\");
    EXPECT_EQ(values.DestinationFolder, "C:\\Gadget 3\\");

    // A version string of the wrong type reads as none: the key's name "3.1" counts.
    Put(RootKey::LocalMachine, "3.1", "VersionString", "x", false, kRegDWord);
    Detect();
    EXPECT_EQ(values.InstalledVersion.AsString(), "3.10");
}

TEST_F(UpgradeTest, RecordsAreReadInTheProductsViewUnderItsVersionKey) {
    Record("3.0", "3.01", "C:\\Gadget32\\");
    Record("3.0", "3.02", "C:\\Gadget64\\", true);
    values.Config.Is64Bit = true;
    Detect();
    EXPECT_EQ(values.ExistingFolder, "C:\\Gadget64\\");
    values.Config.Is64Bit = false;
    Detect();
    EXPECT_EQ(values.ExistingFolder, "C:\\Gadget32\\");

    // Kept apart, minor versions have keys of their own.
    values.SetupVersion.SetAsString("3.10");
    values.Config.IgnoreMinorVersion = false;
    Detect();
    EXPECT_EQ(values.VersionKey + "|" + values.InstalledVersionKey, "3.1|3.0");
    EXPECT_EQ(values.ExistingFolder, "C:\\Gadget32\\");
}

TEST_F(UpgradeTest, AnInstallationMissingItsFilesOrFolderCountsAsNone) {
    values.Config.InstalledFiles = {"3=Gadget.exe", "3=Data\\Gadget.dat", "2=Old.exe"};
    Record("3.0", "3.01", "C:\\Gadget\\");
    machine.AddFile("C:\\Gadget\\Gadget.exe", "x");
    Detect();
    EXPECT_FALSE(values.ExistingInstallFound);
    EXPECT_EQ(values.DestinationFolder, "C:\\Program Files\\Maker\\Gadget 3");
    EXPECT_EQ(DestinationQuestion(values, "D:\\"), UpgradeQuestion::None);
    machine.AddFile("C:\\Gadget\\Data\\Gadget.dat", "x");
    Detect();
    EXPECT_TRUE(values.ExistingInstallFound);
    Record("3.0", "3.01", "");
    Detect();
    EXPECT_FALSE(values.ExistingInstallFound);
}

TEST_F(UpgradeTest, DestinationQuestionsCompareFoldersWithoutCase) {
    Record("3.0", "3.01", "C:\\Program Files\\Gadget\\");
    Detect();
    EXPECT_EQ(DestinationQuestion(values, "c:\\PROGRAM FILES\\gadget"), UpgradeQuestion::None);
    EXPECT_EQ(DestinationQuestion(values, "C:\\Program Files\\Gadget 3\\"), UpgradeQuestion::DifferentFolder);
    values.SetupVersion.SetAsString("4.00");
    Detect();
    EXPECT_EQ(DestinationQuestion(values, "C:\\program files\\GADGET\\"), UpgradeQuestion::OverwriteExisting);
    EXPECT_EQ(DestinationQuestion(values, values.DestinationFolder), UpgradeQuestion::None);
}

TEST_F(UpgradeTest, RememberedFoldersAndOwnerComeFromTheSameMajorVersion) {
    values.Config.Folders = {"Presets=$Documents\\Presets", "Skins=$ProgramFolder\\Skins"};
    values.Config.FoldersRegistry = {"presets=Paths\\Presets"};
    values.Config.PersonalizeOwner = "User\\Owner";
    Record("3.0", "3.01", "C:\\Gadget\\");
    Put(RootKey::CurrentUser, "3.0\\Paths", "Presets", "D:\\My Presets");
    Put(RootKey::CurrentUser, "3.0\\User", "Owner", "Ada");
    // The default value is where a folder without a [FoldersRegistry] line was written; it
    // belongs to no one folder, and without PersonalizeOwner it is no owner either.
    Put(RootKey::CurrentUser, "3.0", "", "E:\\Elsewhere\\");
    Detect();
    EXPECT_EQ(ExpandPath(values, "%Presets\\Default.fxp", nullptr), "D:\\My Presets\\Default.fxp");
    EXPECT_EQ(FolderValue(values, 1), "$ProgramFolder\\Skins");
    EXPECT_EQ(values.UserName, "Ada");
    values.Config.PersonalizeOwner.clear();
    Detect();
    EXPECT_EQ(values.UserName, "winuser");

    values.SetupVersion.SetAsString("4.00");
    Detect();
    EXPECT_EQ(FolderValue(values, 0), "$Documents\\Presets");
}

}  // namespace
