#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <set>

#include "archive/SetupData.h"
#include "uninstall/UninstallRecord.h"
#include "engine/FilesInUse.h"
#include "engine/InstallRun.h"
#include "engine/SetupInstaller.h"
#include "install/RunJournal.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/Utf8.h"
#include "tests/unit/engine/EngineMachine.h"
#include "texts/Texts.h"

using namespace enginetest;
using setuptest::KeyExists;

namespace {

using Lines = std::vector<std::string>;

constexpr char kGadgetIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
    "PersonalizeOwner=Owner\r\n"
    "[Components]\r\nProgram=$ProgramFolder\r\nPresets=$Documents\\Gadget\\Presets\r\n"
    "[Folders]\r\nPresets=$Documents\\Gadget\\Presets\r\n"
    "[FoldersRegistry]\r\nPresets=Paths\\Presets\r\n"
    "[RegistrySettings]\r\nSettings\\Width=#640\r\n"
    "[Shortcuts]\r\nProgramFolder=$ProgramFolder\\Readme.txt\r\n";
const std::string kPresets = "C:\\Users\\user\\Documents\\Gadget\\Presets\\";
const std::string kUninstallKey = std::string(kUninstallKeyPath) + "\\Gadget 3.12";

std::vector<SourceEntry> GadgetFiles() {
    return {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ gadget"),
                                               SourceEntry::File("Readme.txt", "Read me")}),
            SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", "new default"),
                                               SourceEntry::File("Extra.preset", "extra")})};
}

class InstallRunTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    RecordingProgress progress;
    std::optional<TSetupInstaller> setup;

    TSetupInstaller& Setup(const std::string& ini, std::vector<SourceEntry> files = GadgetFiles()) {
        PlaceProduct(machine, ini, std::move(files));
        setup.emplace(machine);
        setup->SetDestinationFolder("C:\\Gadget");
        return *setup;
    }
    bool Logged(const std::string& line) {
        const Lines& log = setup->Installer().Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
};

TEST_F(InstallRunTest, PlainRunCopiesRecordsAndRegistersInOrder) {
    Setup(kGadgetIni).Values().UserName = "Ann";
    setup->Install(progress);

    EXPECT_EQ(progress.calls,
              (Lines{"0", Text(TextId::PreparingStatus), "25", Text(TextId::CopyingStatus), "75", Text(TextId::CreatingSettingsStatus), "100"}));
    EXPECT_EQ(machine.FileText("C:\\Gadget\\Gadget.exe"), "MZ gadget");
    const std::string product = "\\Maker\\Gadget\\3.0";
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, product, "Location"), "C:\\Gadget\\");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, product, "VersionString"), "3.12");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, product + "\\Paths", "Presets"), kPresets);
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, product, "Owner"), "Ann");
    EXPECT_EQ(NumberValue(machine, RootKey::CurrentUser, product + "\\Settings", "Width"), 640);
    EXPECT_EQ(ReadShortcut(machine, "C:\\Gadget\\Readme.lnk").target, "C:\\Gadget\\Readme.txt");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kUninstallStringValue),
              "C:\\Gadget\\Uninst.exe");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kDisplayNameValue), "Gadget 3.12");
    // Everything the run created, in order: the uninstaller removes it backwards.
    EXPECT_EQ(setup->Installer().Log(),
              (Lines{"EC:\\", "DC:\\Gadget\\", "FC:\\Gadget\\Gadget.exe", "FC:\\Gadget\\Readme.txt",
                     "EC:\\Users\\user\\Documents\\", "DC:\\Users\\user\\Documents\\Gadget\\", "D" + kPresets,
                     "F" + kPresets + "Default.preset", "F" + kPresets + "Extra.preset", "U" + product,
                     "M" + product, "FC:\\Gadget\\Readme.lnk", "M" + kUninstallKey}));
    EXPECT_TRUE(machine.HasFile("C:\\Gadget\\Uninst.exe"));
}

// Each write of the run as "kind path", from the machine's journal.
Lines Writes(const MemoryPlatform& machine) {
    using Kind = MemoryPlatform::Write::Kind;
    Lines lines;
    for (const MemoryPlatform::Write& write : machine.Journal()) {
        if (IsRunJournal(write.path)) continue;
        if (write.kind == Kind::RegistryValue)
            lines.push_back("value " + write.path + "\\" + write.valueName);
        else if (write.kind == Kind::Attributes)
            lines.push_back("attributes " + write.path);
        else if (write.kind == Kind::Shortcut)
            lines.push_back("shortcut " + write.path);
        else if (write.kind == Kind::File)
            lines.push_back("file " + write.path);
        else if (write.kind == Kind::Folder)
            lines.push_back("folder " + write.path);
        else if (write.kind == Kind::RenamedFile)
            lines.push_back("renamed " + write.path + " -> " + write.newPath);
        else
            lines.push_back("removed " + write.path);
    }
    return lines;
}

