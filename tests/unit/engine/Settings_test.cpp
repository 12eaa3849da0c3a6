#include <gtest/gtest.h>

#include "install/Installer.h"
#include "engine/Settings.h"
#include "system/ShellUtils.h"
#include "tests/unit/engine/EngineMachine.h"

using namespace enginetest;
using setuptest::KeyExists;

namespace {

SetupValues Gadget() {
    SetupValues values;
    values.Config.ProductName = "Gadget";
    values.Config.RegistryRoot = "\\Maker\\Gadget";
    values.Config.BundleRegistryRoot = "\\Maker\\Bundle";
    values.SetupVersion.SetAsString("3.12");
    values.VersionKey = "3.0";
    values.DestinationFolder = "C:\\Gadget\\";
    values.Format(PluginFormat::Vst2).Folder = "C:\\VST";
    return values;
}

constexpr char kProduct[] = "\\Maker\\Gadget\\3.0";

TEST(SettingsNumber, HashFollowedByA32BitIntegerOnly) {
    EXPECT_EQ(SettingNumber("#640"), 640);
    EXPECT_EQ(SettingNumber("#-5"), -5);
    EXPECT_EQ(SettingNumber("#$FF"), 255);
    EXPECT_EQ(SettingNumber("#0x10"), 16);
    EXPECT_EQ(SettingNumber("#$FFFFFFFF"), -1);
    EXPECT_EQ(SettingNumber("#-2147483648"), INT32_MIN);
    EXPECT_EQ(SettingNumber("#2147483648"), std::nullopt);
    EXPECT_EQ(SettingNumber("#$100000000"), std::nullopt);
    EXPECT_EQ(SettingNumber("#abc"), std::nullopt);
    EXPECT_EQ(SettingNumber("#"), std::nullopt);
    EXPECT_EQ(SettingNumber("#$"), std::nullopt);
    EXPECT_EQ(SettingNumber("#12 "), std::nullopt);
    EXPECT_EQ(SettingNumber("640"), std::nullopt);
}

TEST(SettingsList, NumbersStringsAndSkippedLinesBelowTheVersionKey) {
    MemoryPlatform machine;
    SetupValues values = Gadget();
    values.Format(PluginFormat::Vst2).Install = false;
    machine.DenyRegistryAccess(RootKey::CurrentUser, "Maker\\Gadget\\3.0\\Locked", kKeyAllAccess);
    WriteSettingsList(machine, values,
                      {"Settings\\Width=#640", "Settings\\Name=#abc", "Settings\\Mark=#",
                       "Settings\\=unnamed", "Locked\\Value=lost", "Paths\\Plugins=$VstPluginFolder",
                       "Paths\\Home=$ProgramFolder\\", "$VstPluginFolder\\Skipped=1", "Skin=Dark"},
                      RootKey::CurrentUser, nullptr);

    const std::string settings = std::string(kProduct) + "\\Settings";
    EXPECT_EQ(NumberValue(machine, RootKey::CurrentUser, settings, "Width"), 640);
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, settings, "Name"), "#abc");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, settings, "Mark"), "#");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, settings, ""), "unnamed");
    // Only a key that expands to nothing skips its line; declined data is written empty.
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, std::string(kProduct) + "\\Paths", "Plugins"), "");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, std::string(kProduct) + "\\Paths", "Home"),
              "C:\\Gadget\\");
    EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, std::string(kProduct) + "\\$VstPluginFolder"));
    EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, std::string(kProduct) + "\\C:"));
    // The line after the one that could not be written still is.
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, kProduct, "Skin"), "Dark");
}

TEST(SettingsList, BundleItemLinesGoBelowTheBundleRootUnderTheItemsVersion) {
    MemoryPlatform machine;
    SetupValues values = Gadget();
    values.Config.IsBundle = true;
    BundleItemNames alpha{"Alpha", "Alpha Equalizer", {}};
    alpha.Version.SetAsString("1.20");
    const std::vector<std::string> lines = {"$BundleItem\\Skin=$BundleItemProductName",
                                            "$BundleItem(Beta)\\Only=1", "Skin=Light"};
    WriteSettingsList(machine, values, lines, RootKey::LocalMachine, &alpha);
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, "\\Maker\\Bundle\\Alpha\\1.0", "Skin"),
              "Alpha Equalizer");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, "\\Maker\\Bundle\\Alpha\\1.0", "Only"), "(none)");
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kProduct));

    WriteSettingsList(machine, values, lines, RootKey::LocalMachine, nullptr);
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kProduct, "Skin"), "Light");
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, std::string(kProduct) + "\\$BundleItem"));
}

