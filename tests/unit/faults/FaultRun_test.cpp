// Whole installation and uninstallation runs on a machine that misbehaves on purpose: a disk
// that fills up in the middle of a file, a file another program keeps open, registry entries
// of the wrong type or out of reach, libraries that are not there, and files the user removed.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/FilesInUse.h"
#include "engine/InstallRun.h"
#include "engine/SetupInstaller.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tests/unit/engine/EngineMachine.h"
#include "uninstall/SetupUninstaller.h"
#include "uninstall/UninstallRecord.h"
#include "texts/Texts.h"

using namespace enginetest;
using setuptest::KeyExists;
using setuptest::WriteValue;

namespace {

using Lines = std::vector<std::string>;

constexpr char kIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
    "PersonalizeOwner=Owner\r\n"
    "[Components]\r\nProgram=$ProgramFolder\r\nPresets=$Documents\\Gadget\\Presets\r\n"
    "[RegistrySettings]\r\nSettings\\Width=#640\r\nSkin=Dark\r\nSettings\\Height=#480\r\n";
constexpr char kProduct[] = "\\Maker\\Gadget\\3.0";
constexpr char kFolder[] = "C:\\Gadget\\";
constexpr char kPresets[] = "C:\\Users\\user\\Documents\\Gadget\\Presets\\";
constexpr std::uint32_t kErrorDiskFull = 112;
const std::string kUninstallKey = std::string(kUninstallKeyPath) + "\\Gadget 3.12";
const std::string kBig(300000, 'b');  // several blocks, so the failure falls inside the file

std::vector<SourceEntry> Files() {
    return {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "MZ gadget"),
                                               SourceEntry::File("Samples.dat", kBig),
                                               SourceEntry::File("Tutorial.txt", "Tutorial")}),
            SourceEntry::Directory("Presets", {SourceEntry::File("Default.preset", "default")})};
}

// The machine lets a test act while the retry question is open, as the user or another
// program would: free some space, close the program that holds a file.
class Machine : public MemoryPlatform {
public:
    std::function<void(int asked)> whileAsking;
    int retryQuestions = 0;
    bool RetryCancelBox(const std::string& text) override {
        ++retryQuestions;
        if (whileAsking) whileAsking(retryQuestions);
        return MemoryPlatform::RetryCancelBox(text);
    }
};

class FaultRun : public ::testing::Test {
protected:
    Machine machine;
    RecordingProgress progress;
    std::optional<TSetupInstaller> setup;

    TSetupInstaller& Setup(const std::string& ini = kIni) {
        PlaceProduct(machine, ini, Files());
        setup.emplace(machine);
        setup->SetDestinationFolder(kFolder);
        setup->Values().UserName = "Ann";
        return *setup;
    }
    std::size_t Logged(const std::string& line) {
        const Lines& log = setup->Installer().Log();
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), line));
    }
    void ExpectCompleteInstallation() {
        EXPECT_EQ(machine.FileText(std::string(kFolder) + "Gadget.exe"), "MZ gadget");
        EXPECT_EQ(machine.FileText(std::string(kFolder) + "Samples.dat"), kBig);
        EXPECT_EQ(machine.FileText(std::string(kPresets) + "Default.preset"), "default");
        EXPECT_TRUE(machine.HasFile(std::string(kFolder) + "Uninst.exe"));
        EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kUninstallKey, kUninstallStringValue),
                  std::string(kFolder) + "Uninst.exe");
    }
};