TEST_F(InstallRunTest, WritesComeInTheOrderOfTheRunWithTheUninstallerLast) {
    Setup(kGadgetIni,
          {SourceEntry::Directory("Program", {SourceEntry::File("desktop.ini", "[.ShellClassInfo]"),
                                              SourceEntry::File("Readme.txt", "Read me")})});
    machine.ClearJournal();
    setup->Install(progress);
    const std::string product = "Maker\\Gadget\\3.0";
    EXPECT_EQ(
        Writes(machine),
        (Lines{"folder C:\\Gadget\\", "file C:\\Gadget\\Readme.txt",
               // The folder is marked before its desktop.ini is written, the file after.
               "attributes C:\\Gadget", "file C:\\Gadget\\desktop.ini", "attributes C:\\Gadget\\desktop.ini",
               "value " + product + "\\Location", "value " + product + "\\VersionString",
               "value " + product + "\\Paths\\Presets", "value " + product + "\\Owner",
               "value " + product + "\\Settings\\Width", "shortcut C:\\Gadget\\Readme.lnk",
               // Complete before it takes its place.
               "file C:\\Gadget\\~e220a8397b1dcdaf.tmp", "renamed C:\\Gadget\\~e220a8397b1dcdaf.tmp -> C:\\Gadget\\Uninst.exe",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\DisplayName",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\UninstallString",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget "
               "3.12\\UninstallRecordDigest",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\QuietUninstallString",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\DisplayVersion",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\DisplayIcon",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\InstallLocation",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\EstimatedSize",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\NoModify",
               "value Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 3.12\\NoRepair"}));
}

TEST_F(InstallRunTest, TheUninstallEntryNamesVersionPublisherIconLocationAndTheSizeWritten) {
    // 2049 bytes written (the existing preset is kept), shown as 3 KiB.
    machine.AddFile(kPresets + "Default.preset", "mine");
    std::string ini = kGadgetIni;
    ini.insert(ini.find("\r\n") + 2, "Publisher=Example Audio\r\n");
    Setup(ini +
              "[ComponentsOptions]\r\nPresets=NoOverwrite\r\n[Complete]\r\nProduct=$ProgramFolder\\Gadget."
              "exe\r\n",
          {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", std::string(2048, 'g')),
                                              SourceEntry::File("Readme.txt", "r")}),
           SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", std::string(1024, 'p'))})});
    setup->Install(progress);
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kDisplayNameValue), "Gadget 3.12");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kDisplayVersionValue), "3.12");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kPublisherValue), "Example Audio");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kDisplayIconValue),
              "C:\\Gadget\\Gadget.exe");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kInstallLocationValue),
              "C:\\Gadget\\");
    EXPECT_EQ(NumberValue(machine, RootKey::LocalMachine, kUninstallKey, kEstimatedSizeValue), 3);
    EXPECT_EQ(NumberValue(machine, RootKey::LocalMachine, kUninstallKey, kNoModifyValue), 1);
    EXPECT_EQ(NumberValue(machine, RootKey::LocalMachine, kUninstallKey, kNoRepairValue), 1);

    // No publisher, and a product program in a declined folder: no Publisher, the uninstaller's icon.
    MemoryPlatform other;
    PlaceProduct(other, std::string(kGadgetIni) + "[Complete]\r\nProduct=$VstPluginFolder\\Gadget.dll\r\n",
                 GadgetFiles());
    TSetupInstaller plain(other);
    plain.SetDestinationFolder("C:\\Gadget");
    plain.Values().Format(PluginFormat::Vst2).Install = false;
    plain.Install(progress);
    EXPECT_EQ(StringValue(other, RootKey::LocalMachine, kUninstallKey, kPublisherValue), "(none)");
    EXPECT_EQ(StringValue(other, RootKey::LocalMachine, kUninstallKey, kDisplayIconValue),
              "C:\\Gadget\\Uninst.exe");
}

TEST_F(InstallRunTest, CallLibrariesAddAStageAndCallEachCopiedExportOnce) {
    std::vector<SourceEntry> files = GadgetFiles();
    files[0].Children.push_back(SourceEntry::File("Gadget.dll", "MZ library"));
    Setup(
        std::string(kGadgetIni) +
            "[CallLibraries]\r\nRegister=$ProgramFolder\\Gadget.dll\r\nMissing=$ProgramFolder\\Gadget.dll\r\n"
            "Register=$VstPluginFolder\\Gadget.dll\r\nRegister=C:\\Nowhere\\None.dll\r\n",
        files)
        .Values()
        .Format(PluginFormat::Vst2)
        .Install = false;
    int registered = 0;
    machine.AddLibrary("C:\\Gadget\\Gadget.dll", {{"Register", [&] { ++registered; }}});
    setup->Install(progress);

    EXPECT_EQ(progress.calls, (Lines{"0", Text(TextId::PreparingStatus), "25", Text(TextId::CopyingStatus), "50", Text(TextId::InitializingStatus),
                                     "75", Text(TextId::CreatingSettingsStatus), "100"}));
    EXPECT_EQ(registered, 1);
    ASSERT_EQ(machine.LibraryCalls().size(), 3u);  // the declined folder's line is never loaded
    EXPECT_EQ(machine.LibraryCalls()[1].result, LibraryCall::NoSuchFunction);
    EXPECT_EQ(machine.LibraryCalls()[2].result, LibraryCall::NotLoaded);
}

TEST_F(InstallRunTest, SixtyFourBitProductUsesThe64BitViewAndSaysSoInItsUninstallEntry) {
    std::string ini = kGadgetIni;
    ini.replace(ini.find("RegistryRoot=") + 13, 0, "Software\\");  // only Software has two views
    Setup("[Setup]\r\nIs64Bit=1\r\n" + ini.substr(9)).Install(progress);
    const std::string product = "\\Software\\Maker\\Gadget\\3.0";
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, product, "Location", true), "C:\\Gadget\\");
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, product, false));
    EXPECT_TRUE(Logged("6" + product));
    EXPECT_TRUE(Logged("U" + product));
    EXPECT_EQ(setup->Installer().Log().back(), "M" + kUninstallKey + " (64-bit)");
}

