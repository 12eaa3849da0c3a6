#include <gtest/gtest.h>

#include "archive/SetupClasses.h"
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
    EXPECT_EQ(record.log, (Log{"EC:\\Program Files\\Gadget\\", "FC:\\Program Files\\Gadget\\Gadget.exe",
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
