// The in-memory machine's fault injection and records, which tests elsewhere rely on.
#include <gtest/gtest.h>

#include "system/Exceptions.h"
#include "system/memory/MemoryPlatform.h"

namespace {

void WriteText(Platform& platform, const std::string& path, const std::string& text) {
    platform.CreateForWriting(path)->Write(text.data(), text.size());
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "no error";
}

TEST(MemoryFaults, AFullDiskFailsTheWriteThatDoesNotFitAndDeletingFreesSpace) {
    MemoryPlatform machine;
    machine.SetFreeDiskSpace(10);
    WriteText(machine, "C:\\a.bin", "12345678");
    EXPECT_EQ(machine.FreeDiskSpace("C:\\"), 2u);
    EXPECT_EQ(ErrorOf([&] { WriteText(machine, "C:\\b.bin", "12345"); }),
              "Cannot write file \"C:\\b.bin\". There is not enough space on the disk");
    EXPECT_TRUE(machine.RemoveFile("C:\\a.bin"));
    EXPECT_EQ(machine.FreeDiskSpace("C:\\"), 10u);
    EXPECT_NO_THROW(WriteText(machine, "C:\\b.bin", "12345"));
}

TEST(MemoryFaults, AFailingWriteKeepsTheBytesBeforeTheLimit) {
    MemoryPlatform machine;
    machine.FailWritesAfter(4, MemoryPlatform::kErrorWriteFault, "C:\\target.bin");
    EXPECT_NO_THROW(WriteText(machine, "C:\\other.bin", "not counted"));
    EXPECT_THROW(WriteText(machine, "C:\\target.bin", "123456"), EFileError);
    EXPECT_EQ(machine.FileText("C:\\target.bin"), "1234");
}

TEST(MemoryFaults, AFileLockedElsewhereCannotBeOpenedReplacedOrDeleted) {
    MemoryPlatform machine;
    machine.AddFile("C:\\plugin.dll", "MZ");
    machine.LockFile("C:\\plugin.dll");
    EXPECT_EQ(
        ErrorOf([&] { machine.OpenForReading("C:\\plugin.dll", ShareMode::DenyNone); }),
        "Cannot open file \"C:\\plugin.dll\". The process cannot access the file because it is being used by "
        "another process");
    EXPECT_THROW(machine.CreateForWriting("C:\\plugin.dll"), EFileError);
    EXPECT_FALSE(machine.RemoveFile("C:\\plugin.dll"));
    machine.UnlockFile("C:\\plugin.dll");
    EXPECT_TRUE(machine.RemoveFile("C:\\plugin.dll"));
}

TEST(MemoryFaults, AFolderCanRefuseCreation) {
    MemoryPlatform machine;
    machine.FailFolderCreation("c:/program files (x86)/Vendor");
    EXPECT_EQ(machine.CreateFolder("C:\\Program Files (x86)\\Vendor"), FolderResult::Failed);
    EXPECT_EQ(machine.CreateFolder("C:\\Program Files (x86)\\Other"), FolderResult::Created);
}

TEST(MemoryLibraries, LoadOnlyWhenTheFileIsThereAndCallExportsByExactName) {
    MemoryPlatform machine;
    int calls = 0;
    machine.AddLibrary("C:\\App\\plugin.dll", {{"Register", [&] { ++calls; }}});
    EXPECT_EQ(machine.CallLibraryFunction("C:\\App\\plugin.dll", "Register"), LibraryCall::NotLoaded);
    machine.AddFile("C:\\App\\plugin.dll", "MZ");
    EXPECT_EQ(machine.CallLibraryFunction("C:\\APP\\PLUGIN.DLL", "register"), LibraryCall::NoSuchFunction);
    EXPECT_EQ(machine.CallLibraryFunction("C:\\App\\plugin.dll", "Register"), LibraryCall::Called);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(machine.LibraryCalls().size(), 3u);
}

TEST(MemoryRecords, ShellStartsPausesAndUnscriptedRetriesAreRecorded) {
    MemoryPlatform machine;
    machine.AddFile("C:\\Temp\\Uninstall.bat", "@echo off");
    EXPECT_TRUE(machine.StartHidden("C:\\Temp\\Uninstall.bat", "", 42));
    EXPECT_FALSE(machine.OpenWithDefaultAction("C:\\App\\Missing.txt", "C:\\App"));
    ASSERT_EQ(machine.ShellStarts().size(), 2u);
    EXPECT_TRUE(machine.ShellStarts()[0].hidden);
    EXPECT_EQ(machine.ShellStarts()[0].owner, 42u);
    EXPECT_EQ(machine.ShellStarts()[1].folder, "C:\\App");
    machine.Pause(500);
    EXPECT_EQ(machine.Pauses(), std::vector<std::uint32_t>{500});
    machine.AnswerRetries({true});
    EXPECT_TRUE(machine.RetryCancelBox("Cannot install"));
    EXPECT_FALSE(machine.RetryCancelBox("Cannot install")) << "unscripted: Cancel, so no test loops";
    EXPECT_EQ(machine.Dialogs().back().caption, "Warning");
}

TEST(MemorySearch, LongNamesAlsoMatchThroughTheirShortAlias) {
    MemoryPlatform machine;
    for (const char* name : {"c.txtx", "b.txt", "long name.txt"})
        machine.AddFile(std::string("C:\\S\\") + name, "x");
    std::vector<std::string> names;
    auto search = machine.FindFiles("C:\\S\\*.txt");
    ASSERT_TRUE(search);
    do names.push_back(search->Current().name);
    while (search->Next());
    EXPECT_EQ(names, (std::vector<std::string>{"b.txt", "c.txtx", "long name.txt"}))
        << "as Windows and Wine find them";
    EXPECT_EQ(machine.FindFiles("C:\\*.nothing"), nullptr);
}

}  // namespace

