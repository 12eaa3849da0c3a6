#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"
#include "uninstall/SetupUninstaller.h"
#include "uninstall/UninstallRecord.h"

using namespace setuptest;

namespace {

using Lines = std::vector<std::string>;

constexpr char kProgramFolder[] = "C:\\Program Files\\Vendor\\Product\\";
constexpr char kPluginFolder[] = "C:\\Program Files\\Common Files\\VST3\\Gadget\\";
constexpr char kBatchFile[] = "C:\\Users\\user\\AppData\\Local\\Temp\\Uninstall.bat";
constexpr char kSettingsKey[] = "\\Software\\Maker\\Gadget\\2.1";
const std::string kProductKey = std::string(kUninstallKeyPath) + "\\Gadget 2.13";

const char kConfirm[] = "Are you sure you want to completely remove Gadget 2.13\rand all of its components?";
const char kLeftovers[] =
    "Uninstallation successfully completed.\r\rSome items could not be removed. You should manually \rremove "
    "items related to Gadget.";

// An installation as the setup makes it: program and plug-in folders, two settings keys, a
// shortcut and the uninstaller; then the machine runs that uninstaller.
// A separately built uninstaller in the archive makes the kind that reads Uninstall.dat.
std::string Install(MemoryPlatform& machine, const std::string& programFolder = kProgramFolder,
                    bool carriesUninstaller = false) {
    std::vector<SourceEntry> tree{
        SourceEntry::Directory("Program",
                               {SourceEntry::File("Gadget.exe", "program"),
                                SourceEntry::Directory("Docs", {SourceEntry::File("Readme.txt", "r")})}),
        SourceEntry::Directory("Plugin", {SourceEntry::File("Gadget.vst3", "plug-in")})};
    if (carriesUninstaller)
        tree.push_back(SourceEntry::File(kUninstallerEntry, UninstallerWithoutRecord(Stub())));
    PlaceSetup(machine, tree);
    TInstaller installer(machine);
    installer.ExtractDirectory("Program", programFolder, 0);
    installer.ExtractDirectory("Plugin", kPluginFolder, 0);
    WriteValue(machine, RootKey::CurrentUser, kSettingsKey, "Folder", programFolder);
    installer.AddRegistryKey(RootKey::CurrentUser, kSettingsKey, true);
    WriteValue(machine, RootKey::LocalMachine, kSettingsKey, "Folder", programFolder, true);
    installer.AddRegistryKey(RootKey::LocalMachine, kSettingsKey, true);
    installer.CreateShortcut("C:\\Users\\user\\Desktop\\Gadget.lnk", programFolder + "Gadget.exe", "", 0);
    const std::string uninstaller = programFolder + "Uninst.exe";
    installer.CreateUninstaller(uninstaller, "Gadget 2.13", "Gadget 2.13", "Gadget");
    machine.SetOwnProgramPath(uninstaller);
    return uninstaller;
}

// An uninstaller whose record is written by hand.
void PlaceUninstaller(MemoryPlatform& machine, const Lines& log, const std::string& name,
                      const std::string& version) {
    TProgramVersion v;
    v.SetAsString(version);
    MemoryStream record;
    WriteUninstallRecord(record, v, log, name);
    machine.AddFile("C:\\Tools\\Uninst.exe",
                    AppendToProgram(Stub(), ProgramRole::Uninstaller, record.Bytes()));
    machine.SetOwnProgramPath("C:\\Tools\\Uninst.exe");
}

Lines Texts(const MemoryPlatform& machine) {
    Lines texts;
    for (const auto& dialog : machine.Dialogs()) texts.push_back(dialog.kind + ": " + dialog.text);
    return texts;
}

class Uninstall : public ::testing::Test {
protected:
    MemoryPlatform machine;
};

}  // namespace