TEST_F(InstallRunTest, PluginsAreNamedPerLineAndAPluginOnlyProductStillGetsItsUninstaller) {
    Setup(
        "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
        "[Components]\r\nVst=$VstPluginFolder,DLLSuffix: x64 \r\n"
        "Vst3=$Vst3PluginFolder\\Gadget.vst3\\Contents\\x86_64-win\r\n",
        {SourceEntry::Directory("Vst",
                                {SourceEntry::File("Gadget.dll", "2"), SourceEntry::File("Notes.txt", "n")}),
         SourceEntry::Directory("Vst3", {SourceEntry::File("Gadget.dll", "3")})});
    setup->Values().Format(PluginFormat::Vst2).Folder = "C:\\VST";
    setup->Values().Format(PluginFormat::Vst3).Folder = "C:\\VST3";
    setup->Install(progress);
    EXPECT_EQ(machine.FileText("C:\\VST\\Gadget x64.dll"), "2");
    EXPECT_TRUE(machine.HasFile("C:\\VST\\Notes.txt"));
    // The suffix belongs to its own line only.
    EXPECT_EQ(machine.FileText("C:\\VST3\\Gadget.vst3\\Contents\\x86_64-win\\Gadget.vst3"), "3");
    EXPECT_TRUE(machine.HasFile("C:\\Gadget\\Uninst.exe"));
    const Lines& log = setup->Installer().Log();
    EXPECT_EQ(Lines(log.end() - 2, log.end()), (Lines{"DC:\\Gadget\\", "M" + kUninstallKey}));
}

// A product with a VST 3 bundle that carries a library of its own, and a CLAP plug-in.
constexpr char kBundleAndClapIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
    "[Components]\r\nVst3=$Vst3PluginFolder\r\nClap=$ClapPluginFolder\r\n";
const std::string kCommonFiles = "C:\\Program Files (x86)\\Common Files\\";
const std::string kBinaries = kCommonFiles + "VST3\\Gadget.vst3\\Contents\\x86_64-win\\";

std::vector<SourceEntry> BundleAndClapFiles() {
    using E = SourceEntry;
    E binaries = E::Directory("x86_64-win", {E::File("Gadget.dll", "3"), E::File("Runtime.dll", "r")});
    E resources = E::Directory("Resources", {E::File("moduleinfo.json", "{}")});
    E bundle =
        E::Directory("Gadget.vst3", {E::File("desktop.ini", "[.ShellClassInfo]"), E::File("PlugIn.ico", "i"),
                                     E::Directory("Contents", {binaries, resources})});
    return {E::Directory("Vst3", {bundle}), E::Directory("Clap", {E::File("Gadget.clap", "c")})};
}

TEST_F(InstallRunTest, Vst3BundleArrivesIntactWithOnlyItsBinaryRenamedAndClapInItsFolder) {
    Setup(kBundleAndClapIni, BundleAndClapFiles());
    EXPECT_TRUE(setup->Values().Format(PluginFormat::Vst3).Available);
    EXPECT_TRUE(setup->Values().Format(PluginFormat::Clap).Available);
    setup->Install(progress);
    EXPECT_EQ(machine.FileText(kBinaries + "Gadget.vst3"), "3");
    EXPECT_EQ(machine.FileText(kBinaries + "Runtime.dll"), "r");
    EXPECT_TRUE(machine.HasFile(kCommonFiles + "VST3\\Gadget.vst3\\Contents\\Resources\\moduleinfo.json"));
    EXPECT_EQ(machine.FileAttributes(kCommonFiles + "VST3\\Gadget.vst3\\PlugIn.ico") & 7u, 7u);
    EXPECT_EQ(machine.FileText(kCommonFiles + "CLAP\\Gadget.clap"), "c");
    for (const std::string& line : {"F" + kBinaries + "Runtime.dll", "D" + kCommonFiles + "CLAP\\",
                                    "F" + kCommonFiles + "CLAP\\Gadget.clap"})
        EXPECT_TRUE(Logged(line)) << line;
}

TEST_F(InstallRunTest, DecliningClapWritesNothingInItsFolder) {
    Setup(kBundleAndClapIni, BundleAndClapFiles()).Values().Format(PluginFormat::Clap).Install = false;
    setup->Install(progress);
    EXPECT_TRUE(machine.HasFile(kBinaries + "Runtime.dll"));
    EXPECT_FALSE(machine.DirectoryExists(kCommonFiles + "CLAP"));
}

TEST_F(InstallRunTest, NoOverwriteKeepsExistingFilesOfThatComponentOnly) {
    machine.AddFile(kPresets + "Default.preset", "my own default");
    machine.AddFile("C:\\Gadget\\Gadget.exe", "old build");
    Setup(std::string(kGadgetIni) + "[ComponentsOptions]\r\nPresets=NoOverwrite\r\nprogram=NoOverwrite\r\n")
        .Install(progress);
    EXPECT_EQ(machine.FileText(kPresets + "Default.preset"), "my own default");
    EXPECT_EQ(machine.FileText(kPresets + "Extra.preset"), "extra");
    EXPECT_EQ(machine.FileText("C:\\Gadget\\Gadget.exe"), "MZ gadget");
    // A file left alone stays the user's: the uninstaller must not take it.
    EXPECT_FALSE(Logged("F" + kPresets + "Default.preset"));
    EXPECT_TRUE(setup->Installer().Overwrite);
}

