#include <gtest/gtest.h>

#include <functional>

#include "engine/SetupInstaller.h"
#include "system/Stream.h"
#include "tests/unit/engine/EngineMachine.h"
#include "uninstall/SetupUninstaller.h"
#include "uninstall/UninstallRecord.h"
#include "texts/Texts.h"

using namespace setuptest;

namespace {

using Lines = std::vector<std::string>;

const std::string kUninstallKey = kUninstallKeyPath;
constexpr char kIni[] =
    "[Setup]\r\nProductName=Gadget\r\nRegistryRoot=Maker\\Gadget\r\nDefaultFolder=Gadget\r\n"
    "[Components]\r\nProgram=$ProgramFolder\r\n";

// One run of the setup into C:\Gadget; a separately built uninstaller in the archive makes the
// kind that keeps its record in Uninstall.dat.
Lines InstallGadget(MemoryPlatform& machine, const std::string& version, std::vector<SourceEntry> program,
                    bool carriesUninstaller) {
    std::vector<SourceEntry> entries{SourceEntry::Directory("Program", std::move(program))};
    if (carriesUninstaller)
        entries.push_back(SourceEntry::File(kUninstallerEntry, UninstallerWithoutRecord(Stub())));
    enginetest::PlaceProduct(machine, kIni, entries, version);
    TSetupInstaller setup(machine);
    setup.SetDestinationFolder("C:\\Gadget");
    enginetest::RecordingProgress progress;
    setup.Install(progress);
    return setup.Installer().Log();
}

}  // namespace

// 3.1 installs A, B and the folder F; 3.2 into the same folder installs A and C. Whichever kind
// of uninstaller each leaves, the last one removes all of it, and one the user deleted in
// between is simply not asked for.
TEST(EarlierRecord, AnUpdateKeepsWhatOnlyTheEarlierVersionInstalledAndItsUninstallerRemovesAll) {
    struct Case {
        bool earlierCarried, laterCarried, userDeletesB;
    };
    for (const Case& c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, false}}) {
        MemoryPlatform machine;
        InstallGadget(machine, "3.10",
                      {SourceEntry::File("A.txt", "a 3.1"), SourceEntry::File("B.txt", "b"),
                       SourceEntry::Directory("F", {})},
                      c.earlierCarried);
        if (c.userDeletesB) machine.RemoveFile("C:\\Gadget\\B.txt");
        const Lines log = InstallGadget(
            machine, "3.20", {SourceEntry::File("A.txt", "a 3.2"), SourceEntry::File("C.txt", "c")},
            c.laterCarried);

        Lines expected{"EC:\\",
                       "DC:\\Gadget\\",
                       "FC:\\Gadget\\B.txt",
                       "DC:\\Gadget\\F\\",
                       "EC:\\Gadget\\",
                       "FC:\\Gadget\\A.txt",
                       "FC:\\Gadget\\C.txt",
                       "U\\Maker\\Gadget\\3.0",
                       "M\\Maker\\Gadget\\3.0",
                       "M" + kUninstallKey + "\\Gadget 3.20"};
        if (c.userDeletesB) expected.erase(expected.begin() + 2);
        EXPECT_EQ(log, expected);
        EXPECT_EQ(FormatItems(LoadUninstallRecord(machine, "C:\\Gadget\\Uninst.exe").record.items), expected);
        EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 3.10"));

        machine.SetOwnProgramPath("C:\\Gadget\\Uninst.exe");
        TSetupUninstaller(machine).Run();
        EXPECT_EQ(machine.Dialogs().back().text, Text(TextId::UninstalledMessage));
        Lines left{"C:\\Gadget\\Uninst.exe"};
        if (c.laterCarried) left.push_back("C:\\Gadget\\Uninstall.dat");
        EXPECT_EQ(machine.ListTree("C:\\Gadget"), left);
        EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 3.20"));
        EXPECT_FALSE(KeyExists(machine, RootKey::CurrentUser, "\\Maker\\Gadget\\3.0"));
    }
}