TEST_F(Uninstall, RemovesEverythingLoggedAndLeavesItsOwnFoldersToTheBatchFile) {
    const std::string uninstaller = Install(machine);
    TSetupUninstaller run(machine);
    EXPECT_EQ(run.ProductName(), "Gadget");
    EXPECT_EQ(run.Run(), UninstallEnd::Removed);

    EXPECT_EQ(Texts(machine), (Lines{std::string("question: ") + kConfirm,
                                     "information: Uninstallation successfully completed."}));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Program Files\\Common Files\\VST3"));
    EXPECT_TRUE(machine.DirectoryExists("C:\\Program Files\\Common Files"));
    EXPECT_FALSE(machine.FileExists("C:\\Users\\user\\Desktop\\Gadget.lnk"));
    EXPECT_EQ(machine.ListTree("C:\\Program Files\\Vendor"),
              (Lines{"C:\\Program Files\\Vendor\\Product\\", uninstaller}));
    EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, kSettingsKey));
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kSettingsKey, true));
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kProductKey));
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, "\\Software\\Maker", true));

    EXPECT_EQ(run.Uninstaller().DeferredFolders(),
              (Lines{kProgramFolder, kProgramFolder, "C:\\Program Files\\Vendor\\"}));
    EXPECT_EQ(machine.FileText(kBatchFile),
              ":Repeat\r\n"
              "del \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\"\r\n"
              "if exist \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\" ping -n 2 127.0.0.1 >nul\r\n"
              "set /a PlugsetupTries+=1\r\n"
              "if exist \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\" if %PlugsetupTries% lss 60 goto "
              "Repeat\r\n"
              "rd \"C:\\Program Files\\Vendor\\Product\"\r\n"
              "rd \"C:\\Program Files\\Vendor\\Product\"\r\n"
              "rd \"C:\\Program Files\\Vendor\"\r\n"
              "del \"C:\\Users\\user\\AppData\\Local\\Temp\\Uninstall.bat\"\r\n");
    ASSERT_EQ(machine.ShellStarts().size(), 1u);
    EXPECT_EQ(machine.ShellStarts()[0].file, kBatchFile);
    EXPECT_TRUE(machine.ShellStarts()[0].hidden);
}

TEST_F(Uninstall, ARecordBesideTheUninstallerGoesWithItInTheBatchFileOnly) {
    const std::string uninstaller = Install(machine, kProgramFolder, true);
    const std::string data = std::string(kProgramFolder) + "Uninstall.dat";
    ASSERT_TRUE(machine.HasFile(data));
    TSetupUninstaller run(machine);
    EXPECT_EQ(run.Uninstaller().DataFile(), data);
    run.Run();
    EXPECT_EQ(machine.Dialogs().back().text, kUninstalledMessage);
    EXPECT_EQ(machine.ListTree("C:\\Program Files\\Vendor"), (Lines{kProgramFolder, uninstaller, data}));
    // Deleted once the uninstaller is, before its folders go; kept with an uninstaller that stays.
    const std::string batch = machine.FileText(kBatchFile);
    const std::string del = "if not exist \"" + uninstaller + "\" del \"" + data + "\"\r\n";
    const std::size_t at = batch.find(del);
    ASSERT_NE(at, std::string::npos) << batch;
    EXPECT_LT(batch.find("goto Repeat\r\n"), at);
    EXPECT_LT(at, batch.find("rd "));
}

TEST_F(Uninstall, AnsweringNoOrLackingRightsRemovesNothingAndWritesNoBatchFile) {
    const std::string uninstaller = Install(machine);
    const Lines before = machine.ListTree("C:\\");
    machine.AnswerQuestions({false});
    EXPECT_EQ(TSetupUninstaller(machine).Run(), UninstallEnd::Declined);
    EXPECT_EQ(Texts(machine), (Lines{std::string("question: ") + kConfirm}));

    machine.FailFolderCreation("C:\\Program Files (x86)\\Test0");
    EXPECT_EQ(TSetupUninstaller(machine).Run(), UninstallEnd::Refused);
    EXPECT_EQ(
        Texts(machine).back(),
        "warning: You must have Administrator or Power User rights to uninstall Gadget.\rPlease log on as a "
        "different user and try again.");
    EXPECT_EQ(Texts(machine).size(), 2u);

    EXPECT_EQ(machine.ListTree("C:\\"), before);
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, kProductKey));
    EXPECT_FALSE(machine.FileExists(kBatchFile));
    EXPECT_TRUE(machine.ShellStarts().empty());
}

TEST_F(Uninstall, ReportCountsMissingFilesAndForeignFilesOutsideTheProgramFolderOnly) {
    auto reportAfter = [](const std::function<void(MemoryPlatform&)>& change) {
        MemoryPlatform machine;
        Install(machine);
        change(machine);
        EXPECT_EQ(TSetupUninstaller(machine).Run(), UninstallEnd::Removed) << "leftovers are no failure";
        EXPECT_TRUE(machine.FileExists(kBatchFile));
        EXPECT_FALSE(machine.FileExists(std::string(kProgramFolder) + "Gadget.exe"));
        return machine.Dialogs().back().text;
    };
    const std::string program = kProgramFolder, plugin = kPluginFolder;
    EXPECT_EQ(reportAfter([](MemoryPlatform& m) {
                  TRegistry registry(m);
                  registry.SetRootKey(RootKey::CurrentUser);
                  registry.DeleteKey(kSettingsKey);
              }),
              kUninstalledMessage);
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.AddFile(program + "Preset.fxp", "mine"); }),
              kUninstalledMessage);
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.RemoveFile(program + "Docs\\Readme.txt"); }),
              kLeftovers);
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.AddFile(plugin + "Other.vst3", "someone else's"); }),
              kLeftovers);
}