namespace {

// The journal as lines: what was written, where.
std::vector<std::string> JournalLines(const MemoryPlatform& machine) {
    using Kind = MemoryPlatform::Write::Kind;
    std::vector<std::string> lines;
    for (const MemoryPlatform::Write& write : machine.Journal()) {
        switch (write.kind) {
            case Kind::Folder:
                lines.push_back("folder " + write.path);
                break;
            case Kind::File:
                lines.push_back("file " + write.path);
                break;
            case Kind::Attributes:
                lines.push_back("attributes " + write.path + " " + std::to_string(write.attributes));
                break;
            case Kind::RegistryValue:
                lines.push_back(std::string("value ") +
                                (write.root == RootKey::LocalMachine ? "HKLM" : "HKCU") +
                                (write.view64 ? "(64)" : "") + "\\" + write.path + " " + write.valueName);
                break;
            case Kind::Shortcut:
                lines.push_back("shortcut " + write.path + " -> " + write.link.target);
                break;
            case Kind::RemovedFolder:
            case Kind::RemovedFile:
                lines.push_back("removed " + write.path);
                break;
            case Kind::RemovedKey:
                lines.push_back("removed key " + write.path);
                break;
            case Kind::RenamedFile:
                lines.push_back("renamed " + write.path + " -> " + write.newPath);
                break;
            case Kind::RemovedValue:
                lines.push_back("removed value " + write.path + " " + write.valueName);
                break;
        }
    }
    return lines;
}

}  // namespace

TEST(MemoryJournal, RecordsEveryWriteInOrderAndNoneOfTheSetUp) {
    MemoryPlatform machine;
    machine.AddFile("C:\\Set\\Up.txt", "given");  // set-up, not the program's doing
    EXPECT_TRUE(machine.Journal().empty()) << "a machine starts with an empty journal";

    ASSERT_EQ(machine.CreateFolder("C:\\Out"), FolderResult::Created);
    EXPECT_EQ(machine.CreateFolder("C:\\Out"), FolderResult::AlreadyExists);
    WriteText(machine, "C:\\Out\\a.txt", "a");
    machine.ChangeFileAttributes("C:\\Out\\a.txt", kAttrReadOnly);
    RegistryKey product =
        machine.CreateRegistryKey(RootKey::LocalMachine, "Software\\Maker", kKeyAllAccess | kKeyWow64_64Key);
    RegistryKey settings = machine.CreateRegistryKey(product, "Settings", kKeyAllAccess);
    machine.WriteRegistryValue(settings, "Skin", {kRegString, {'D', 0}});
    machine.SaveShellLink("C:\\Out\\a.lnk", ShellLink{"C:\\Out\\a.txt", "", "C:\\Out", "", 0});
    machine.ChangeFileAttributes("C:\\Out\\a.txt", kAttrNormal);
    machine.RemoveFile("C:\\Out\\a.txt");
    machine.RemoveRegistryKey(product, "Settings");

    EXPECT_EQ(JournalLines(machine),
              (std::vector<std::string>{"folder C:\\Out", "file C:\\Out\\a.txt",
                                        "attributes C:\\Out\\a.txt " + std::to_string(kAttrReadOnly),
                                        "value HKLM(64)\\Software\\Maker\\Settings Skin",
                                        "shortcut C:\\Out\\a.lnk -> C:\\Out\\a.txt",
                                        "attributes C:\\Out\\a.txt " + std::to_string(kAttrNormal),
                                        "removed C:\\Out\\a.txt", "removed key Software\\Maker\\Settings"}))
        << "a key opened below another is named from its root, in its view; a link file is a shortcut";
    machine.ClearJournal();
    RegistryKey view32 = machine.CreateRegistryKey(RootKey::LocalMachine, "Software\\Maker", kKeyAllAccess);
    machine.WriteRegistryValue(view32, "Root", {kRegString, {0}});
    EXPECT_EQ(JournalLines(machine), std::vector<std::string>{"value HKLM\\Software\\Maker Root"});
}