TEST_F(InstallRunTest, BundleInstallsTheSelectedItemsWithTheirStampsThenItsOwnComponents) {
    Setup(
        "[Setup]\r\nProductName=Gadget Bundle\r\nIsBundle=1\r\nRegistryRoot=Maker\\Gadget Bundle\r\n"
        "BundleRegistryRoot=Maker\\Bundle\r\nDefaultFolder=Gadget Bundle\r\n"
        "[Components]\r\n$BundleItem=$ProgramFolder\\$BundleItem\r\nProgram=$ProgramFolder\r\n"
        "[CallLibraries]\r\nRegister=$ProgramFolder\\None.dll\r\n"
        "[RegistrySettings]\r\n$BundleItem\\Skin=Dark\r\nSkin=Light\r\n",
        {SourceEntry::File("BundleInfo.ini", "Alpha=1.20\r\nBeta=2.05\r\nGamma=1.00\r\nDelta=1.10\r\n"),
         SourceEntry::Directory("Alpha", {SourceEntry::File("a.txt", "a")}),
         SourceEntry::Directory("Gamma", {SourceEntry::File("g.txt", "g")}),
         SourceEntry::Directory("Delta", {SourceEntry::File("d.txt", "d")}),
         SourceEntry::Directory("Program", {SourceEntry::File("Common.txt", "c")})});
    std::vector<TSetupBundleItem>& items = setup->BundleItems();
    ASSERT_EQ(items.size(), 4u);
    items[0].Selected = items[1].Selected = false;
    setup->Install(progress);

    EXPECT_EQ(progress.calls, (Lines{"0", Text(TextId::PreparingStatus), "25", Text(TextId::CopyingStatus), "25", "37", "50",
                                     Text(TextId::InitializingStatus), "75", Text(TextId::CreatingSettingsStatus), "100"}));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Gadget\\Alpha"));
    EXPECT_EQ(machine.FileDate("C:\\Gadget\\Gamma\\g.txt"), items[2].FileDate);
    EXPECT_EQ(machine.FileDate("C:\\Gadget\\Delta\\d.txt"), items[3].FileDate);
    EXPECT_EQ(machine.FileDate("C:\\Gadget\\Common.txt"),
              static_cast<std::uint32_t>(setup->Installer().FileDate()));
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, "\\Maker\\Bundle\\Delta\\1.0", "Skin"), "Dark");
    EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, "\\Maker\\Bundle\\Alpha"));
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, "\\Maker\\Gadget Bundle\\3.0", "Skin"), "Light");
    EXPECT_EQ(setup->Installer().Log().back(), "M" + std::string(kUninstallKeyPath) + "\\Gadget Bundle");
}

TEST_F(InstallRunTest, FreeSpaceMustCoverTheComponentsAndTheReserveExactly) {
    const std::int64_t components = 9 + 7 + 11 + 5;
    Setup(kGadgetIni);
    EXPECT_EQ(ComponentsSize(setup->Values(), setup->Installer()), components);
    machine.SetFreeDiskSpace(components + kDiskSpaceReserve - 1);
    try {
        setup->Install(progress);
        FAIL() << "installed without the space";
    } catch (const ESetupError& error) {
        EXPECT_EQ(error.Message(), Text(TextId::NotEnoughSpaceMessage));
    }
    EXPECT_EQ(progress.calls, (Lines{"0", Text(TextId::PreparingStatus)}));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Gadget"));
    machine.SetFreeDiskSpace(components + kDiskSpaceReserve);
    EXPECT_NO_THROW(setup->Install(progress));
    EXPECT_EQ(DriveRoot("\\\\server\\share\\Gadget"), "\\\\server\\share\\");
}

TEST_F(InstallRunTest, ProductsOfSeveralGigabytesAreMeasuredWithoutWrapping) {
    // Two files that claim almost 2 GiB each: their sum does not fit in 32 bits.
    MemoryStream s = testutil::ArchiveStart();
    testutil::PutFile(
        s, "Setup.ini",
        "[Setup]\r\nRegistryRoot=Huge\r\nDefaultFolder=Huge\r\n[Components]\r\nHuge=$ProgramFolder\r\n");
    testutil::PutFile(s, "Setup.lic", "Licence");
    std::vector<std::uint8_t> body = CompressBody(reinterpret_cast<const std::uint8_t*>("x"), 1);
    MemoryStream list;
    for (const char* name : {"One.bin", "Two.bin"}) {
        WriteEntryRecord(list, testutil::Record(name, static_cast<std::int32_t>(body.size()), 0x7FFFFFF0));
        list.Write(body.data(), body.size());
    }
    testutil::PutEnd(list);
    WriteEntryRecord(s, testutil::Record("Huge", static_cast<std::int32_t>(list.Size()), -1));
    s.Write(list.Bytes().data(), list.Bytes().size());
    testutil::PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    testutil::Seal(archive);
    setuptest::PlaceSetup(machine, archive);

    TSetupInstaller huge(machine);
    EXPECT_EQ(ComponentsSize(huge.Values(), huge.Installer()), std::int64_t{2} * 0x7FFFFFF0);
    machine.SetFreeDiskSpace(std::uint64_t{64} << 20);
    EXPECT_THROW(huge.Install(progress), ESetupError);
}

// The machine as files (with their bytes, dates and attributes) and registry lines.
Lines MachineState(MemoryPlatform& machine) {
    Lines state = machine.RegistryLines();
    for (const std::string& path : machine.ListTree("C:\\")) {
        std::string line = path + " " + std::to_string(machine.FileAttributes(path));
        if (machine.HasFile(path))
            line += " " + std::to_string(machine.FileDate(path).value_or(0)) + " " + machine.FileText(path);
        state.push_back(line);
    }
    return state;
}

