#include <gtest/gtest.h>

#include "archive/PeImage.h"
#include "archive/ProgramHeader.h"
#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"
#include "uninstall/UninstallRecord.h"

using namespace setuptest;

namespace {

using Log = std::vector<std::string>;

constexpr char kUninst[] = "C:\\Program Files\\Gadget\\Uninst.exe";
const std::string kUninstallKey = kUninstallKeyPath;

std::vector<SourceEntry> Product() {
    return {SourceEntry::Directory("Program", {SourceEntry::File("Gadget.exe", "program")})};
}

UninstallRecord RecordOf(const std::vector<std::uint8_t>& copy) {
    MemoryStream stream(copy);
    stream.Seek(WordAt(copy, 0x30));
    return ReadUninstallRecord(stream);
}

class UninstallerCopy : public ::testing::Test {
protected:
    void SetUp() override { machine.AddFolder("C:\\Program Files\\Gadget"); }
    MemoryPlatform machine;
};

}  // namespace

TEST_F(UninstallerCopy, CopiesTheProgramBeforeItsArchiveAndAppendsTheRecord) {
    PlaceSetup(machine, Product());
    TInstaller installer(machine);
    installer.ExtractDirectory("Program", "C:\\Program Files\\Gadget\\", 0);
    installer.CreateUninstaller(kUninst, "Gadget 2.13", "Gadget 2.13 display", "Gadget");

    std::vector<std::uint8_t> copy = machine.FileBytes(kUninst);
    std::vector<std::uint8_t> stub = Stub();
    ASSERT_GT(copy.size(), stub.size());
    EXPECT_EQ(WordAt(copy, 0x30), kStubSize);
    EXPECT_EQ(WordAt(copy, 0x34), 1u);
    for (std::size_t i :
         {std::size_t{0}, std::size_t{1}, std::size_t{0x2F}, std::size_t{0x38}, kStubSize - 1})
        EXPECT_EQ(copy[i], stub[i]) << i;
    EXPECT_NE(std::string(copy.begin() + kStubSize, copy.begin() + kStubSize + 8), "KW/ISB/3");

    UninstallRecord record = RecordOf(copy);
    EXPECT_EQ(record.version.AsString(), "2.13");
    EXPECT_EQ(record.productName, "Gadget");
    EXPECT_EQ(FormatItems(record.items),
              (Log{"EC:\\Program Files\\Gadget\\", "FC:\\Program Files\\Gadget\\Gadget.exe",
                   "M" + kUninstallKey + "\\Gadget 2.13"}));

    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.13", "DisplayName"),
              "Gadget 2.13 display");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.13", "UninstallString"),
              kUninst);
}

TEST_F(UninstallerCopy, FromSetupDatTheCopyHoldsTheWholeProgram) {
    PlaceSetupDat(machine, testutil::WriteToBytes(Product()));
    TInstaller installer(machine);
    installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "");
    std::vector<std::uint8_t> copy = machine.FileBytes(kUninst);
    EXPECT_EQ(WordAt(copy, 0x30), kStubSize);
    EXPECT_EQ(WordAt(copy, 0x34), 1u);
    const std::vector<std::uint8_t> stub = Stub();
    EXPECT_EQ(std::vector<std::uint8_t>(copy.begin() + 0x38, copy.begin() + kStubSize),
              std::vector<std::uint8_t>(stub.begin() + 0x38, stub.end()));
    EXPECT_EQ(RecordOf(copy).productName, "");
}

TEST_F(UninstallerCopy, ReplacesOlderKeysNamingTheSameUninstallerInAnyCase) {
    PlaceSetup(machine, Product());
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.0", "UninstallString",
               "c:\\PROGRAM FILES\\gadget\\uninst.EXE");
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.0\\Child", "x", "y");
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Other", "UninstallString",
               "C:\\Program Files\\Other\\Uninst.exe");
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\NoCommand", "DisplayName", "n");
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.13", "Extra", "kept");

    TInstaller installer(machine);
    installer.CreateUninstaller(kUninst, "Gadget 2.13", "Gadget 2.13", "Gadget");

    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.0"));
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Other"));
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\NoCommand"));
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.13", "UninstallString"),
              kUninst);
}

