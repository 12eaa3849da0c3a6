#include <gtest/gtest.h>

#include "engine/Variables.h"

namespace {

SetupValues Gadget() {
    SetupValues values;
    values.Config.ProductName = "Gadget";
    values.Config.RegistryRoot = "\\Maker\\Gadget";
    values.SetupVersion.SetAsString("3.12");
    return values;
}

TEST(ExpandText, ReplacesEveryOccurrenceInTableOrderCaseSensitively) {
    SetupValues values = Gadget();
    EXPECT_EQ(ExpandText(values, "$ProductName Setup$BitSuffix"), "Gadget Setup");
    values.Config.Is64Bit = true;
    EXPECT_EQ(ExpandText(values, "$ProductName Setup$BitSuffix"), "Gadget Setup (64-bit)");
    EXPECT_EQ(ExpandText(values, "$ProductName, $ProductName, $productname"), "Gadget, Gadget, $productname");
    // A value inserted by a variable is expanded only by the variables after it.
    values.Config.PersonalizeInfo = "$ProductName$BitSuffix";
    EXPECT_EQ(ExpandText(values, "$PersonalizeInfo"), "$ProductName (64-bit)");
    EXPECT_EQ(ExpandText(values, "$FullProductName $ProductVersion"), "Gadget 3.12 3.12");
}

TEST(ExpandText, FullProductNameDropsOnlyAOneDigitMajorAlreadyInTheName) {
    SetupValues values = Gadget();
    values.Config.ProductName = "Gadget 3";
    EXPECT_EQ(FullProductName(values), "Gadget 3.12");
    values.Config.ProductName = "Gadget";
    EXPECT_EQ(FullProductName(values), "Gadget 3.12");
    values.Config.ProductSuffix = "Pro";
    EXPECT_EQ(FullProductName(values), "Gadget 3.12 Pro");
    values.Config.IsBundle = true;
    EXPECT_EQ(FullProductName(values), "Gadget Pro");
    values = Gadget();
    values.Config.ProductName = "Gadget 12";
    values.SetupVersion.SetAsString("12.01");
    EXPECT_EQ(FullProductName(values), "Gadget 12 12.01");
}

TEST(ExpandText, VersionKeyAndProductKey) {
    SetupValues values = Gadget();
    EXPECT_EQ(FormatVersionKey(values.SetupVersion, true), "3.0");
    EXPECT_EQ(FormatVersionKey(values.SetupVersion, false), "3.1");
    EXPECT_EQ(ProductKey(values, "3.0"), "\\Maker\\Gadget\\3.0");
}

TEST(ExpandPath, ReplacesTheFirstOccurrenceWithoutTrailingBackslash) {
    SetupValues values = Gadget();
    values.DestinationFolder = "C:\\Program Files\\Gadget\\";
    EXPECT_EQ(ExpandPath(values, "$ProgramFolder\\Gadget.exe", nullptr),
              "C:\\Program Files\\Gadget\\Gadget.exe");
    EXPECT_EQ(ExpandPath(values, "$ProgramFolder\\A;$ProgramFolder\\B", nullptr),
              "C:\\Program Files\\Gadget\\A;$ProgramFolder\\B");
    EXPECT_EQ(ExpandPath(values, "$Unknown\\x", nullptr), "$Unknown\\x");
}

TEST(ExpandPath, DeclinedFoldersEmptyTheTextAsWrittenOnly) {
    SetupValues values = Gadget();
    values.Format(PluginFormat::Vst3).Folder = "C:\\VST3";
    values.Format(PluginFormat::Vst2).Folder = "C:\\VST";
    values.Format(PluginFormat::Vst3).Install = false;
    EXPECT_EQ(ExpandPath(values, "$Vst3PluginFolder\\Gadget.vst3", nullptr), "");
    EXPECT_EQ(ExpandPath(values, "$Vst3ProgramFolder\\x", nullptr), "");
    values.Format(PluginFormat::Vst2).Install = false;
    values.Config.Folders = {"Presets=$VstPluginFolder\\Presets"};
    EXPECT_EQ(ExpandPath(values, "%Presets\\a", nullptr), "C:\\VST\\Presets\\a");
    EXPECT_EQ(ExpandPath(values, "$VstPluginFolder\\a", nullptr), "");
}

TEST(ExpandPath, ClapFolderHasItsSwitchAndCommonFilesNone) {
    SetupValues values = Gadget();
    values.CommonFilesFolder = "C:\\Program Files\\Common Files\\";
    values.Format(PluginFormat::Clap).Folder = "C:\\Program Files\\Common Files\\CLAP";
    EXPECT_EQ(ExpandPath(values, "$ClapPluginFolder\\Maker", nullptr),
              "C:\\Program Files\\Common Files\\CLAP\\Maker");
    EXPECT_EQ(ExpandPath(values, "$CommonFiles\\Maker\\Shared", nullptr),
              "C:\\Program Files\\Common Files\\Maker\\Shared");
    values.Format(PluginFormat::Clap).Install = false;
    EXPECT_EQ(ExpandPath(values, "$ClapPluginFolder", nullptr), "");
    EXPECT_EQ(ExpandPath(values, "$CommonFiles\\CLAP", nullptr), "C:\\Program Files\\Common Files\\CLAP")
        << "only the CLAP variable is tied to the CLAP choice";
    values.Format(PluginFormat::Clap).Install = true;
    values.Format(PluginFormat::Vst3).Install = false;
    EXPECT_EQ(ExpandPath(values, "$ClapPluginFolder", nullptr), "C:\\Program Files\\Common Files\\CLAP");
}

TEST(ExpandPath, FoldersAreReplacedInListOrder) {
    SetupValues values = Gadget();
    values.Config.Folders = {"Data=D:\\Data\\", "DataPath=E:\\Path"};
    EXPECT_EQ(ExpandPath(values, "%DataPath", nullptr), "D:\\DataPath");
    values.Config.Folders = {"DataPath=E:\\Path", "Data=D:\\Data\\"};
    EXPECT_EQ(ExpandPath(values, "%DataPath", nullptr), "E:\\Path");
}

TEST(ExpandPath, AFolderLineWithoutANameNamesNoFolder) {
    SetupValues values = Gadget();
    // Neither a line without "=" nor one with nothing before it may stand for a lone "%".
    values.Config.Folders = {"Presets", "=D:\\Elsewhere", "Data=D:\\Data"};
    EXPECT_EQ(ExpandPath(values, "100%\\%Data\\%Presets", nullptr), "100%\\D:\\Data\\%Presets");
    EXPECT_EQ(FolderRegistryLocation(values, 0, "3.0").KeyPath, "\\Maker\\Gadget\\3.0");
}

TEST(ExpandPath, BundleItemSelectsEntriesForOneItem) {
    SetupValues values = Gadget();
    BundleItemNames alpha{"Alpha", "Alpha Synth", {}};
    EXPECT_EQ(ExpandPath(values, "$BundleItem\\$BundleItem.dll", &alpha), "Alpha\\Alpha.dll");
    EXPECT_EQ(ExpandPath(values, "$BundleItem(Alpha)\\x", &alpha), "Alpha\\x");
    EXPECT_EQ(ExpandPath(values, "$BundleItem(Beta)\\x", &alpha), "");
    EXPECT_EQ(ExpandPath(values, "$BundleItemProductName\\$BundleItem", &alpha), "Alpha Synth\\Alpha");
    EXPECT_EQ(ExpandPath(values, "$BundleItem\\x", nullptr), "");
    // A name that holds the variable itself must not loop.
    BundleItemNames odd{"$BundleItem", "P", {}};
    EXPECT_EQ(ExpandPath(values, "$BundleItem\\x", &odd), "$BundleItem\\x");
}

TEST(ExpandPath, RegistryLocationsResolveBelowTheVersionKeyOrTheBundleRoot) {
    SetupValues values = Gadget();
    RegistryLocation settings = ResolveRegistryPath(values, "Settings\\Skin", "3.0", nullptr);
    EXPECT_EQ(settings.KeyPath, "\\Maker\\Gadget\\3.0\\Settings");
    EXPECT_EQ(settings.ValueName, "Skin");
    EXPECT_EQ(ResolveRegistryPath(values, "Skin", "3.0", nullptr).KeyPath, "\\Maker\\Gadget\\3.0");

    values.Config.BundleRegistryRoot = "\\Maker\\Bundle";
    BundleItemNames alpha{"Alpha", "Alpha Synth", {}};
    alpha.Version.SetAsString("1.20");
    RegistryLocation item = ResolveRegistryPath(values, "$BundleItem\\Skin", "3.0", &alpha);
    EXPECT_EQ(item.KeyPath, "\\Maker\\Bundle\\Alpha\\1.0");
    EXPECT_EQ(item.ValueName, "Skin");
    EXPECT_EQ(ResolveRegistryPath(values, "Skin", "3.0", &alpha).KeyPath, "");

    values.Config.Folders = {"Data=D:\\Data"};
    values.Config.FoldersRegistry = {"data=Paths\\Data"};
    RegistryLocation folder = FolderRegistryLocation(values, 0, "3.0");
    EXPECT_EQ(folder.KeyPath, "\\Maker\\Gadget\\3.0\\Paths");
    EXPECT_EQ(folder.ValueName, "Data");
}

}  // namespace
