#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/Bundles.h"
#include "engine/Folders.h"
#include "system/CommonUtils.h"
#include "system/memory/MemoryPlatform.h"

namespace {

class FoldersTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    SetupValues values;
    std::map<std::string, std::int64_t> archiveFolders;
    ArchiveFolderSize folderSize = [this](const std::string& name) {
        return archiveFolders.count(name) ? archiveFolders[name] : 0;
    };

    void Put(const std::string& path, const std::string& name, const std::string& text, bool view64 = false,
             std::uint32_t type = kRegString) {
        RegistryKey key = machine.CreateRegistryKey(RootKey::LocalMachine, path,
                                                    kKeyAllAccess | (view64 ? kKeyWow64_64Key : 0));
        RegistryValue value{type, std::vector<std::uint8_t>(text.begin(), text.end())};
        value.data.push_back(0);
        machine.WriteRegistryValue(key, name, value);
    }
    std::string Prepared(std::string path, std::uint32_t expectedAttributes = 0) {
        std::uint32_t attributes = 0;
        PrepareFile(values, machine, path, attributes);
        EXPECT_EQ(attributes, expectedAttributes) << path;
        return path;
    }
};

TEST_F(FoldersTest, SystemFoldersFor32BitFromTheShellAndFor64BitFromTheEnvironment) {
    DetectSystemFolders(values, machine);
    EXPECT_EQ(values.ProgramFilesFolder + "|" + values.CommonFilesFolder,
              "C:\\Program Files (x86)|C:\\Program Files (x86)\\Common Files");

    values.Config.Is64Bit = true;
    machine.SetEnvironment("ProgramW6432", "E:\\Programs");
    machine.SetEnvironment("CommonProgramW6432", "");
    DetectSystemFolders(values, machine);
    DetectPluginFolders(values, machine);
    EXPECT_EQ(values.ProgramFilesFolder, "E:\\Programs");
    EXPECT_EQ(values.Format(PluginFormat::Aax).Folder,
              "C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins");
    EXPECT_EQ(values.Format(PluginFormat::Rtas).Folder,
              "C:\\Program Files\\Common Files\\Digidesign\\DAE\\Plug-Ins");
    EXPECT_EQ(values.Format(PluginFormat::Vst3).Folder, "C:\\Program Files\\Common Files\\VST3");
}

TEST_F(FoldersTest, HostFoldersComeFromTheProductsRegistryView) {
    DetectVst2Folder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Vst2).Folder, "");
    Put("Software\\Vst", "VstPluginsPath", "D:\\VST32");
    Put("Software\\Vst", "VstPluginsPath", "D:\\VST64", true);
    DetectVst2Folder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Vst2).Folder, "D:\\VST32");
    values.Config.Is64Bit = true;
    DetectVst2Folder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Vst2).Folder, "D:\\VST64");
    Put("Software\\Vst", "VstPluginsPath", "abc", true, kRegDWord);
    DetectVst2Folder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Vst2).Folder, "");

    // Photoshop: the largest number before the first ".", only with the Photoshop page.
    for (const char* version : {"CS6", "13.0", "70.0"})
        Put(std::string("SOFTWARE\\Adobe\\Photoshop\\") + version + "\\PluginPath", "", version, true);
    DetectPhotoshopFolder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Photoshop).Folder, "");
    values.Config.PageFlags = kPagePhotoshopPluginFolder;
    DetectPhotoshopFolder(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Photoshop).Folder, "70.0");
}

