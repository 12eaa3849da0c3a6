#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "system/Utf8.h"
#include "tests/unit/archive/SetupMachine.h"
#include "uninstall/SetupUninstaller.h"
#include "uninstall/UninstallRecord.h"
#include "texts/Texts.h"

using namespace setuptest;

namespace {

using Lines = std::vector<std::string>;

constexpr char kProgramFolder[] = "C:\\Program Files\\Vendor\\Product\\";
constexpr char kPluginFolder[] = "C:\\Program Files\\Common Files\\VST3\\Gadget\\";
// The name the machine's first random number gives the batch file (Install queues it), in the
// Program Files folder that the elevated uninstaller alone may write.
constexpr std::uint64_t kBatchNumber = 0x0123456789abcdef;
constexpr char kBatchFile[] = "C:\\Program Files (x86)\\Uninstall-0123456789abcdef.bat";
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
    machine.QueueRandomNumbers({kBatchNumber});
    return uninstaller;
}

// An uninstaller whose record is written by hand.
void PlaceUninstaller(MemoryPlatform& machine, const Lines& log, const std::string& name,
                      const std::string& version) {
    TProgramVersion v;
    v.SetAsString(version);
    MemoryStream record;
    WriteUninstallRecord(record, v, ParseItems(log), name);
    machine.AddFile("C:\\Tools\\Uninst.exe",
                    AppendToProgram(Stub(), ProgramRole::Uninstaller, record.Bytes()));
    RegisterRecord(machine, "Tools", "C:\\Tools\\Uninst.exe", record.Bytes());
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
              "@setlocal DisableDelayedExpansion\r\n"
              "set PlugsetupTries=0\r\n"
              ":Repeat\r\n"
              "del \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\"\r\n"
              "if exist \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\" ping -n 2 127.0.0.1 >nul\r\n"
              "set /a PlugsetupTries+=1\r\n"
              "if exist \"C:\\Program Files\\Vendor\\Product\\Uninst.exe\" if %PlugsetupTries% lss 60 goto "
              "Repeat\r\n"
              "rd \"C:\\Program Files\\Vendor\\Product\"\r\n"
              "rd \"C:\\Program Files\\Vendor\\Product\"\r\n"
              "rd \"C:\\Program Files\\Vendor\"\r\n"
              "del \"" +
                  std::string(kBatchFile) + "\"\r\n");
    // Through cmd.exe itself, without AutoRun commands and delayed expansion.
    ASSERT_EQ(machine.ShellStarts().size(), 1u);
    EXPECT_EQ(machine.ShellStarts()[0].file, machine.SpecialFolderPath(kCsidlSystem) + "\\cmd.exe");
    EXPECT_EQ(machine.ShellStarts()[0].parameters, "/d /s /v:off /c \"\"" + std::string(kBatchFile) + "\"\"");
    EXPECT_TRUE(machine.ShellStarts()[0].hidden);
}

TEST_F(Uninstall, ARecordBesideTheUninstallerGoesWithItInTheBatchFileOnly) {
    const std::string uninstaller = Install(machine, kProgramFolder, true);
    const std::string data = std::string(kProgramFolder) + "Uninstall.dat";
    ASSERT_TRUE(machine.HasFile(data));
    TSetupUninstaller run(machine);
    EXPECT_EQ(run.Uninstaller().DataFile(), data);
    run.Run();
    EXPECT_EQ(machine.Dialogs().back().text, Text(TextId::UninstalledMessage));
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

// A signed uninstaller obeys the Uninstall.dat beside it: a crafted one put there, or the
// uninstaller copied next to one, must not make the elevated program delete or name anything.
TEST_F(Uninstall, ARecordTheInstallationDidNotRegisterRemovesNothingAndAsksNothing) {
    const std::string uninstaller = Install(machine, kProgramFolder, true);
    machine.AddFile("C:\\Windows\\System32\\kernel32.dll", "k");
    MemoryStream crafted;
    WriteUninstallRecord(crafted, TProgramVersion(),
                         {{ItemKind::File, "C:\\Windows\\System32\\kernel32.dll"}}, "Trusted Product");
    const std::string data = std::string(kProgramFolder) + kUninstallDataFile;
    machine.AddFile(data, crafted.Bytes());
    machine.AddFile("C:\\Users\\Public\\Uninst.exe", machine.FileBytes(uninstaller));
    machine.AddFile("C:\\Users\\Public\\Uninstall.dat", crafted.Bytes());
    const Lines before = machine.ListTree("C:\\");
    for (const std::string& program : {uninstaller, std::string("C:\\Users\\Public\\Uninst.exe")}) {
        machine.SetOwnProgramPath(program);
        EXPECT_EQ(TSetupUninstaller(machine).Run(), UninstallEnd::Refused) << program;
    }
    EXPECT_EQ(Texts(machine), (Lines{std::string("warning: ") + Text(TextId::ForeignRecordMessage),
                                     std::string("warning: ") + Text(TextId::ForeignRecordMessage)}));
    EXPECT_EQ(machine.ListTree("C:\\"), before);
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, kProductKey));
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
              Text(TextId::UninstalledMessage));
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.AddFile(program + "Preset.fxp", "mine"); }),
              Text(TextId::UninstalledMessage));
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.RemoveFile(program + "Docs\\Readme.txt"); }),
              kLeftovers);
    EXPECT_EQ(reportAfter([&](MemoryPlatform& m) { m.AddFile(plugin + "Other.vst3", "someone else's"); }),
              kLeftovers);
}