TEST(ShortcutValue, TargetNameArgumentsAndIcon) {
    SetupValues values = Gadget();
    values.Config.Is64Bit = true;
    ShortcutLine full =
        ParseShortcutValue(values, " $ProgramFolder\\Gadget.exe , $ProductName$BitSuffix , -safe ,3");
    EXPECT_EQ(full.target, "$ProgramFolder\\Gadget.exe");
    EXPECT_EQ(full.name, "Gadget (64-bit)");
    EXPECT_EQ(full.arguments, " -safe ");
    EXPECT_EQ(full.iconIndex, -3);
    EXPECT_EQ(ParseShortcutValue(values, "a,b,c,-3").iconIndex, -3);
    EXPECT_EQ(ParseShortcutValue(values, "a,b,c,0").iconIndex, 0);
    EXPECT_EQ(ParseShortcutValue(values, "a,b,c,x").iconIndex, 0);
    EXPECT_EQ(ParseShortcutValue(values, "a,b,c,d,e").arguments, "c");

    EXPECT_EQ(ParseShortcutValue(values, "$ProgramFolder\\Readme.txt").name, "Readme");
}

class ShortcutsTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    SetupValues values = Gadget();
    std::string programs;
    std::string desktop;

    void SetUp() override {
        PlaceProduct(machine, "[Setup]\r\n", {});
        programs = machine.SpecialFolderPath(kCsidlPrograms) + "\\";
        desktop = machine.SpecialFolderPath(kCsidlDesktopDirectory) + "\\";
        machine.AddFolder("C:\\Gadget");
        values.Config.Shortcuts = {
            "StartMenu=$ProgramFolder\\Gadget.exe,$ProductName 3,-safe,3",
            "Desktop=$ProgramFolder\\Gadget.exe,Gadget",
            "desktop=$ProgramFolder\\Gadget.exe,Lower",
            "Elsewhere=$ProgramFolder\\Gadget.exe,Elsewhere",
            "ProgramFolder=$ProgramFolder\\Readme.txt",
            "ProgramFolder=$VstPluginFolder\\Plugin.txt",
        };
        values.Format(PluginFormat::Vst2).Install = false;
    }
    void Link(const std::string& file, const std::string& target, const std::string& arguments) {
        machine.SaveShellLink(file, ShellLink{target, arguments, "", "", 0});
    }
};

TEST_F(ShortcutsTest, ChoiceDecidesTheFoldersAndTheProgramFolderAlwaysGetsOnes) {
    TInstaller installer(machine);
    CreateShortcuts(machine, values, installer, kChoiceStartMenu);
    std::optional<ShellLink> start = machine.LoadShellLink(programs + "Gadget 3.lnk");
    ASSERT_TRUE(start);
    EXPECT_EQ(start->target, "C:\\Gadget\\Gadget.exe");
    EXPECT_EQ(start->arguments, "-safe");
    EXPECT_EQ(start->iconFile, "C:\\Gadget\\Gadget.exe");
    EXPECT_EQ(start->iconIndex, -3);
    EXPECT_TRUE(machine.HasFile("C:\\Gadget\\Readme.lnk"));
    EXPECT_FALSE(machine.HasFile(desktop + "Gadget.lnk"));
    EXPECT_EQ(installer.Log(),
              (std::vector<std::string>{"F" + programs + "Gadget 3.lnk", "FC:\\Gadget\\Readme.lnk"}));

    TInstaller second(machine);
    CreateShortcuts(machine, values, second, kChoiceStartMenu | kChoiceDesktop);
    EXPECT_TRUE(machine.HasFile(desktop + "Gadget.lnk"));
    // The page asks about "desktop" written in any case, but only "Desktop" makes a shortcut.
    EXPECT_FALSE(machine.HasFile(desktop + "Lower.lnk"));
    EXPECT_EQ(second.Log().size(), 3u);
}

TEST_F(ShortcutsTest, OlderShortcutsToTheSameTargetAndArgumentsAreReplaced) {
    Link(programs + "Gadget 2.lnk", "c:\\GADGET\\gadget.exe", "-SAFE");
    Link(programs + "Gadget 3.lnk", "C:\\Gadget\\Gadget.exe", "-safe");
    Link(programs + "Plain.lnk", "C:\\Gadget\\Gadget.exe", "");
    Link(programs + "Hidden.lnk", "C:\\Gadget\\Gadget.exe", "-safe");
    machine.ChangeFileAttributes(programs + "Hidden.lnk", kAttrHidden);
    machine.AddFile(programs + "Broken.lnk", "not a link");
    TInstaller installer(machine);
    CreateShortcuts(machine, values, installer, kChoiceStartMenu);

    EXPECT_FALSE(machine.HasFile(programs + "Gadget 2.lnk"));
    EXPECT_TRUE(machine.HasFile(programs + "Gadget 3.lnk"));
    EXPECT_TRUE(machine.HasFile(programs + "Plain.lnk"));
    EXPECT_TRUE(machine.HasFile(programs + "Hidden.lnk"));
    EXPECT_TRUE(machine.HasFile(programs + "Broken.lnk"));
}

}  // namespace