// An update that fails after it began writing, at a file in the middle (answered Cancel) or
// while the uninstaller is rewritten (a full disk), leaves the earlier installation exactly as
// it was: files with their bytes and dates, registry values and keys, shortcuts, the earlier
// uninstaller with its record and Uninstall key; and that uninstaller still reads its record.
TEST_F(InstallRunTest, AFailedUpdateLeavesTheEarlierInstallationExactlyAsItWas) {
    const std::string newer = std::string(kGadgetIni) + "Settings\\Height=#480\r\nFresh\\Deep\\Key=x\r\n";
    std::vector<SourceEntry> files = GadgetFiles();
    files[0].Children.push_back(SourceEntry::File("New.dll", "new library"));
    // After 20 bytes the readme it replaces fails (Cancel); after all 43 of the components, the
    // uninstaller written beside the earlier one.
    for (const auto& [failAfter, failing] : {std::pair<std::uint64_t, std::string>{20, "Readme.txt"}, {43, ".tmp"}}) {
        SCOPED_TRACE(failing);
        MemoryPlatform earlier;
        PlaceProduct(earlier, kGadgetIni,
                     {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ old"),
                                                         SourceEntry::File("Readme.txt", "old readme")}),
                      SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", "old")})},
                     "3.11");
        {
            TSetupInstaller first(earlier);
            first.SetDestinationFolder("C:\\Gadget");
            first.Install(progress);
        }
        earlier.ChangeFileAttributes("C:\\Gadget\\Readme.txt", kAttrReadOnly | kAttrArchive);
        PlaceProduct(earlier, newer, files);
        const Lines withSetup = MachineState(earlier);
        TSetupInstaller update(earlier);
        earlier.FailWritesAfter(failAfter);
        try {
            update.Install(progress);
            ADD_FAILURE() << "the update succeeded";
        } catch (const EFileError& error) {
            EXPECT_NE(std::string(error.what()).find(failing), std::string::npos) << error.what();
        }
        EXPECT_EQ(MachineState(earlier), withSetup);
        EXPECT_TRUE(update.Changes().Changes().empty());
        EXPECT_EQ(LoadUninstallRecord(earlier, "C:\\Gadget\\Uninst.exe").record.version.AsString(), "3.11");
    }
}

struct Killed {};

// The run's journal as a test machine watches it: the machine hears of each line (one Write)
// before and after it is written, and of each wait for the disk (Flush).
class WatchedJournal : public FileStream {
public:
    struct Hooks {
        std::function<void()> beforeLine, afterLine, flushed;
    };
    WatchedJournal(std::unique_ptr<FileStream> inner, Hooks hooks) : inner_(std::move(inner)), hooks_(std::move(hooks)) {}
    std::size_t Read(void* buffer, std::size_t count) override { return inner_->Read(buffer, count); }
    void Write(const void* buffer, std::size_t count) override {
        if (hooks_.beforeLine) hooks_.beforeLine();
        inner_->Write(buffer, count);
        if (hooks_.afterLine) hooks_.afterLine();
    }
    void Flush() override {
        inner_->Flush();
        if (hooks_.flushed) hooks_.flushed();
    }
    std::int64_t Seek(std::int64_t position) override { return inner_->Seek(position); }
    std::int64_t Position() const override { return inner_->Position(); }
    std::int64_t Size() const override { return inner_->Size(); }
    bool SetFileDate(std::uint32_t packed) override { return inner_->SetFileDate(packed); }

private:
    std::unique_ptr<FileStream> inner_;
    Hooks hooks_;
};

// A machine that loses its power once the run's journal has the given number of lines: that
// line is on the disk, its step is not made, and nothing after it happens, the run's own undo
// included.
class PowerCut : public ForwardingPlatform {
public:
    PowerCut(Platform& inner, int lines) : ForwardingPlatform(inner), lines_(lines) {}

    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override {
        Alive();
        std::unique_ptr<FileStream> stream = Inner().CreateForWriting(path);
        if (!IsRunJournal(path)) return stream;
        WatchedJournal::Hooks hooks;
        hooks.beforeLine = [this] { Alive(); };
        hooks.afterLine = [this] {
            if (--lines_ == 0) Alive();
        };
        return std::make_unique<WatchedJournal>(std::move(stream), std::move(hooks));
    }
    std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) override {
        return Alive(), Inner().CreateNewForWriting(path);
    }
    FolderResult CreateFolder(const std::string& path) override { return Alive(), Inner().CreateFolder(path); }
    bool RemoveFolder(const std::string& path) override { return Alive(), Inner().RemoveFolder(path); }
    bool RemoveFile(const std::string& path) override { return Alive(), Inner().RemoveFile(path); }
    bool RenameFile(const std::string& from, const std::string& to) override {
        return Alive(), Inner().RenameFile(from, to);
    }
    bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return Alive(), Inner().ChangeFileAttributes(path, attributes);
    }
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name, const RegistryValue& value) override {
        return Alive(), Inner().WriteRegistryValue(key, name, value);
    }
    bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) override {
        return Alive(), Inner().RemoveRegistryValue(key, name);
    }
    bool RemoveRegistryKey(const RegistryKey& base, const std::string& path) override {
        return Alive(), Inner().RemoveRegistryKey(base, path);
    }
    bool RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path, std::uint32_t view) override {
        return Alive(), Inner().RemoveRegistryKeyInView(base, path, view);
    }

private:
    void Alive() {
        if (lines_ <= 0) throw Killed{};
    }
    int lines_;
};