// The batch file must be startable by its full path, so it stays within MAX_PATH: a temporary
// folder too long for that, or missing, gives way to the Windows folder's Temp, then to C:\.
TEST_F(Uninstall, TheBatchFileGoesWhereItsWholePathFitsAndTheFolderExists) {
    Install(machine);
    auto folderOfLength = [&](std::size_t length) {
        std::string folder = "C:\\";
        while (folder.size() < length) folder += "Temporary\\";
        folder.resize(length);
        if (folder.back() == '\\') folder.back() = 'x';
        machine.AddFolder(folder);
        return folder;
    };
    const std::string fits = folderOfLength(kMaxFilePathLength - 1 - (sizeof kBatchFileName - 1));
    const std::string tooLong = folderOfLength(fits.size() + 1);
    auto batchFileWith = [&](const std::string& temp) {
        machine.SetEnvironment("TMP", temp);
        return TUninstaller(machine).BatchFileFolder() + kBatchFileName;
    };

    EXPECT_EQ(batchFileWith(fits), fits + "\\Uninstall.bat");
    EXPECT_EQ(batchFileWith(fits).size(), kMaxFilePathLength);
    EXPECT_EQ(batchFileWith(tooLong), "C:\\Windows\\Temp\\Uninstall.bat");
    EXPECT_EQ(batchFileWith("C:\\Gone\\Temp"), "C:\\Windows\\Temp\\Uninstall.bat");

    // The whole run then writes, starts and deletes the batch file there.
    machine.SetEnvironment("TMP", tooLong);
    TSetupUninstaller(machine).Run();
    const std::string batch = "C:\\Windows\\Temp\\Uninstall.bat";
    ASSERT_EQ(machine.ShellStarts().size(), 1u);
    EXPECT_EQ(machine.ShellStarts()[0].file, batch);
    const std::string text = machine.FileText(batch);
    EXPECT_EQ(text.substr(text.rfind("del ")), "del \"" + batch + "\"\r\n");

    MemoryPlatform bare;
    Install(bare);
    bare.RemoveFolder("C:\\Windows\\Temp");
    bare.SetEnvironment("TMP", "C:\\Gone");
    EXPECT_EQ(TUninstaller(bare).BatchFileFolder(), "C:\\");
}

TEST_F(Uninstall, PercentSignsInPathsAreDoubledInTheBatchFile) {
    Install(machine, "C:\\Program Files\\100% Sound\\Gadget\\");
    TSetupUninstaller(machine).Run();
    const std::string batch = machine.FileText(kBatchFile);
    EXPECT_NE(batch.find("del \"C:\\Program Files\\100%% Sound\\Gadget\\Uninst.exe\"\r\n"),
              std::string::npos);
    EXPECT_NE(batch.find("rd \"C:\\Program Files\\100%% Sound\"\r\n"), std::string::npos);
    EXPECT_EQ(batch.find("100% "), std::string::npos) << batch;
}

