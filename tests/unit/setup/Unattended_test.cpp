// Setups and uninstallers run without a person: the command line, the silent run against the
// window's result, every exit status, and the silent uninstaller.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "install/Installer.h"
#include "setup/CommandLine.h"
#include "setup/ExitStatus.h"
#include "setup/Unattended.h"
#include "tests/unit/engine/EngineMachine.h"
#include "wizard/EngineAdapter.h"

namespace {

using enginetest::PlaceProduct;

constexpr char kIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
    "PersonalizeOwner=Owner\r\n"
    "[Pages]\r\nVstPluginFolder=1\r\nPersonalization=1\r\n"
    "[Components]\r\nProgram=$ProgramFolder\r\nVst=$VstPluginFolder\r\nVst3=$Vst3PluginFolder\r\n"
    "Clap=$ClapPluginFolder\r\n"
    "[Shortcuts]\r\nStartMenu=$ProgramFolder\\Gadget.exe\r\nDesktop=$ProgramFolder\\Gadget.exe\r\n";

std::vector<SourceEntry> Files() {
    using E = SourceEntry;
    return {E::Directory("Program", {E::File("Gadget.exe", std::string(4000, 'g'))}),
            E::Directory("Vst", {E::File("Gadget.dll", "2")}),
            E::Directory("Vst3", {E::File("Gadget.dll", "3")}),
            E::Directory("Clap", {E::File("Gadget.clap", "c")})};
}

const std::string kClap = "C:\\Studio\\CLAP";
const std::string kProgram = "C:\\Apps\\Gadget\\";

SetupOptions Parsed(const std::string& line) {
    return ParseCommandLine(line, RunMode::Setup);
}

// One line per change the run made, to compare two runs' machines.
std::vector<std::string> Changes(const MemoryPlatform& machine) {
    std::vector<std::string> lines;
    for (const MemoryPlatform::Write& write : machine.Journal())
        lines.push_back(std::to_string(int(write.kind)) + " " + std::to_string(std::uint32_t(write.root)) +
                        " " + write.path + " " + write.valueName + " " +
                        std::string(write.value.data.begin(), write.value.data.end()) + " " +
                        write.link.target);
    return lines;
}

struct Machine {
    MemoryPlatform platform;
    Machine() {
        platform.SetUserName("Ann");
        platform.AddFolder("C:\\Program Files (x86)\\Steinberg\\VstPlugins");
        PlaceProduct(platform, kIni, Files());
        platform.ClearJournal();
    }
    int Silent(const std::string& line, bool claimed = true) {
        return RunUnattendedSetup(
            platform, Parsed(line), [claimed](const std::string&) { return claimed; }, InvisibleView);
    }
    std::string Log(const std::string& path = "C:\\setup.log") { return platform.FileText(path); }
};

class QuietHost : public IWizardHost, public ISetupProgress {
public:
    void PaintNow() override {}
    ISetupProgress& Progress() override { return *this; }
    void DropPendingInput() override {}
    void RequestClose() override {}
    void Terminate() override {}
    WindowRef Owner() override { return 0; }
    void SetProgress(int) override {}
    void SetStatus(const std::string&) override {}
};

TEST(CommandLine, ReadsEverySwitchKindAsAdministratorsWriteThem) {
    SetupOptions options = Parsed(
        " /verysilent -SuppressMsgBoxes /LOG=\"C:\\Temp\\setup log.txt\" /NOVST3 "
        "/CLAPDIR=\"D:\\Studio\\CLAP\" "
        "/ITEMS=\"Gadget, Gizmo\" /NODESKTOPICON /ACCEPTLICENSE /lang=pt-br /D=C:\\Program Files\\Gadget 3 ");
    EXPECT_EQ(options.Error, "");
    EXPECT_EQ(options.Quiet, Quietness::Nothing);
    EXPECT_EQ(options.LogFile, "C:\\Temp\\setup log.txt");
    EXPECT_EQ(options.ProgramFolder, "C:\\Program Files\\Gadget 3") << "/D= takes the rest of the line";
    EXPECT_TRUE(options.Formats[1].Off);
    EXPECT_EQ(options.Formats[2].Folder, "D:\\Studio\\CLAP");
    EXPECT_EQ(options.Items, (std::vector<std::string>{"Gadget", "Gizmo"}));
    EXPECT_EQ(options.DesktopIcon, false);
    EXPECT_TRUE(options.AcceptLicense);
    EXPECT_EQ(options.Language, "pt-br");
    EXPECT_EQ(Parsed("/SILENT").Quiet, Quietness::ProgressOnly);
    EXPECT_EQ(Parsed("").Quiet, Quietness::Window);
    EXPECT_EQ(ArgumentsOf("\"C:\\My Downloads\\Setup.exe\" /S"), " /S");

    // Every bad line is an error, never a guess; the switches around it still count.
    for (const char* bad :
         {"/FOO", "/DIR", "/DIR=", "/SILENT=1", "/VERYSILENT /SILENT", "/DIR=a /D=b", "plain",
          "/NOVST2 /VST2DIR=C:\\V", "/ITEMS=a,,b", "/LOG=\"C:\\x", "/NOCLAP /NOCLAP", "/LANG=sv"}) {
        SetupOptions refused = Parsed(std::string("/S /LOG=C:\\l.txt ") + bad);
        EXPECT_NE(refused.Error, "") << bad;
        EXPECT_TRUE(refused.Silent()) << bad;
        EXPECT_EQ(refused.LogFile, "C:\\l.txt") << bad;
    }
    EXPECT_NE(ParseCommandLine("/DIR=C:\\X", RunMode::Uninstaller).Error, "")
        << "the uninstaller has no folder";
    // What the Uninstall key hands winget starts the uninstaller silently.
    EXPECT_EQ(
        ParseCommandLine(ArgumentsOf(QuietUninstallCommand("C:\\A B\\Uninst.exe")), RunMode::Uninstaller)
            .Quiet,
        Quietness::Nothing);
}

TEST(CommandLine, TheGuideListsEverySwitchAndExitStatusTheProgramKnows) {
    std::ifstream file(std::string(PLUGSETUP_SOURCE_DIR) + "/docs/guide.md");
    std::stringstream guide;
    guide << file.rdbuf();
    for (const SwitchHelp& row : SwitchTable()) {
        EXPECT_NE(guide.str().find("`" + row.Spelling + "`"), std::string::npos) << row.Spelling;
        EXPECT_NE(SwitchHelpText(row.ForSetup ? RunMode::Setup : RunMode::Uninstaller).find(row.Spelling),
                  std::string::npos);
    }
    for (const ExitStatusRow& row : kExitStatuses)
        EXPECT_NE(guide.str().find("| " + std::to_string(row.Code) + " | " + row.Meaning), std::string::npos)
            << row.Code;
}

// The same choices, once by switches and once by a person at the window's pages (with only the
// CLAP folder, which no page asks for, on the window's command line): the same machine after.
TEST(UnattendedSetup, SilentInstallWritesWhatTheWindowWritesForTheSameChoices) {
    Machine silent;
    EXPECT_EQ(silent.Silent("/VERYSILENT /ACCEPTLICENSE /DIR=" + kProgram + " /NOVST3 /CLAPDIR=" + kClap +
                            " /NODESKTOPICON /LOG=C:\\setup.log"),
              kExitDoneOrStopped);

    Machine window;
    TSetupInstaller engine(window.platform);
    ApplyOptions(engine, Parsed("/CLAPDIR=" + kClap));
    EngineAdapter adapter(engine, window.platform);
    QuietHost host;
    WizardModel model(adapter, window.platform, host);
    model.Prepare();
    while (model.Page() != kPageReady) {
        if (model.Page() == kPageVstPlugins) model.SetChecked(ControlId::Vst3InstallCheck, false);
        if (model.Page() == kPageDest) model.SetText(ControlId::DestFolderInput, kProgram);
        if (model.Page() == kPageIcon) model.SetChecked(ControlId::IconDesktopCheck, false);
        int page = model.Page();
        model.NextClick();
        ASSERT_NE(model.Page(), page);
    }

    std::vector<std::string> silentChanges = Changes(silent.platform);
    silentChanges.pop_back();  // the log file, written last
    EXPECT_EQ(silentChanges, Changes(window.platform));
    EXPECT_TRUE(silent.platform.FileExists(kClap + "\\Gadget.clap"));
    EXPECT_FALSE(silent.platform.FileExists("C:\\Program Files (x86)\\Common Files\\VST3\\Gadget.vst3"));
    EXPECT_TRUE(silent.platform.FileExists(kProgram + "Uninst.exe"));
    const std::string log = silent.Log();
    EXPECT_NE(log.find("Page Dest\r\n"), std::string::npos);
    EXPECT_NE(log.find("Installed F" + kClap + "\\Gadget.clap\r\n"), std::string::npos);
    EXPECT_NE(log.find("Exit status 0\r\n"), std::string::npos);
}

// Every status of the table, each reached the way a machine would meet it.
TEST(UnattendedSetup, EachFailureEndsWithItsOwnExitStatus) {
    const std::string quiet = "/S /ACCEPTLICENSE /LOG=C:\\setup.log ";
    {
        Machine m;
        EXPECT_EQ(m.Silent("/S /LOG=C:\\setup.log"), kExitBadCommandLine) << "a licence not accepted";
        EXPECT_NE(m.Log().find(kLicenseNotAcceptedMessage), std::string::npos);
        EXPECT_FALSE(m.platform.DirectoryExists("C:\\Program Files (x86)\\Gadget"));
        EXPECT_EQ(m.Silent(quiet + "/ITEMS=Nothing"), kExitBadCommandLine) << "an item the setup lacks";
        EXPECT_EQ(EndsAtCommandLine(m.platform, Parsed(quiet + "/BOGUS"), RunMode::Setup, "Setup"),
                  kExitBadCommandLine);
        EXPECT_NE(m.Log().find("Unknown switch: /BOGUS"), std::string::npos);
        EXPECT_EQ(EndsAtCommandLine(m.platform, Parsed("/BOGUS"), RunMode::Setup, "Setup"),
                  kExitErrorOrRefusal)
            << "through the window, an error box and today's status";
        EXPECT_EQ(m.platform.Dialogs().back().kind, "error");
        EXPECT_EQ(m.Silent(quiet, false), kExitAlreadyRunning);
    }
    {
        Machine m;
        m.platform.DenyRegistryAccess(RootKey::LocalMachine, "SOFTWARE", kKeyAllAccess);
        EXPECT_EQ(m.Silent(quiet), kExitRefused);
        for (const MemoryPlatform::Write& write : m.platform.Journal())
            EXPECT_NE(write.kind, MemoryPlatform::Write::Kind::RegistryValue) << write.path;
        EXPECT_FALSE(m.platform.DirectoryExists("C:\\Program Files (x86)\\Gadget"));
        EXPECT_TRUE(m.platform.Dialogs().empty());
    }
    {
        Machine m;
        m.platform.SetFreeDiskSpace(1000);
        EXPECT_EQ(m.Silent(quiet), kExitDiskFull);
    }
    {
        Machine m;
        const std::string exe = "C:\\Program Files (x86)\\Gadget\\Gadget.exe";
        m.platform.AddFile(exe, "old");
        m.platform.LockFile(exe);
        EXPECT_EQ(m.Silent(quiet), kExitFileInUse);
        EXPECT_EQ(m.platform.Pauses(), std::vector<std::uint32_t>(kSilentFileRetries, kSilentRetryPause));
        // Asked before the copy, which then writes nothing.
        EXPECT_NE(m.Log().find("Gave up: Setup cannot replace these files"), std::string::npos);
        EXPECT_FALSE(m.platform.FileExists("C:\\Program Files (x86)\\Gadget\\Uninst.exe"));
    }
    {
        Machine m;
        m.platform.FailFolderCreation("C:\\Blocked");
        EXPECT_EQ(m.Silent(quiet + "/DIR=C:\\Blocked\\Gadget"), kExitErrorOrRefusal) << "every other failure";
        EXPECT_NE(m.Log().find("Warning: Could not create the folder"), std::string::npos);
    }
    {
        Machine m;
        m.platform.AddFile(setuptest::kSetupProgram, "MZ and nothing else");
        EXPECT_EQ(m.Silent(quiet), kExitDamagedSetup);
    }
}

// An earlier installation of the same major version: the silent run takes its folder, and a
// folder named on the command line is taken after the question a person would have been asked.
TEST(UnattendedSetup, UpgradesTheEarlierCopyAndAnswersTheFolderQuestionWithYes) {
    Machine m;
    ASSERT_EQ(m.Silent("/S /ACCEPTLICENSE /DIR=C:\\First"), kExitDoneOrStopped);
    PlaceProduct(m.platform, kIni, Files(), "3.20");
    ASSERT_EQ(m.Silent("/S /ACCEPTLICENSE /LOG=C:\\setup.log"), kExitDoneOrStopped);
    EXPECT_EQ(
        setuptest::ReadValue(m.platform, RootKey::LocalMachine, "\\Maker\\Gadget\\3.0", "VersionString"),
        "3.20");
    EXPECT_EQ(setuptest::ReadValue(m.platform, RootKey::LocalMachine, "\\Maker\\Gadget\\3.0", "Location"),
              "C:\\First\\")
        << "the update goes where the earlier copy is";
    EXPECT_EQ(m.Log().find("Answered Yes"), std::string::npos) << "the earlier folder is proposed";
    ASSERT_EQ(m.Silent("/S /ACCEPTLICENSE /DIR=C:\\Second /LOG=C:\\setup.log"), kExitDoneOrStopped);
    EXPECT_NE(m.Log().find("Answered Yes: It is recommended to install this new version"), std::string::npos);
    EXPECT_TRUE(m.platform.FileExists("C:\\Second\\Gadget.exe"));
}

TEST(UnattendedUninstall, RemovesEverythingReportsLeftoversAndRefusesWithoutRights) {
    Machine m;
    ASSERT_EQ(m.Silent("/S /ACCEPTLICENSE /DIR=C:\\Gadget /CLAPDIR=" + kClap), kExitDoneOrStopped);
    m.platform.AddFile(kClap + "\\Mine.clap", "the user's");
    m.platform.SetOwnProgramPath("C:\\Gadget\\Uninst.exe");
    SetupOptions options = ParseCommandLine("/VERYSILENT /LOG=C:\\uninstall.log", RunMode::Uninstaller);

    MemoryPlatform& machine = m.platform;
    machine.DenyRegistryAccess(RootKey::LocalMachine, "SOFTWARE", kKeyAllAccess);
    EXPECT_EQ(RunUnattendedUninstall(machine, options), kExitRefused);
    EXPECT_TRUE(machine.FileExists("C:\\Gadget\\Gadget.exe"));

    Machine fresh;
    ASSERT_EQ(fresh.Silent("/S /ACCEPTLICENSE /DIR=C:\\Gadget /CLAPDIR=" + kClap), kExitDoneOrStopped);
    fresh.platform.AddFile(kClap + "\\Mine.clap", "the user's");
    fresh.platform.SetOwnProgramPath("C:\\Gadget\\Uninst.exe");
    EXPECT_EQ(RunUnattendedUninstall(fresh.platform, options), kExitDoneOrStopped);
    EXPECT_FALSE(fresh.platform.FileExists("C:\\Gadget\\Gadget.exe"));
    EXPECT_FALSE(enginetest::RawValue(fresh.platform, RootKey::LocalMachine,
                                      std::string(kUninstallKeyPath) + "\\Gadget 3.12", kDisplayNameValue));
    EXPECT_NE(fresh.Log("C:\\uninstall.log").find("Not removed: " + kClap + "\\\r\n"), std::string::npos)
        << fresh.Log("C:\\uninstall.log");
    EXPECT_TRUE(fresh.platform.Dialogs().empty());
    ASSERT_EQ(fresh.platform.ShellStarts().size(), 1u) << "the batch file removes the uninstaller";

    fresh.platform.AddFile("C:\\Gadget\\Uninst.exe", "MZ damaged");
    EXPECT_EQ(RunUnattendedUninstall(fresh.platform, options), kExitDamagedSetup);
}

}  // namespace