TEST_F(FoldersTest, Vst3NeedsFilesInTheArchiveAndABundleNamesOnlySomeItems) {
    values.Config.Components = {"Vst=$VstPluginFolder", "Vst3=$Vst3PluginFolder\\Gadget.vst3,DLLSuffix: x64"};
    archiveFolders = {{"Vst", 1000}, {"Vst3", 0}};
    OfferPluginFormats(values, {}, folderSize);
    EXPECT_FALSE(values.Format(PluginFormat::Vst3).Available) << "a folder of empty files";
    archiveFolders["Vst3"] = 10;
    OfferPluginFormats(values, {}, folderSize);
    EXPECT_TRUE(values.Format(PluginFormat::Vst3).Available);

    values.Config.IsBundle = true;
    values.Config.Components = {"$BundleItem\\Vst3=$Vst3PluginFolder", "Common=$ProgramFolder"};
    archiveFolders = {{"Alpha\\Vst3", 5}, {"Gamma\\Vst3", 7}, {"Common", 9}};
    std::vector<TSetupBundleItem> items;
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        items.emplace_back(values, 0x58B15000u, name, "1.00", name);
    OfferPluginFormats(values, items, folderSize);
    EXPECT_TRUE(values.Format(PluginFormat::Vst3).Available);
    EXPECT_EQ(values.Format(PluginFormat::Vst3).OnlyFor, "Alpha, Gamma");
    archiveFolders["Beta\\Vst3"] = 1;
    OfferPluginFormats(values, items, folderSize);
    EXPECT_EQ(values.Format(PluginFormat::Vst3).OnlyFor, "");
    archiveFolders.clear();
    OfferPluginFormats(values, items, folderSize);
    EXPECT_FALSE(values.Format(PluginFormat::Vst3).Available);
}

TEST_F(FoldersTest, ClapIsOfferedLikeVst3FromItsOwnEntriesOnly) {
    values.Config.Is64Bit = true;
    DetectSystemFolders(values, machine);
    values.Config.Components = {"Vst3=$Vst3PluginFolder", "Clap=$ClapPluginFolder\\Maker",
                                "Other=$clappluginfolder"};
    archiveFolders = {{"Vst3", 5}, {"Other", 5}};
    DetectPluginFolders(values, machine);
    OfferPluginFormats(values, {}, folderSize);
    EXPECT_EQ(values.Format(PluginFormat::Clap).Folder, "C:\\Program Files\\Common Files\\CLAP");
    EXPECT_TRUE(values.Format(PluginFormat::Vst3).Available);
    EXPECT_FALSE(values.Format(PluginFormat::Clap).Available) << "no files in the CLAP entry's folder";
    archiveFolders = {{"Clap", 5}};
    OfferPluginFormats(values, {}, folderSize);
    EXPECT_FALSE(values.Format(PluginFormat::Vst3).Available);
    EXPECT_TRUE(values.Format(PluginFormat::Clap).Available);

    // In a bundle, per item: Beta has VST 3 plug-ins only, so CLAP is only for the other two.
    values.Config.IsBundle = true;
    values.Config.Components = {"$BundleItem\\Vst3=$Vst3PluginFolder", "$BundleItem\\Clap=$ClapPluginFolder"};
    archiveFolders = {
        {"Alpha\\Vst3", 1}, {"Alpha\\Clap", 1}, {"Beta\\Vst3", 1}, {"Gamma\\Vst3", 1}, {"Gamma\\Clap", 1}};
    std::vector<TSetupBundleItem> items;
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        items.emplace_back(values, 0x58B15000u, name, "1.00", name);
    OfferPluginFormats(values, items, folderSize);
    EXPECT_EQ(values.Format(PluginFormat::Vst3).OnlyFor, "");
    EXPECT_TRUE(values.Format(PluginFormat::Clap).Available);
    EXPECT_EQ(values.Format(PluginFormat::Clap).OnlyFor, "Alpha, Gamma");

    values.Config.Is64Bit = false;
    DetectSystemFolders(values, machine);
    DetectPluginFolders(values, machine);
    EXPECT_EQ(values.Format(PluginFormat::Clap).Folder, "C:\\Program Files (x86)\\Common Files\\CLAP");
}