TEST_F(UninstallerCopy, AnEmptyKeyNameRegistersNothingRatherThanTheUninstallKeyItself) {
    PlaceSetup(machine, Product());
    WriteValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Other", "UninstallString", "x");
    TInstaller installer(machine);
    installer.CreateUninstaller(kUninst, "", "", "");
    EXPECT_TRUE(machine.HasFile(kUninst));
    EXPECT_TRUE(installer.Log().empty());
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, kUninstallKey, "UninstallString"), "");
}

TEST_F(UninstallerCopy, AWriteFailureSkipsTheRegistration) {
    PlaceSetup(machine, Product());
    machine.SetFreeDiskSpace(10);
    TInstaller installer(machine);
    EXPECT_THROW(installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "Gadget"), EFileError);
    EXPECT_FALSE(KeyExists(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget"));
    // Nor may the copy overwrite the program it copies.
    machine.SetFreeDiskSpace(UINT32_MAX);
    EXPECT_THROW(installer.CreateUninstaller(kSetupProgram, "Gadget", "Gadget", ""), EFileError);
    EXPECT_EQ(WordAt(machine.FileBytes(kSetupProgram), 0x34), 0u);
}

TEST_F(UninstallerCopy, LogsRegistryKeysByRootAndViewAndSavedShortcuts) {
    PlaceSetup(machine, Product());
    TInstaller installer(machine);
    installer.AddRegistryKey(RootKey::ClassesRoot, "\\Gadget.File", true);
    installer.AddRegistryKey(RootKey::CurrentUser, "\\Software\\Maker\\Gadget\\2.1", true);
    installer.AddRegistryKey(RootKey::LocalMachine, "\\Software\\Maker\\Gadget\\2.1", false);
    installer.AddRegistryKey(RootKey::LocalMachine, "\\Software\\Maker\\Gadget\\2.1", true);
    installer.AddRegistryKey(RootKey::Users, "\\Anything", false);
    installer.AddItem(ItemKind::FolderWithContents, "C:\\Temp\\Gadget");
    machine.AddFolder("C:\\Links");
    EXPECT_TRUE(installer.CreateShortcut("C:\\Links\\Gadget.lnk", "C:\\Gadget.exe", "", 0));
    EXPECT_FALSE(installer.CreateShortcut("C:\\Missing\\Gadget.lnk", "C:\\Gadget.exe", "", 0));
    EXPECT_EQ(installer.Log(),
              (Log{"C\\Gadget.File", "U\\Software\\Maker\\Gadget\\2.1", "M\\Software\\Maker\\Gadget\\2.1",
                   "6\\Software\\Maker\\Gadget\\2.1", "TC:\\Temp\\Gadget", "FC:\\Links\\Gadget.lnk"}));
}

namespace {

const std::string kUninstallData = "C:\\Program Files\\Gadget\\Uninstall.dat";

// The uninstaller plugsetup build --sign puts into the archive: the PE stub as an uninstaller
// that reads Uninstall.dat, signed.
std::vector<std::uint8_t> SignedUninstaller() {
    return Signed(UninstallerWithoutRecord(PeStub()));
}

std::vector<SourceEntry> ProductCarrying(const std::vector<std::uint8_t>& uninstaller) {
    std::vector<SourceEntry> tree = Product();
    tree.push_back(SourceEntry::File(kUninstallerEntry, uninstaller));
    return tree;
}

UninstallRecord RecordIn(const std::vector<std::uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return ReadUninstallRecord(stream);
}

}  // namespace

TEST_F(UninstallerCopy, TheCopyOfASignedSetupIsAWellFormedUnsignedProgram) {
    const std::vector<std::uint8_t> stub = PeStub();
    machine.AddFile(kSetupProgram,
                    Signed(AppendToProgram(stub, ProgramRole::Setup, testutil::WriteToBytes(Product()))));
    machine.SetOwnProgramPath(kSetupProgram);
    TInstaller installer(machine);
    installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "Gadget");

    std::vector<std::uint8_t> copy = machine.FileBytes(kUninst);
    EXPECT_EQ(WordAt(copy, kSecurityEntry), 0u);
    EXPECT_EQ(WordAt(copy, kSecurityEntry + 4), 0u);
    EXPECT_EQ(WordAt(copy, kCheckSumField), PeChecksum(copy.data(), copy.size(), kCheckSumField));
    EXPECT_EQ(WordAt(copy, 0x30), kStubSize);
    EXPECT_EQ(WordAt(copy, 0x34), 1u);
    for (std::size_t i = 0; i < kStubSize; ++i) {
        const bool rewritten = (i >= 0x30 && i < 0x38) || (i >= kCheckSumField && i < kCheckSumField + 4) ||
                               (i >= kSecurityEntry && i < kSecurityEntry + 8);
        if (!rewritten) {
            ASSERT_EQ(copy[i], stub[i]) << "byte " << i;
        }
    }
    // The record follows the program, and nothing of the certificate table comes along.
    EXPECT_EQ(RecordOf(copy).productName, "Gadget");
    MemoryStream record;
    installer.WriteUninstallData(record, "Gadget");
    EXPECT_EQ(copy.size(), kStubSize + record.Bytes().size() + record.Bytes().size() % 2);
    EXPECT_FALSE(machine.HasFile(kUninstallData));
}