// cmd.exe reads the batch file line by line while the elevated uninstaller's loop runs, so it
// must lie where no other user can have made it first or write into it: a new file of an
// unguessable name in Program Files. Without the rights the user's own TEMP takes it; never the
// Windows folder's Temp or C:\, which every user may write.
TEST_F(Uninstall, TheBatchFileIsANewFileOfANewNameWhereOnlyAdministratorsWrite) {
    Install(machine);
    // Someone made the first name in advance (with rights of their own on it): it stays theirs.
    machine.AddFile(kBatchFile, "@echo planted");
    machine.AddFile("C:\\Windows\\Temp\\Uninstall.bat", "@echo planted");
    machine.SetEnvironment("TMP", "C:\\Gone");
    machine.QueueRandomNumbers({0xfedcba9876543210});
    TSetupUninstaller(machine).Run();
    const std::string batch = "C:\\Program Files (x86)\\Uninstall-fedcba9876543210.bat";
    EXPECT_EQ(machine.FileText(kBatchFile), "@echo planted");
    EXPECT_EQ(machine.FileText("C:\\Windows\\Temp\\Uninstall.bat"), "@echo planted");
    ASSERT_EQ(machine.ShellStarts().size(), 1u);
    EXPECT_EQ(machine.ShellStarts()[0].parameters, "/d /s /v:off /c \"\"" + batch + "\"\"");
    const std::string text = machine.FileText(batch);
    EXPECT_EQ(text.substr(text.rfind("del ")), "del \"" + batch + "\"\r\n");

    // Without administrator rights: the temporary folder while it exists and the path fits.
    MemoryPlatform user;
    Install(user);
    user.FailFolderCreation("C:\\Program Files (x86)\\Test0");
    const std::string fits = "C:\\" + std::string(kMaxFilePathLength - kBatchFileNameLength - 4, 'x');
    user.AddFolder(fits);
    user.SetEnvironment("TMP", fits);
    EXPECT_EQ(TUninstaller(user).BatchFileFolder(), fits + "\\");
    EXPECT_EQ(TUninstaller(user).BatchFileFolder().size() + kBatchFileNameLength, kMaxFilePathLength);
    // The same length in Cyrillic (two bytes a character) still fits: Windows counts characters.
    std::string cyrillic = "C:\\";
    while (Utf16Length(cyrillic) < fits.size()) cyrillic += "\u0416";
    user.AddFolder(cyrillic);
    user.SetEnvironment("TMP", cyrillic);
    EXPECT_EQ(TUninstaller(user).BatchFileFolder(), cyrillic + "\\");
    user.AddFolder(fits + "y");
    user.SetEnvironment("TMP", fits + "y");
    EXPECT_THROW(TUninstaller(user).BatchFileFolder(), ESetupError);
    user.SetEnvironment("TMP", "C:\\Gone");
    EXPECT_THROW(TUninstaller(user).BatchFileFolder(), ESetupError);
}

// Inside quotes only "%" means something to cmd.exe once delayed expansion is off: doubled.
TEST_F(Uninstall, FolderNamesWithBatchCharactersAreWrittenAsTheyAre) {
    Install(machine, "C:\\Program Files\\Wow! & (more) 100% ^x\\Gadget\\");
    TSetupUninstaller(machine).Run();
    const std::string batch = machine.FileText(kBatchFile);
    EXPECT_EQ(batch.rfind("@setlocal DisableDelayedExpansion\r\n", 0), 0u) << batch;
    EXPECT_NE(batch.find("del \"C:\\Program Files\\Wow! & (more) 100%% ^x\\Gadget\\Uninst.exe\"\r\n"),
              std::string::npos)
        << batch;
    EXPECT_NE(batch.find("rd \"C:\\Program Files\\Wow! & (more) 100%% ^x\"\r\n"), std::string::npos);
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
    // "Mødular": cmd.exe would read the bytes in the OEM code page.
    Install(machine,
            "C:\\Program Files\\M\xC3\xB8"
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
    EXPECT_NE(batch.find("del \"" + std::string(kBatchFile) + "\"\r\n"), std::string::npos)
        << "ASCII paths are written as before";
    EXPECT_EQ(machine.EnvironmentVariable("PlugsetupPath1"),
              "C:\\Program Files\\M\xC3\xB8"
              "dular\\Gadget\\Uninst.exe");
    EXPECT_EQ(machine.EnvironmentVariable("PlugsetupPath2"),
              "C:\\Program Files\\M\xC3\xB8"
              "dular\\Gadget");
}

}  // namespace