TEST(PluginFormats, RowsFollowTheEnumAndEachFolderVariableEmptiesWithItsSwitch) {
    for (std::size_t i = 0; i < kPluginFormatCount; ++i) {
        const PluginFormatRow& row = PluginFormats()[i];
        EXPECT_EQ(FormatIndex(row.Format), i) << row.Name;
        EXPECT_EQ(FormatBySetName(UpperAscii(row.SetName)), &row) << row.Name;
        EXPECT_NE(row.CommonFilesFolder == nullptr, row.Detect == nullptr) << "one way to find " << row.Name;
        const auto& variables = PathVariables();
        EXPECT_EQ(std::count_if(variables.begin(), variables.end(),
                                [&](const PathVariable& v) {
                                    return std::string(v.Name) == row.FolderVariable && v.Folder == nullptr &&
                                           v.Format == row.Format;
                                }),
                  1)
            << row.Name;
    }
    EXPECT_EQ(FormatBySetName("destination"), nullptr);
}

TEST_F(FoldersTest, FileHookRenamesLibrariesAndHidesIconFiles) {
    EXPECT_EQ(Prepared("C:\\VST\\Plugin.dll"), "C:\\VST\\Plugin.dll");
    values.DllSuffix = " x64";
    EXPECT_EQ(Prepared("C:\\VST\\Plugin.DLL"), "C:\\VST\\Plugin x64.dll");
    EXPECT_EQ(Prepared("C:\\VST\\Plugin.dll.txt"), "C:\\VST\\Plugin.dll.txt");
    values.IsVst3Component = true;
    EXPECT_EQ(Prepared("C:\\VST3\\Plugin.dll"), "C:\\VST3\\Plugin x64.vst3");
    values.DllSuffix.clear();
    EXPECT_EQ(Prepared("C:\\VST3\\PLUGIN.DLL"), "C:\\VST3\\PLUGIN.vst3");
    EXPECT_EQ(Prepared("C:\\VST3.x\\Plugin"), "C:\\VST3.x\\Plugin");

    // desktop.ini also makes its folder read-only at once, keeping the folder's other bits.
    const std::string folder = "C:\\VST3\\Gadget.vst3";
    machine.AddFolder(folder);
    machine.ChangeFileAttributes(folder, kAttrHidden);
    EXPECT_EQ(Prepared(folder + "\\Desktop.INI", 7), folder + "\\Desktop.INI");
    EXPECT_EQ(machine.FileAttributes(folder), kAttrDirectory | kAttrHidden | kAttrReadOnly);
    machine.AddFolder("C:\\Other");
    Prepared("C:\\Other\\plugin.ICO", 7);
    EXPECT_EQ(machine.FileAttributes("C:\\Other"), kAttrDirectory);

    machine.AnswerRetries({true});
    EXPECT_TRUE(AskRetryFile(machine, "C:\\VST\\Gadget.dll"));
    EXPECT_FALSE(AskRetryFile(machine, "C:\\VST\\Gadget.dll"));
    EXPECT_EQ(machine.Dialogs().at(0).text.substr(0, 44), "Cannot install the file 'C:\\VST\\Gadget.dll'.");
}