// 3.11 installed, 3.12's setup in place: a readme made read-only since, a new library, a new
// registry value and key.
void PlaceUpdate(MemoryPlatform& machine, RecordingProgress& progress) {
    PlaceProduct(machine, kGadgetIni,
                 {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ old"),
                                                     SourceEntry::File("Readme.txt", "old readme")}),
                  SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", "old")})},
                 "3.11");
    {
        TSetupInstaller first(machine);
        first.SetDestinationFolder("C:\\Gadget");
        first.Install(progress);
    }
    machine.ChangeFileAttributes("C:\\Gadget\\Readme.txt", kAttrReadOnly | kAttrArchive);
    std::vector<SourceEntry> files = GadgetFiles();
    files[0].Children.push_back(SourceEntry::File("New.dll", "new library"));
    PlaceProduct(machine, std::string(kGadgetIni) + "Settings\\Height=#480\r\nFresh\\Deep\\Key=x\r\n", files);
}

// An update killed after any of its notes, the last one whole or cut in its middle: the next
// run's recovery puts back the machine as it was before; killed after its "done" line, the
// recovery finishes the cleanup and the machine is the one a run that was not killed leaves.
TEST_F(InstallRunTest, WhatAKilledRunLeftIsUndoneOrFinishedByTheNextRun) {
    MemoryPlatform finished;
    PlaceUpdate(finished, progress);
    TSetupInstaller(finished).Install(progress);
    const Lines updated = MachineState(finished);

    bool finishedCleanup = false;
    for (int lines = 1; lines < 1000; ++lines) {
        for (bool cutInTheMiddle : {false, true}) {
            SCOPED_TRACE(std::to_string(lines) + (cutInTheMiddle ? " cut" : " whole"));
            MemoryPlatform killed;
            PlaceUpdate(killed, progress);
            const Lines before = MachineState(killed);
            try {
                PowerCut cut(killed, lines);
                TSetupInstaller(cut).Install(progress);
                ASSERT_GT(lines, 2) << "no journal";
                ASSERT_TRUE(finishedCleanup);
                return;  // the run outlived its last line
            } catch (const Killed&) {
            }
            const std::string journal = RunJournalPath(killed, "Gadget 3.12");
            std::string text = killed.FileText(journal);
            if (cutInTheMiddle) killed.AddFile(journal, text.substr(0, text.size() - 4));
            const bool done = ReadRunJournal(text).done && !cutInTheMiddle;
            finishedCleanup = finishedCleanup || done;

            EXPECT_FALSE(RecoverKilledRun(killed, journal).empty());
            EXPECT_FALSE(killed.HasFile(journal));
            EXPECT_EQ(MachineState(killed), done ? updated : before);
        }
    }
    ADD_FAILURE() << "the run never ended";
}

// Counts the journal's lines written since it last waited for the disk, and checks that none is
// waiting at a step that would lose earlier data to a power cut: an earlier file moved aside or
// its attributes changed, an existing registry value written over or removed.
class DiskCache : public ForwardingPlatform {
public:
    explicit DiskCache(MemoryPlatform& inner) : ForwardingPlatform(inner) {
        for (const std::string& path : inner.ListTree("C:\\")) earlier_.insert(path);
    }
    int flushes = 0;
    int lines = 0;
    int hidingSteps = 0;

    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override {
        std::unique_ptr<FileStream> stream = Inner().CreateForWriting(path);
        if (!IsRunJournal(path)) return stream;
        WatchedJournal::Hooks hooks;
        hooks.afterLine = [this] {
            ++lines;
            ++waiting_;
        };
        hooks.flushed = [this] {
            ++flushes;
            waiting_ = 0;
        };
        return std::make_unique<WatchedJournal>(std::move(stream), std::move(hooks));
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
        Hiding(earlier_.count(from) != 0);
        return Inner().RenameFile(from, to);
    }
    bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) override {
        Hiding(earlier_.count(path) != 0);
        return Inner().ChangeFileAttributes(path, attributes);
    }
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name, const RegistryValue& value) override {
        Hiding(Inner().ReadRegistryValue(key, name).has_value());
        return Inner().WriteRegistryValue(key, name, value);
    }
    bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) override {
        Hiding(Inner().ReadRegistryValue(key, name).has_value());
        return Inner().RemoveRegistryValue(key, name);
    }

private:
    void Hiding(bool hides) {
        if (!hides || lines == 0) return;  // before the journal: the earlier run's recovery
        ++hidingSteps;
        EXPECT_EQ(waiting_, 0) << "a step that hides earlier data before its line is on the disk";
    }
    std::set<std::string> earlier_;
    int waiting_ = 0;
};

// The journal waits for the disk only where a power cut would otherwise lose earlier data: a
// first installation waits once, for its "done" line; an update before every earlier file it
// moves aside and every value it writes over.
TEST_F(InstallRunTest, TheJournalWaitsForTheDiskOnlyBeforeStepsThatHideEarlierData) {
    {
        DiskCache first(machine);
        PlaceProduct(machine, kGadgetIni, GadgetFiles(), "3.11");
        TSetupInstaller(first).Install(progress);
        EXPECT_GT(first.lines, 10);
        EXPECT_EQ(first.flushes, 1);
    }
    PlaceUpdate(machine, progress);
    DiskCache update(machine);
    TSetupInstaller(update).Install(progress);
    EXPECT_GE(update.hidingSteps, 5);
    EXPECT_GE(update.flushes, update.hidingSteps);
    EXPECT_LT(update.flushes, update.lines);
}

