// Uninstall records that damage or an attacker made: lengths that lie and lines that name
// nothing. The uninstaller must stop with its error before removing anything, or remove only
// what the lines name.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "system/Exceptions.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"
#include "uninstall/UninstallRecord.h"
#include "uninstall/Uninstaller.h"

using namespace setuptest;

namespace {

constexpr char kFolder[] = "C:\\Program Files\\Vendor\\Product\\";
constexpr char kKey[] = "\\Software\\Maker\\Gadget\\2.1";

std::vector<std::uint8_t> Record(const std::vector<std::string>& log, const std::string& name) {
    MemoryStream stream;
    WriteUninstallRecord(stream, TProgramVersion(), ParseItems(log), name);
    return stream.Bytes();
}

// An installed product whose uninstaller carries record; the machine then runs it.
void Prepare(MemoryPlatform& machine, const std::vector<std::uint8_t>& record) {
    machine.AddFile(std::string(kFolder) + "Gadget.exe", "program");
    machine.AddFile("C:\\Windows\\win.ini", "[fonts]");
    WriteValue(machine, RootKey::CurrentUser, kKey, "Folder", kFolder);
    machine.AddFile(std::string(kFolder) + "Uninst.exe",
                    AppendToProgram(Stub(), ProgramRole::Uninstaller, record));
    machine.SetOwnProgramPath(std::string(kFolder) + "Uninst.exe");
}

void PutInt32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    PutWord(bytes, at, static_cast<std::uint32_t>(value));
}

}  // namespace

TEST(HostileUninstall, LengthsThatLieEndInTheReadErrorBeforeAnythingIsRemoved) {
    const std::vector<std::uint8_t> good = Record({std::string("F") + kFolder + "Gadget.exe"}, "Gadget");
    constexpr std::size_t kLogLength = 53, kNameLength = 57;
    std::vector<std::vector<std::uint8_t>> records;
    for (std::int32_t length : {-1, INT_MIN, 1 << 30, INT_MAX}) {
        records.push_back(good);
        PutInt32(records.back(), kLogLength, length);
    }
    for (std::int32_t length : {1 << 30, INT_MAX}) {
        records.push_back(good);
        PutInt32(records.back(), kNameLength, length);
    }
    records.push_back(std::vector<std::uint8_t>(good.begin(), good.begin() + 60));
    for (const auto& record : records) {
        MemoryPlatform machine;
        Prepare(machine, record);
        EXPECT_THROW(TUninstaller{machine}, EReadError);
        EXPECT_TRUE(machine.HasFile(std::string(kFolder) + "Gadget.exe"));
    }
    // A negative name length reads as no name, as an empty one is written.
    std::vector<std::uint8_t> negativeName = good;
    PutInt32(negativeName, kNameLength, -5);
    MemoryPlatform machine;
    Prepare(machine, negativeName);
    EXPECT_EQ(TUninstaller(machine).ProductName(), "");
}

TEST(HostileUninstall, LinesThatNameNothingRemoveNothing) {
    MemoryPlatform machine;
    Prepare(machine, Record({"F", "D", "E", "U", "M", "6", "C", "U\\", "M\\\\", "", "?C:\\Windows\\win.ini",
                             "fC:\\Windows\\win.ini"},
                            "Gadget"));
    TUninstaller uninstaller(machine);
    uninstaller.RemoveAll();
    EXPECT_TRUE(machine.HasFile("C:\\Windows\\win.ini"));
    EXPECT_TRUE(machine.HasFile(std::string(kFolder) + "Gadget.exe"));
    // A key line without a key would name the whole hive.
    EXPECT_TRUE(KeyExists(machine, RootKey::CurrentUser, kKey));
    EXPECT_TRUE(KeyExists(machine, RootKey::LocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion"));
}