namespace {

constexpr char kFolder[] = "C:\\Program Files\\Gadget\\";
constexpr char kUninst[] = "C:\\Program Files\\Gadget\\Uninst.exe";

std::vector<std::uint8_t> RecordBytes(const std::string& productName, const Lines& log) {
    MemoryStream record;
    WriteUninstallRecord(record, TProgramVersion(), ParseItems(log), productName);
    return record.Bytes();
}

// The log of this run over whatever lies in the folder: Gadget.exe and the Uninstall key.
Lines InstallOver(MemoryPlatform& machine, const std::string& recordedFolder = kFolder) {
    PlaceSetup(machine, std::vector<SourceEntry>{
                            SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "new")})});
    TInstaller installer(machine);
    installer.Places = {{kFolder}, {"\\Software\\Maker\\Gadget"}, recordedFolder};
    installer.ExtractDirectory("Program", kFolder, 0);
    installer.CreateUninstaller(kUninst, "Gadget 2.13", "Gadget 2.13", "Gadget");
    return FormatItems(LoadUninstallRecord(machine, kUninst).record.items);
}

}  // namespace

TEST(EarlierRecord, KeepsEachItemStillThereOnceAndNothingOfTheProgramList) {
    MemoryPlatform machine;
    const std::string folder = kFolder;
    machine.AddFile(folder + "Old.dll", "old");
    machine.AddFolder(folder + "Presets");
    WriteValue(machine, RootKey::CurrentUser, "\\Software\\Maker\\Gadget\\2.0", "x", "y");
    WriteValue(machine, RootKey::LocalMachine, "\\Software\\Maker\\Gadget\\2.0", "x",
               "y");  // 32-bit view only
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.0", kUninstallStringValue,
               kUninst);
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Other", kUninstallStringValue, "C:\\O.exe");
    const Lines earlier{"EC:\\Program Files\\Gadget\\",
                        "FC:\\PROGRAM FILES\\gadget\\GADGET.EXE",
                        "F" + folder + "Old.dll",
                        "F" + folder + "Gone.dll",
                        "D" + folder + "Presets\\",
                        "D" + folder + "Gone\\",
                        "F" + folder + "old.DLL",
                        "F" + folder + "Uninst.exe",
                        "U\\Software\\Maker\\Gadget\\2.0",
                        "6\\Software\\Maker\\Gadget\\2.0",
                        "M\\Software\\Maker\\Gadget\\2.0",
                        "M" + kUninstallKey + "\\Gadget 2.0",
                        "M" + kUninstallKey + "\\Other",
                        "M" + kUninstallKey,
                        "U\\",
                        "FOld.dll",
                        "X unknown",
                        ""};
    machine.AddFile(kUninst,
                    AppendToProgram(Stub(), ProgramRole::Uninstaller, RecordBytes("GADGET", earlier)));

    EXPECT_EQ(InstallOver(machine),
              (Lines{"F" + folder + "Old.dll", "D" + folder + "Presets\\", "U\\Software\\Maker\\Gadget\\2.0",
                     "M\\Software\\Maker\\Gadget\\2.0", "EC:\\Program Files\\Gadget\\",
                     "FC:\\Program Files\\Gadget\\Gadget.exe", "M" + kUninstallKey + "\\Gadget 2.13"}));
    // The other program's registration stays its own.
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Other"));
}