TEST_F(FaultRun, DiskFullInTheMiddleOfAFileAsksAndCancelEndsTheRunLeavingWhatWasThereOnly) {
    machine.AddFile(std::string(kFolder) + "My notes.txt", "mine");
    machine.AddFile(std::string(kFolder) + "Tutorial.txt", "the old tutorial");
    WriteValue(machine, RootKey::CurrentUser, kProduct, "Owner", "Bob");
    machine.FailWritesAfter(100000, kErrorDiskFull, std::string(kFolder) + "Samples.dat");
    Setup();
    try {
        setup->Install(progress);
        FAIL() << "the run went on with a full disk";
    } catch (const EFileError& error) {
        EXPECT_NE(std::string(error.what()).find("Samples.dat"), std::string::npos) << error.what();
    }

    ASSERT_EQ(machine.Dialogs().size(), 1u);
    EXPECT_EQ(machine.Dialogs()[0].caption, "Warning");
    EXPECT_EQ(machine.Dialogs()[0].text.rfind("Cannot install the file 'C:\\Gadget\\Samples.dat'.", 0), 0u);
    // Nothing after the failing file happened: no uninstaller that would remove a half
    // installation, no entry in the list of programs, no settings.
    EXPECT_FALSE(machine.HasFile(std::string(kFolder) + "Uninst.exe"));
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey));
    EXPECT_FALSE(machine.DirectoryExists(kPresets));
    EXPECT_EQ(NumberValue(machine, RootKey::CurrentUser, std::string(kProduct) + "\\Settings", "Width"),
              std::nullopt);
    // What was there before is as it was; what the run created before the failure, and the
    // file it cut short, are gone again.
    EXPECT_EQ(machine.FileText(std::string(kFolder) + "My notes.txt"), "mine");
    EXPECT_EQ(machine.FileText(std::string(kFolder) + "Tutorial.txt"), "the old tutorial");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, kProduct, "Owner"), "Bob");
    EXPECT_FALSE(machine.HasFile(std::string(kFolder) + "Gadget.exe"));
    EXPECT_FALSE(machine.HasFile(std::string(kFolder) + "Samples.dat"));
    EXPECT_EQ(progress.calls, (Lines{"0", Text(TextId::PreparingStatus), "25", Text(TextId::CopyingStatus)}));
}

TEST_F(FaultRun, DiskFullThenSpaceFreedRetryWritesTheWholeFileAndTheRunCompletes) {
    machine.FailWritesAfter(100000, kErrorDiskFull, std::string(kFolder) + "Samples.dat");
    machine.whileAsking = [&](int) { machine.FailWritesAfter(UINT64_MAX); };
    machine.AnswerRetries({true});
    Setup().Install(progress);
    EXPECT_EQ(machine.retryQuestions, 1);
    ExpectCompleteInstallation();
    EXPECT_EQ(Logged("FC:\\Gadget\\Samples.dat"), 1u);
}

TEST_F(FaultRun, FileHeldOpenByAnotherProgramIsWrittenOnRetryOnceItLetsGo) {
    const std::string held = std::string(kFolder) + "Gadget.exe";
    machine.AddFile(held, "the running old build");
    machine.LockFile(held);
    // The first Retry comes too early; before the second the other program has closed.
    machine.whileAsking = [&](int asked) {
        if (asked == 2) machine.UnlockFile(held);
    };
    machine.AnswerRetries({true, true});
    Setup().Install(progress);

    // Both asked before the copy, by the list of files in use.
    EXPECT_EQ(machine.retryQuestions, 2);
    for (const auto& dialog : machine.Dialogs())
        EXPECT_EQ(dialog.text, FilesInUseText({held}, {})) << dialog.text;
    ExpectCompleteInstallation();
    EXPECT_EQ(Logged("F" + held), 1u);
}

