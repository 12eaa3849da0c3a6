#include <gtest/gtest.h>

#include "engine/SetupInstaller.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "tests/unit/engine/EngineMachine.h"

using namespace enginetest;
using setuptest::WriteValue;

namespace {

constexpr char kGadgetIni[] =
    "[Setup]\r\n"
    "ProductName=Gadget\r\n"
    "RegistryRoot=Maker\\Gadget\r\n"
    "DefaultFolder=Maker\\Gadget %d\r\n"
    "PersonalizeOwner=Owner\r\n"
    "[InstalledFiles]\r\n"
    "3=Gadget.exe\r\n"
    "[Components]\r\n"
    "Program=$ProgramFolder\r\n"
    "Presets=%Presets\r\n"
    "[Folders]\r\n"
    "Presets=$Documents\\Gadget\\Presets\r\n"
    "[FoldersRegistry]\r\n"
    "Presets=Paths\\Presets\r\n"
    "[Complete]\r\n"
    "Readme=$ProgramFolder\\Readme.txt\r\n"
    "Product=$VstPluginFolder\\Gadget.exe\r\n";

std::vector<SourceEntry> GadgetFiles() {
    return {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ 3.12")}),
            SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", "p")})};
}

TEST(SetupInstaller, FreshComputerGetsTheDefaultFolderAndTheWindowsUser) {
    MemoryPlatform machine;
    machine.SetUserName("ann");
    PlaceProduct(machine, kGadgetIni, GadgetFiles());
    TSetupInstaller setup(machine);

    EXPECT_EQ(setup.VersionKey(), "3.0");
    EXPECT_EQ(setup.SetupVersion().AsString(), "3.12");
    EXPECT_EQ(IncludeBackslash(setup.Values().DestinationFolder),
              "C:\\Program Files (x86)\\Maker\\Gadget 3\\");
    EXPECT_EQ(setup.Values().UserName, "ann");
    EXPECT_FALSE(setup.Values().ExistingInstallFound);
    EXPECT_TRUE(setup.Installer().OnFile && setup.Installer().OnError);

    setup.SetDestinationFolder("D:\\Apps\\Gadget");
    EXPECT_EQ(setup.Values().DestinationFolder, "D:\\Apps\\Gadget\\");
    EXPECT_EQ(setup.ReadmeFile(), "D:\\Apps\\Gadget\\Readme.txt");
    setup.Values().Format(PluginFormat::Vst2).Folder = "C:\\VST";
    EXPECT_EQ(setup.ProductFile(), "C:\\VST\\Gadget.exe");
    setup.Values().Format(PluginFormat::Vst2).Install = false;
    EXPECT_EQ(setup.ProductFile(), "");
    EXPECT_EQ(setup.ExpandText("$FullProductName$BitSuffix"), "Gadget 3.12");
}

// An earlier 3.05 in C:\Old Gadget: its folder, owner and remembered folders are proposed, and
// the new run writes its record over the old one.
TEST(SetupInstaller, UpgradeReusesTheEarlierInstallationAndRewritesItsRecord) {
    MemoryPlatform machine;
    WriteValue(machine, RootKey::LocalMachine, "\\Maker\\Gadget\\3.0", "Location", "C:\\Old Gadget\\");
    WriteValue(machine, RootKey::LocalMachine, "\\Maker\\Gadget\\3.0", "VersionString", "3.05");
    WriteValue(machine, RootKey::CurrentUser, "\\Maker\\Gadget\\3.0", "Owner", "Bob");
    WriteValue(machine, RootKey::CurrentUser, "\\Maker\\Gadget\\3.0\\Paths", "Presets", "D:\\My Presets\\");
    machine.AddFile("C:\\Old Gadget\\Gadget.exe", "MZ 3.05");
    PlaceProduct(machine, kGadgetIni, GadgetFiles());
    TSetupInstaller setup(machine);

    EXPECT_TRUE(setup.Values().ExistingInstallFound);
    EXPECT_EQ(setup.Values().DestinationFolder, "C:\\Old Gadget\\");
    EXPECT_EQ(setup.Values().UserName, "Bob");

    setup.Values().UserName = "Bob Smith";
    RecordingProgress progress;
    setup.Install(progress);
    EXPECT_EQ(machine.FileText("C:\\Old Gadget\\Gadget.exe"), "MZ 3.12");
    EXPECT_EQ(machine.FileText("D:\\My Presets\\Default.preset"), "p");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, "\\Maker\\Gadget\\3.0", "VersionString"), "3.12");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, "\\Maker\\Gadget\\3.0\\Paths", "Presets"),
              "D:\\My Presets\\");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, "\\Maker\\Gadget\\3.0", "Owner"), "Bob Smith");
}

TEST(SetupInstallerCheck, RefusesWithoutRightsOrA64BitProductOn32BitWindows) {
    {
        MemoryPlatform machine;
        machine.DenyRegistryAccess(RootKey::LocalMachine, "SOFTWARE", kKeyAllAccess);
        PlaceProduct(machine, kGadgetIni, {});
        TSetupInstaller setup(machine);
        EXPECT_FALSE(setup.CheckCanInstall());
        ASSERT_EQ(machine.Dialogs().size(), 1u);
        EXPECT_EQ(machine.Dialogs()[0].kind, "information");
        EXPECT_EQ(
            machine.Dialogs()[0].text,
            "You must have Administrator or Power User rights to install\rGadget on this computer. Setup "
            "will now close.\r\rPlease log on as a different user and try again.");
    }
    std::string ini64 = kGadgetIni;
    ini64.insert(ini64.find("ProductName"), "Is64Bit=1\r\n");
    for (bool wow64 : {false, true}) {
        MemoryPlatform machine;
        machine.SetWow64(wow64);
        PlaceProduct(machine, ini64, {});
        TSetupInstaller setup(machine);
        EXPECT_EQ(setup.CheckCanInstall(), wow64);
        EXPECT_EQ(machine.Dialogs().size(), wow64 ? 0u : 1u);
        if (!wow64) {
            EXPECT_NE(machine.Dialogs()[0].text.find("the 64-bit version of Gadget."), std::string::npos);
        }
    }
}

}  // namespace