TEST_F(UninstallerCopy, ACarriedUninstallerIsWrittenUnchangedWithItsRecordBeside) {
    const std::vector<std::uint8_t> carried = SignedUninstaller();
    PlaceSetup(machine, testutil::WriteToBytes(ProductCarrying(carried)), PeStub());
    TInstaller installer(machine);
    installer.ExtractDirectory("Program", "C:\\Program Files\\Gadget\\", 0);
    installer.CreateUninstaller(kUninst, "Gadget 2.13", "Gadget 2.13", "Gadget");

    EXPECT_EQ(machine.FileBytes(kUninst), carried);
    UninstallRecord record = RecordIn(machine.FileBytes(kUninstallData));
    EXPECT_EQ(record.productName, "Gadget");
    EXPECT_EQ(FormatItems(record.items), installer.Log());
    EXPECT_EQ(FormatItems(record.items).back(), "M" + kUninstallKey + "\\Gadget 2.13");
    // Neither file is an item of the record: the uninstaller's batch file removes both.
    for (const std::string& line : FormatItems(record.items)) {
        EXPECT_EQ(line.find("Uninst.exe"), std::string::npos) << line;
        EXPECT_EQ(line.find("Uninstall.dat"), std::string::npos) << line;
    }
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, kUninstallKey + "\\Gadget 2.13", "UninstallString"),
              kUninst);

    StoredUninstallRecord stored = LoadUninstallRecord(machine, kUninst);
    EXPECT_EQ(stored.dataFile, kUninstallData);
    EXPECT_EQ(FormatItems(stored.record.items), FormatItems(record.items));
}

TEST_F(UninstallerCopy, InstallingOneKindOverTheOtherLeavesNoStaleRecord) {
    auto install = [&](const std::vector<SourceEntry>& tree) {
        PlaceSetup(machine, testutil::WriteToBytes(tree), PeStub());
        TInstaller installer(machine);
        installer.ExtractDirectory("Program", "C:\\Program Files\\Gadget\\", 0);
        installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "Gadget");
        return installer.Log();
    };
    install(Product());
    EXPECT_FALSE(machine.HasFile(kUninstallData));

    // Separately built over a copy: the new program replaces the copy and its appended record.
    const Log signedLog = install(ProductCarrying(SignedUninstaller()));
    EXPECT_EQ(machine.FileBytes(kUninst), SignedUninstaller());
    EXPECT_EQ(FormatItems(LoadUninstallRecord(machine, kUninst).record.items), signedLog);

    // A copy over a separately built one: the record beside it would be left behind.
    const Log copyLog = install(Product());
    EXPECT_FALSE(machine.HasFile(kUninstallData));
    StoredUninstallRecord stored = LoadUninstallRecord(machine, kUninst);
    EXPECT_EQ(stored.dataFile, "");
    EXPECT_EQ(FormatItems(stored.record.items), copyLog);

    // An Uninstall.dat that is no record, or that this very run installed, is the product's own.
    machine.AddFile(kUninstallData, "the product's own data");
    install(Product());
    EXPECT_EQ(machine.FileText(kUninstallData), "the product's own data");
    std::vector<SourceEntry> shipsOne = Product();
    MemoryStream ownRecord;
    WriteUninstallRecord(ownRecord, TProgramVersion(), {}, "Other");
    shipsOne[0].Children.push_back(SourceEntry::File("Uninstall.dat", ownRecord.Bytes()));
    install(shipsOne);
    EXPECT_EQ(machine.FileBytes(kUninstallData), ownRecord.Bytes());
}