TEST_F(FaultRun, RegistryValuesOfTheWrongTypeAndKeysOutOfReachAreSkippedOneByOne) {
    // What the setup reads: a VST folder and an earlier installation's record, both numbers.
    RegistryKey vst = machine.CreateRegistryKey(RootKey::LocalMachine, "Software\\Vst", kKeyAllAccess);
    machine.WriteRegistryValue(vst, "VstPluginsPath", {kRegDWord, {1, 0, 0, 0}});
    RegistryKey old = machine.CreateRegistryKey(RootKey::LocalMachine, "Maker\\Gadget\\3.0", kKeyAllAccess);
    machine.WriteRegistryValue(old, "VersionString", {kRegDWord, {3, 0, 0, 0}});
    machine.WriteRegistryValue(old, "Location", {kRegBinary, {'C', ':', '\\'}});
    // What the setup writes: a key it may not write to, and a value stored as another type.
    machine.DenyRegistryAccess(RootKey::CurrentUser, "Maker\\Gadget\\3.0\\Settings", kKeyAllAccess);
    RegistryKey mine = machine.CreateRegistryKey(RootKey::CurrentUser, "Maker\\Gadget\\3.0", kKeyAllAccess);
    machine.WriteRegistryValue(mine, "Skin", {kRegDWord, {7, 0, 0, 0}});

    Setup();
    EXPECT_EQ(setup->Values().Format(PluginFormat::Vst2).Folder, "");
    setup->Install(progress);

    EXPECT_TRUE(machine.Dialogs().empty());
    EXPECT_EQ(NumberValue(machine, RootKey::CurrentUser, std::string(kProduct) + "\\Settings", "Width"),
              std::nullopt);
    EXPECT_EQ(NumberValue(machine, RootKey::CurrentUser, std::string(kProduct) + "\\Settings", "Height"),
              std::nullopt);
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, kProduct, "Skin"), "Dark");
    EXPECT_EQ(StringValue(machine, RootKey::CurrentUser, kProduct, "Owner"), "Ann");
    EXPECT_EQ(StringValue(machine, RootKey::LocalMachine, kProduct, "Location"), kFolder);
    ExpectCompleteInstallation();
}

TEST_F(FaultRun, LibrariesThatAreMissingLackTheirExportOrAreNotNamedByFullPathAreSkipped) {
    Setup(std::string(kIni) +
          "[CallLibraries]\r\nRegister=Gadget.dll\r\nRegister=\\Gadget\\Gadget.dll\r\n"
          "Register=C:Gadget.dll\r\nRegister=$ProgramFolder\\Missing.dll\r\nMissing=C:/Gadget/Gadget.dll\r\n"
          "Register=$ProgramFolder\\Gadget.dll\r\n");
    int registered = 0;
    // Found by a search, each of these would be loaded: none of them is the product's.
    machine.AddFile("C:\\Windows\\System32\\Gadget.dll", "MZ planted");
    machine.AddLibrary("C:\\Windows\\System32\\Gadget.dll", {{"Register", [&] { registered += 100; }}});
    machine.AddFile("C:\\Gadget\\Gadget.dll", "MZ library");
    machine.AddLibrary("C:\\Gadget\\Gadget.dll", {{"Register", [&] { ++registered; }}});
    setup->Install(progress);

    EXPECT_EQ(registered, 1);
    ASSERT_EQ(machine.LibraryCalls().size(), 3u);
    EXPECT_EQ(machine.LibraryCalls()[0].library, "C:\\Gadget\\Missing.dll");
    EXPECT_EQ(machine.LibraryCalls()[0].result, LibraryCall::NotLoaded);
    EXPECT_EQ(machine.LibraryCalls()[1].result, LibraryCall::NoSuchFunction);
    EXPECT_EQ(machine.LibraryCalls()[2].result, LibraryCall::Called);
    EXPECT_TRUE(machine.Dialogs().empty());
    ExpectCompleteInstallation();
}

TEST_F(FaultRun, AFileTheUserRemovedIsReportedAndEverythingElseIsUninstalled) {
    Setup().Install(progress);
    const std::string uninstaller = std::string(kFolder) + "Uninst.exe";
    machine.RemoveFile(std::string(kFolder) + "Tutorial.txt");
    machine.SetOwnProgramPath(uninstaller);
    TSetupUninstaller run(machine);
    run.Run();

    std::string report = Text(TextId::UninstalledWithLeftoversMessage);
    report.replace(report.find("%s"), 2, "Gadget");
    EXPECT_EQ(machine.Dialogs().back().text, report);
    EXPECT_EQ(machine.ListTree(kFolder), (Lines{uninstaller}));  // the batch file takes it
    EXPECT_FALSE(machine.DirectoryExists("C:\\Users\\user\\Documents\\Gadget"));
    EXPECT_TRUE(machine.DirectoryExists("C:\\Users\\user\\Documents"));
    EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, kProduct));
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kProduct));
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey));
    ASSERT_EQ(machine.ShellStarts().size(), 1u);
}

}  // namespace