// Paths and names with the separator, line breaks and escapes come back as written; lines that
// do not check are passed over.
TEST(RunJournal, LinesKeepEveryCharacterAndOnlyWholeLinesCount) {
    RunChange value{RunChange::Kind::WroteValue, "Soft|ware\\A%41\r\nB"};
    value.root = RootKey::LocalMachine;
    value.view = kKeyWow64_64Key;
    value.valueName = "Name|\n";
    value.earlier = RegistryValue{kRegString, {'x', '|', 0}};
    RunChange moved{RunChange::Kind::MovedAside, "C:\\a|b.txt", "C:\\~1.tmp", kAttrReadOnly};
    const std::string text = RunJournalLine(value) + "garbage\n" + "F|C:\\x|||||||0000000\n" +
                             RunJournalLine(moved) + RunJournalDoneLine().substr(0, 6);
    const RunJournalContents read = ReadRunJournal(text);
    EXPECT_FALSE(read.done);
    ASSERT_EQ(read.changes.size(), 2u);
    EXPECT_EQ(RunJournalLine(read.changes[0]), RunJournalLine(value));
    EXPECT_EQ(read.changes[0].earlier->data, value.earlier->data);
    EXPECT_EQ(read.changes[1].aside, "C:\\~1.tmp");
    EXPECT_TRUE(ReadRunJournal(RunJournalDoneLine()).done);
}

// A run that succeeds leaves nothing of the earlier files aside: the replaced readme and the
// earlier shortcut to it, under another name, are gone.
TEST_F(InstallRunTest, ASuccessfulUpdateRemovesWhatItMovedAside) {
    machine.AddFile("C:\\Gadget\\Readme.txt", "old readme");
    ASSERT_TRUE(CreateShortcut(machine, "C:\\Gadget\\Old readme.lnk", "C:\\Gadget\\Readme.txt", "", 0));
    Setup(kGadgetIni).Install(progress);
    EXPECT_EQ(machine.FileText("C:\\Gadget\\Readme.txt"), "Read me");
    EXPECT_EQ(machine.ListTree("C:\\Gadget"),
              (Lines{"C:\\Gadget\\Gadget.exe", "C:\\Gadget\\Readme.lnk", "C:\\Gadget\\Readme.txt",
                     "C:\\Gadget\\Uninst.exe"}));
    EXPECT_TRUE(setup->Changes().Leftovers().empty());
}

// A host application holding the plug-in: every held file the run would replace is named at
// once, before the first write, and Cancel leaves the machine untouched.
TEST_F(InstallRunTest, FilesHeldElsewhereAreNamedBeforeAnyWriteAndCancelWritesNothing) {
    machine.AddFile("C:\\Gadget\\Gadget.exe", "old build");
    machine.AddFile("C:\\Gadget\\Readme.txt", "old readme");
    machine.AddFile("C:\\Gadget\\Uninst.exe", "old uninstaller");
    machine.AddFile(kPresets + "Default.preset", "my own default");
    machine.LockFile("C:\\Gadget\\Gadget.exe", "Live 11");
    machine.LockFile("C:\\Gadget\\Uninst.exe");
    machine.LockFile(kPresets + "Default.preset", "Editor");  // kept as it is, so no obstacle
    Setup(std::string(kGadgetIni) + "[ComponentsOptions]\r\nPresets=NoOverwrite\r\n");
    machine.ClearJournal();
    machine.AnswerRetries({true});  // Retry while still held, then Cancel
    EXPECT_THROW(setup->Install(progress), EInstallCancelled);

    const std::string asked =
        FilesInUseText({"C:\\Gadget\\Gadget.exe", "C:\\Gadget\\Uninst.exe"}, {"Live 11"});
    ASSERT_EQ(machine.Dialogs().size(), 2u);
    EXPECT_EQ(machine.Dialogs()[1].kind, "retry");
    EXPECT_EQ(machine.Dialogs()[1].text, asked);
    EXPECT_NE(asked.find("C:\\Gadget\\Gadget.exe\rC:\\Gadget\\Uninst.exe\r\rThey are in use by:\r\rLive 11"),
              std::string::npos);
    EXPECT_TRUE(machine.Journal().empty());

    std::vector<std::string> many;
    for (int i = 0; i < 15; ++i) many.push_back("C:\\P\\" + std::to_string(i) + ".dll");
    const std::string long_list = FilesInUseText(many, {});
    EXPECT_NE(long_list.find("C:\\P\\11.dll\r... and 3 more"), std::string::npos);
    EXPECT_EQ(long_list.find("12.dll"), std::string::npos);
}