TEST_F(Uninstall, FolderKindsOddLinesAndProtectedItems) {
    machine.AddFile("C:\\Temp\\Gadget\\a.tmp", testutil::Bytes("a"), kAttrReadOnly | kAttrHidden);
    machine.AddFile("C:\\Temp\\Gadget\\b.tmp", "b");
    machine.AddFile("C:\\Data\\Locked.dat", testutil::Bytes("l"), kAttrReadOnly);
    machine.AddFolder("C:\\Data\\Marked");
    machine.ChangeFileAttributes("C:\\Data\\Marked", kAttrReadOnly);
    machine.AddFolder("C:\\Tool");  // its name starts the name of the uninstaller's folder
    PlaceUninstaller(machine,
                     {"TC:\\Temp\\Gadget", "FC:\\Data\\Locked.dat", "DC:\\Data\\Marked\\", "TC:\\Tool",
                      "DC:\\Tools\\", "", "X unknown", "EC:\\Data\\", "M", "U\\", "6\\\\"},
                     "Gadget", "2.13");
    TUninstaller uninstaller(machine);
    EXPECT_TRUE(uninstaller.RemoveAll());
    EXPECT_FALSE(machine.DirectoryExists("C:\\Temp\\Gadget"));
    EXPECT_FALSE(machine.FileExists("C:\\Data\\Locked.dat"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Data\\Marked"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Tool"));
    EXPECT_TRUE(machine.DirectoryExists("C:\\Data"));
    EXPECT_EQ(uninstaller.DeferredFolders(), (Lines{"C:\\Tools\\", "C:\\Tools\\"}));
    // Lines without a key name never reach the roots.
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft"));
    EXPECT_TRUE(KeyExists(machine, RootKey::CurrentUser, "\\Software"));

    // A file logged twice: the second deletion fails.
    MemoryPlatform other;
    other.AddFile("C:\\Data\\Twice.dat", "t");
    PlaceUninstaller(other, {"FC:\\Data\\Twice.dat", "FC:\\Data\\Twice.dat"}, "Gadget", "2.13");
    EXPECT_FALSE(TUninstaller(other).RemoveAll());
}

TEST_F(Uninstall, DisplayNameDropsAMajorVersionTheNameAlreadyEndsWith) {
    const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
        {{"Gadget 3", "3.01"}, "Gadget 3.01"},
        {{"Gadget", "3.12"}, "Gadget 3.12"},
        {{" 3", "3.01"}, " 3 3.01"},
        {{"Gadget 10", "10.01"}, "Gadget 10 10.01"},
        {{"Gadget 3", "0.91"}, "Gadget 3"},
        {{"Gadget 2", "3.0"}, "Gadget 2 3.00"},
        {{"", "1.0"}, " 1.00"},
    };
    for (const auto& [input, expected] : cases) {
        MemoryPlatform fresh;
        PlaceUninstaller(fresh, {}, input.first, input.second);
        EXPECT_EQ(TSetupUninstaller(fresh).DisplayName(), expected) << input.first << " " << input.second;
    }
}

TEST_F(Uninstall, DamagedLinesWithoutAFullPathRemoveNothingAndSpoilTheReport) {
    machine.AddFile("C:\\Windows\\System32\\kernel32.dll", "k");
    machine.AddFile("C:\\Data\\Keep.dat", "k");
    PlaceUninstaller(machine, {"FC:\\Data\\Keep.dat"}, "Gadget", "2.13");
    for (const char* damaged :
         {"T", "Tsystem32", "Fkernel32.dll", "DData\\", "F\\Data\\Keep.dat", "FC:Keep.dat"}) {
        PlaceUninstaller(machine, {damaged}, "Gadget", "2.13");
        EXPECT_FALSE(TUninstaller(machine).RemoveAll()) << damaged;
    }
    EXPECT_TRUE(machine.FileExists("C:\\Windows\\System32\\kernel32.dll"));
    EXPECT_TRUE(machine.FileExists("C:\\Data\\Keep.dat"));
}

namespace {

TEST_F(Uninstall, PathsBeyondAsciiReachTheBatchFileThroughItsEnvironment) {
    // "Mødular" in Windows-1252: cmd.exe would read the byte in the OEM code page.
    Install(machine,
            "C:\\Program Files\\M\xF8"
            "dular\\Gadget\\");
    TSetupUninstaller(machine).Run();
    const std::string batch = machine.FileText(kBatchFile);
    EXPECT_TRUE(std::all_of(batch.begin(), batch.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << batch;
    EXPECT_NE(batch.find(":Repeat\r\ndel \"%PlugsetupPath1%\"\r\nif exist \"%PlugsetupPath1%\" ping"),
              std::string::npos)
        << batch;
    EXPECT_NE(batch.find("rd \"%PlugsetupPath2%\"\r\n"), std::string::npos) << batch;
    EXPECT_NE(batch.find("del \"C:\\Users\\user\\AppData\\Local\\Temp\\Uninstall.bat\"\r\n"),
              std::string::npos)
        << "ASCII paths are written as before";
    EXPECT_EQ(machine.EnvironmentVariable("PlugsetupPath1"),
              "C:\\Program Files\\M\xF8"
              "dular\\Gadget\\Uninst.exe");
    EXPECT_EQ(machine.EnvironmentVariable("PlugsetupPath2"),
              "C:\\Program Files\\M\xF8"
              "dular\\Gadget");
}

}  // namespace