// In a VST 3 component only the plug-in itself becomes a ".vst3": the single file of the old
// layout, or a bundle's binary; the bundle's other libraries are loaded by their own names.
TEST_F(FoldersTest, Vst3ComponentRenamesOnlyThePluginsOwnBinary) {
    const std::string bundle = "C:\\VST3\\Gadget.vst3\\";
    values.IsVst3Component = true;
    const std::vector<std::pair<std::string, std::string>> kCases = {
        {"C:\\VST3\\Gadget.dll", "C:\\VST3\\Gadget.vst3"},
        {"C:\\VST3\\Maker\\Gadget.dll", "C:\\VST3\\Maker\\Gadget.vst3"},
        {bundle + "Contents\\x86_64-win\\Gadget.dll", bundle + "Contents\\x86_64-win\\Gadget.vst3"},
        {bundle + "Contents\\x86_64-win\\Runtime.dll", bundle + "Contents\\x86_64-win\\Runtime.dll"},
        {bundle + "Contents\\x86_64-win\\Gadget.vst3", bundle + "Contents\\x86_64-win\\Gadget.vst3"},
        {bundle + "Contents\\x86_64-win\\Licence\\Gadget.dll",
         bundle + "Contents\\x86_64-win\\Licence\\Gadget.dll"},
        {bundle + "Contents\\Resources\\Gadget.dll", bundle + "Contents\\Resources\\Gadget.dll"},
        {bundle + "Gadget.dll", bundle + "Gadget.dll"},
        // Letters in either case, every architecture's folder; "x64" is no "-win" folder.
        {"C:\\VST3\\GADGET.VST3\\contents\\X86-WIN\\gadget.DLL",
         "C:\\VST3\\GADGET.VST3\\contents\\X86-WIN\\gadget.vst3"},
        {bundle + "Contents\\arm64ec-win\\Gadget.dll", bundle + "Contents\\arm64ec-win\\Gadget.vst3"},
        {bundle + "Contents\\arm64x-win\\Gadget.dll", bundle + "Contents\\arm64x-win\\Gadget.vst3"},
        {bundle + "Contents\\x64\\Gadget.dll", bundle + "Contents\\x64\\Gadget.dll"},
        {bundle + "Contents\\-win\\Gadget.dll", bundle + "Contents\\-win\\Gadget.dll"},
        // The innermost bundle counts; a folder named ".vst3" alone is no bundle.
        {bundle + "Contents\\x86_64-win\\Inner.vst3\\Contents\\x86_64-win\\Inner.dll",
         bundle + "Contents\\x86_64-win\\Inner.vst3\\Contents\\x86_64-win\\Inner.vst3"},
        {"C:\\VST3\\.vst3\\Contents\\x86_64-win\\.dll", "C:\\VST3\\.vst3\\Contents\\x86_64-win\\.vst3"},
    };
    for (const auto& [from, to] : kCases) EXPECT_EQ(Prepared(from), to);

    // A suffix goes only where the name changes anyway.
    values.DllSuffix = " x64";
    EXPECT_EQ(Prepared("C:\\VST3\\Gadget.dll"), "C:\\VST3\\Gadget x64.vst3");
    EXPECT_EQ(Prepared(bundle + "Contents\\x86_64-win\\Gadget.dll"),
              bundle + "Contents\\x86_64-win\\Gadget x64.vst3");
    EXPECT_EQ(Prepared(bundle + "Contents\\x86_64-win\\Runtime.dll"),
              bundle + "Contents\\x86_64-win\\Runtime.dll");
    // Outside VST 3 components a bundle means nothing: every library gets the suffix.
    values.IsVst3Component = false;
    EXPECT_EQ(Prepared(bundle + "Contents\\x86_64-win\\Runtime.dll"),
              bundle + "Contents\\x86_64-win\\Runtime x64.dll");
}

TEST_F(FoldersTest, FolderProbeLeavesTheDiskAsFound) {
    EXPECT_TRUE(CanCreateFolder(machine, "C:\\A\\B\\"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\A"));
    EXPECT_TRUE(CanCreateFolder(machine, "C:\\Program Files"));
    for (const char* path : {"C:\\", "Gadget", "Q:\\Gadget"})
        EXPECT_FALSE(CanCreateFolder(machine, path)) << path;
    machine.FailFolderCreation("C:\\A\\B");
    EXPECT_FALSE(CanCreateFolder(machine, "C:\\A\\B\\C"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\A"));
    // Windows says "already exists" for a file as well; no folder can be made below it.
    machine.AddFile("C:\\Data\\Gadget", "x");
    EXPECT_FALSE(CanCreateFolder(machine, "C:\\Data\\Gadget\\Presets"));
}

}  // namespace