// The elevated update adopts what it keeps: a record someone put into a program folder that
// users may write, or lines pointing anywhere else, must add nothing.
TEST(EarlierRecord, KeepsOnlyItemsInsideTheProductAndOnlyOfItsOwnRecord) {
    const std::string folder = kFolder;
    const Lines planted{"F" + folder + "Old.dll",
                        "FC:\\Windows\\System32\\kernel32.dll",
                        "F" + folder + "..\\..\\Windows\\System32\\kernel32.dll",
                        "F" + folder + "Old.dll:stream",
                        "F\\\\server\\share\\x.dll",
                        "T" + folder + "Presets",
                        "DC:\\Windows\\",
                        "M\\Software\\Other",
                        "U\\Software\\Maker\\Gadgets",
                        "C\\Software\\Maker\\Gadget\\2.0"};
    auto keptWith = [&](const std::function<void(MemoryPlatform&, const std::vector<std::uint8_t>&)>& prepare,
                        const std::string& recordedFolder = kFolder) {
        MemoryPlatform machine;
        machine.AddFile(folder + "Old.dll", "old");
        machine.AddFile("C:\\Windows\\System32\\kernel32.dll", "k");
        machine.AddFolder(folder + "Presets");
        WriteValue(machine, RootKey::LocalMachine, "\\Software\\Other", "x", "y");
        WriteValue(machine, RootKey::CurrentUser, "\\Software\\Maker\\Gadgets", "x", "y");
        WriteValue(machine, RootKey::ClassesRoot, "\\Software\\Maker\\Gadget\\2.0", "x", "y");
        const std::vector<std::uint8_t> record = RecordBytes("Gadget", planted);
        machine.AddFile(kUninst, AppendToProgram(Stub(), ProgramRole::Uninstaller, record));
        prepare(machine, record);
        const Lines log = InstallOver(machine, recordedFolder);
        return Lines(log.begin(), log.end() - 3);  // what goes before the new run's three lines
    };
    // The record the earlier setup registered: of it only the file inside the program folder.
    const Lines inside{"F" + folder + "Old.dll"};
    EXPECT_EQ(keptWith([](MemoryPlatform& m, const auto& r) { RegisterRecord(m, "Gadget 2.0", kUninst, r); }),
              inside);
    // Replaced after the setup wrote it: the registered digest is another.
    EXPECT_EQ(keptWith([](MemoryPlatform& m, const auto&) { RegisterRecord(m, "Gadget 2.0", kUninst, {1}); }),
              Lines{});
    // Older than digests: taken only from the folder the product's registry record names.
    EXPECT_EQ(keptWith([](MemoryPlatform&, const auto&) {}), inside);
    EXPECT_EQ(keptWith([](MemoryPlatform&, const auto&) {}, ""), Lines{});
    EXPECT_EQ(keptWith([](MemoryPlatform&, const auto&) {}, "D:\\Audio\\Gadget\\"), Lines{});
}

// Not an uninstaller of ours, or not this product's: the run writes the record it always wrote.
TEST(EarlierRecord, ADamagedRecordOrAnotherProductsUninstallerAddsNothing) {
    const std::string data = std::string(kFolder) + kUninstallDataFile;
    const Lines oldLog{std::string("F") + kFolder + "Old.dll"};
    const std::vector<std::uint8_t> record = RecordBytes("Gadget", oldLog);
    std::vector<std::uint8_t> badSignature = AppendToProgram(Stub(), ProgramRole::Uninstaller, record);
    badSignature[kStubSize] ^= 0xFF;
    std::vector<std::uint8_t> cutShort = AppendToProgram(Stub(), ProgramRole::Uninstaller, record);
    cutShort.resize(cutShort.size() - 3);
    const std::vector<std::pair<std::vector<std::uint8_t>, std::string>> unusable = {
        {AppendToProgram(Stub(), ProgramRole::Uninstaller, RecordBytes("Other", oldLog)), ""},
        {badSignature, ""},
        {cutShort, ""},
        {AppendToProgram(Stub(), ProgramRole::Setup, record), ""},  // a setup, not an uninstaller
        {UninstallerWithoutRecord(Stub()), ""},                     // its Uninstall.dat is gone
        {UninstallerWithoutRecord(Stub()), "no record"},
        {{'M', 'Z', 0}, ""},
    };
    for (const auto& [program, beside] : unusable) {
        MemoryPlatform machine;
        machine.AddFile(std::string(kFolder) + "Old.dll", "old");
        machine.AddFile(kUninst, program);
        if (!beside.empty()) machine.AddFile(data, beside);
        EXPECT_EQ(InstallOver(machine),
                  (Lines{"EC:\\Program Files\\Gadget\\", "FC:\\Program Files\\Gadget\\Gadget.exe",
                         "M" + kUninstallKey + "\\Gadget 2.13"}));
    }
}