// Between files and between the blocks of one file the run tells its sink that it is still at
// work, so a window can answer meanwhile; what the copy page shows stays exactly as it was.
TEST_F(InstallRunTest, TheCopySaysItIsStillWorkingAfterEveryFileAndEveryBlockOfAtMostOneMebibyte) {
    std::string big(3 * 1048576 + 500000, '\0');
    std::uint32_t seed = 1;
    for (char& c : big) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    std::vector<SourceEntry> files = GadgetFiles();
    files[0].Children.push_back(SourceEntry::File("Big.bin", big));
    files[0].Children.push_back(SourceEntry::File("Empty.txt", ""));
    struct WatchingProgress : RecordingProgress {
        std::function<void()> onWorking;
        void StillWorking() override {
            calls.push_back("working");
            onWorking();
        }
    } watching;
    std::vector<std::size_t> bigSizes;  // Big.bin as each call finds it
    watching.onWorking = [&] {
        if (machine.HasFile("C:\\Gadget\\Big.bin"))
            bigSizes.push_back(machine.FileBytes("C:\\Gadget\\Big.bin").size());
    };
    Setup(kGadgetIni, files).Install(watching);

    Lines reports;
    std::copy_if(watching.calls.begin(), watching.calls.end(), std::back_inserter(reports),
                 [](const std::string& call) { return call != "working"; });
    EXPECT_EQ(reports,
              (Lines{"0", Text(TextId::PreparingStatus), "25", Text(TextId::CopyingStatus), "75", Text(TextId::CreatingSettingsStatus), "100"}));
    const auto& calls = watching.calls;
    auto copying = std::find(calls.begin(), calls.end(), Text(TextId::CopyingStatus));
    auto settings = std::find(calls.begin(), calls.end(), "75");
    EXPECT_EQ(std::count(calls.begin(), copying, "working"), 0) << "only while copying";
    EXPECT_EQ(std::count(settings, calls.end(), "working"), 0) << "only while copying";
    // Six files, the big one in at least four blocks.
    EXPECT_GE(std::count(copying, settings, "working"), 6 + 4);
    ASSERT_FALSE(bigSizes.empty());
    std::size_t before = 0;
    for (std::size_t size : bigSizes) {
        EXPECT_LE(size - before, std::size_t{1048576}) << "no call for more than 1 MiB written";
        before = size;
    }
    EXPECT_EQ(bigSizes.back(), big.size());
    EXPECT_FALSE(setup->Installer().OnWorking) << "the reader lets go of the sink with the run";
}

// A path longer than Windows' file calls take would fail on the customer's machine half way
// through the copy: the run refuses it first, naming it, with nothing copied. Plug-in libraries
// count with the names they get; folders that exist already need no creating.
TEST_F(InstallRunTest, PathsLongerThanWindowsTakesEndTheRunBeforeAnythingIsCopied) {
    const std::string ini =
        "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
        "[Components]\r\nProgram=$ProgramFolder\r\nVst=$VstPluginFolder,DLLSuffix: x64\r\n";
    auto padded = [](std::size_t length) {
        std::string folder = "C:\\";
        while (folder.size() < length) folder += "Long folder\\";
        folder.resize(length);
        if (folder.back() == '\\') folder.back() = 'x';
        return folder;
    };
    const std::string name(40, 'N');
    const std::string destination = padded(kMaxFilePathLength - 1 - name.size() - 4);
    auto refusal = [](const std::string& path) {
        std::string text = Text(TextId::PathTooLongMessage);
        return text.replace(text.find("%s"), 2, path);
    };
    struct Case {
        const char* what;
        std::string file, vstFolder, plugin;  // Program's file, the VST folder and the plug-in in it
        std::string refused;                  // empty: installs
    };
    // One character too long once renamed, short enough as it is stored.
    const std::string vst = padded(kMaxFilePathLength + 1 - std::string("\\LongGadget x64.dll").size());
    const std::string deepVst = padded(kMaxFolderPathLength + 1);
    // Windows counts UTF-16 units: one for three bytes of Japanese, two for a character beyond
    // the BMP. The longest folder, with a file of eleven characters: the longest file path.
    std::string japanese = "C:\\\U0001D11E";
    while (Utf16Length(japanese) < kMaxFolderPathLength) japanese += "\u591C";
    const Case cases[] = {
        {"the longest file path", name + ".txt", "C:\\VST", "Gadget.dll", ""},
        {"one character more", name + "X.txt", "C:\\VST", "Gadget.dll", destination + "\\" + name + "X.txt"},
        {"a plug-in renamed past the limit", name + ".txt", vst, "LongGadget.dll",
         vst + "\\LongGadget x64.dll"},
        {"a plug-in without the rename would fit", name + ".txt", vst, "LongGadget.txt", ""},
        {"a folder too long to be made", name + ".txt", deepVst, "G.dll", deepVst},
        {"the longest paths in Japanese", name + ".txt", japanese, "Gadget1.txt", ""},
        {"one character more in Japanese", name + ".txt", japanese, "Gadget12.txt",
         japanese + "\\Gadget12.txt"},
    };
    for (const Case& c : cases) {
        MemoryPlatform fresh;
        PlaceProduct(fresh, ini,
                     {SourceEntry::Directory("Program", {SourceEntry::File(c.file, "p")}),
                      SourceEntry::Directory("Vst", {SourceEntry::File(c.plugin, "v")})});
        TSetupInstaller run(fresh);
        run.SetDestinationFolder(destination);
        run.Values().Format(PluginFormat::Vst2).Folder = c.vstFolder;
        RecordingProgress reports;
        if (c.refused.empty()) {
            EXPECT_NO_THROW(run.Install(reports)) << c.what;
            continue;
        }
        try {
            run.Install(reports);
            ADD_FAILURE() << c.what << ": installed";
        } catch (const ESetupError& error) {
            EXPECT_EQ(error.Message(), refusal(c.refused)) << c.what;
        }
        EXPECT_EQ(reports.calls, (Lines{"0", Text(TextId::PreparingStatus)})) << c.what;
        EXPECT_FALSE(fresh.DirectoryExists(destination)) << c.what << ": something was copied";
        EXPECT_TRUE(run.Installer().Log().empty()) << c.what;
    }

    // The same long folder, there already, takes files of its own length's room.
    machine.AddFolder(deepVst);
    Setup(ini, {SourceEntry::Directory("Program", {SourceEntry::File("Readme.txt", "p")}),
                SourceEntry::Directory("Vst", {SourceEntry::File("G.dll", "v")})});
    setup->Values().Format(PluginFormat::Vst2).Folder = deepVst;
    EXPECT_NO_THROW(setup->Install(progress));
    EXPECT_TRUE(machine.HasFile(deepVst + "\\G x64.dll"));
}

}  // namespace