TEST_F(UninstallerCopy, ACarriedEntryThatWouldNotFindItsRecordIsPassedOver) {
    std::vector<std::uint8_t> appendsRecord = PeStub();
    SetProgramHeaderWords(appendsRecord, {static_cast<std::int32_t>(kStubSize), 1});
    const std::vector<std::vector<std::uint8_t>> unusable = {
        PeStub(),                                      // a setup stub: marker 0
        appendsRecord,                                 // looks for its record inside itself
        std::vector<std::uint8_t>{'M', 'Z', 0, 0, 1},  // too short for the words
        std::vector<std::uint8_t>(kStubSize, 0),       // no program at all
    };
    for (const std::vector<std::uint8_t>& entry : unusable) {
        machine.RemoveFile(kUninst);
        PlaceSetup(machine, testutil::WriteToBytes(ProductCarrying(entry)), PeStub());
        TInstaller installer(machine);
        EXPECT_EQ(installer.CarriedUninstaller(), std::nullopt);
        installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "Gadget");
        EXPECT_EQ(RecordOf(machine.FileBytes(kUninst)).productName, "Gadget");
        EXPECT_FALSE(machine.HasFile(kUninstallData));
    }
}

TEST_F(UninstallerCopy, TheUninstallKeyShowsVersionPublisherIconLocationAndSize) {
    const std::string key = kUninstallKey + "\\Gadget";
    PlaceSetup(machine, std::vector<SourceEntry>{SourceEntry::Directory(
                            "Program", {SourceEntry::File("a.bin", std::string(1024, 'a')),
                                        SourceEntry::File("b.bin", "b")})});
    TInstaller installer(machine);
    // Written twice, counted once: 1025 bytes, which the list shows as 2 KiB.
    installer.ExtractDirectory("Program", "C:\\Program Files\\Gadget\\", 0);
    installer.ExtractDirectory("Program", "C:\\Program Files\\Gadget\\", 0);
    EXPECT_EQ(installer.WrittenBytes(), 1025);
    installer.CreateUninstaller(kUninst, "Gadget", "Gadget display", "Gadget", {"Example Audio", "", "", "de", ""});
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "SetupLanguage"), "de");

    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "DisplayName"), "Gadget display");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "UninstallString"), kUninst);
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "DisplayVersion"), "2.13");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "Publisher"), "Example Audio");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "DisplayIcon"), kUninst);
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "InstallLocation"),
              "C:\\Program Files\\Gadget\\");
    const std::pair<const char*, std::uint32_t> numbers[] = {
        {"EstimatedSize", 2}, {"NoModify", 1}, {"NoRepair", 1}};
    for (const auto& [name, value] : numbers) {
        RegistryKey opened = machine.OpenRegistryKey(RootKey::LocalMachine, key.substr(1), kKeyRead);
        std::optional<RegistryValue> read = machine.ReadRegistryValue(opened, name);
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(read->type, kRegDWord) << name;
        EXPECT_EQ(WordAt(read->data, 0), value) << name;
    }

    // Without a publisher there is no such value; an icon and a location given are taken.
    installer.CreateUninstaller(kUninst, "Gadget", "Gadget", "Gadget", {"", "C:\\Gadget.exe", "C:\\Else\\", "", ""});
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "Publisher"), "");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "SetupLanguage"), "") << "English writes none";
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "DisplayIcon"), "C:\\Gadget.exe");
    EXPECT_EQ(ReadValue(machine, RootKey::LocalMachine, key, "InstallLocation"), "C:\\Else\\");
}
