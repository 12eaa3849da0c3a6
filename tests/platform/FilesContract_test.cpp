// Searching, attributes, time stamps and the folder enumerator on both machines.
#include <algorithm>

#include "system/Exceptions.h"
#include "system/WindowsEx.h"
#include "tests/platform/ContractFixture.h"

namespace {

template <class Machine>
class FilesContract : public ContractFixture<Machine> {
protected:
    std::vector<std::string> Found(const std::string& mask) {
        std::vector<std::string> names;
        auto search = this->P().FindFiles(this->scratch_ + mask);
        if (search) do
                names.push_back(search->Current().name);
            while (search->Next());
        std::sort(names.begin(), names.end());
        return names;
    }
};
TYPED_TEST_SUITE(FilesContract, Machines);

using Names = std::vector<std::string>;

TYPED_TEST(FilesContract, PatternsMatchNamesAsWindowsDoes) {
    for (const char* name : {"a.txt", "B.TXT", "c.log", "noext"}) this->Write(name, "x");
    this->Folder("sub");
    EXPECT_EQ(this->Found("*.txt"), (Names{"B.TXT", "a.txt"})) << "without regard to case";
    EXPECT_EQ(this->Found("?.log"), Names{"c.log"});
    EXPECT_EQ(this->Found("*.*"), (Names{".", "..", "B.TXT", "a.txt", "c.log", "noext", "sub"}));
    EXPECT_EQ(this->Found("noext.*"), Names{"noext"}) << "name.* also finds the name alone";
    EXPECT_EQ(this->Found("sub"), Names{"sub"});
    EXPECT_EQ(this->Found("*.doc"), Names{});
    EXPECT_EQ(this->P().FindFiles(this->scratch_ + "missing\\*.*"), nullptr);
}

TYPED_TEST(FilesContract, EnumeratorWithMask33ListsOrdinaryFilesOnly) {
    this->Write("one.lnk", "1");
    this->Write("two.lnk", "2");
    ASSERT_TRUE(this->P().ChangeFileAttributes(this->Write("hidden.lnk", "h"), kAttrHidden));
    ASSERT_TRUE(this->P().ChangeFileAttributes(this->Write("system.lnk", "s"), kAttrSystem));
    this->Folder("folder.lnk");

    TFileEnumerator files(this->P(), this->scratch_ + "*.lnk", 33);
    Names names;
    while (files.Next()) {
        EXPECT_FALSE(files.HasAttribute(kAttrHidden | kAttrSystem | kAttrDirectory));
        names.push_back(files.FileName());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"one.lnk", "two.lnk"}));
    EXPECT_FALSE(files.Next()) << "exhausted for good";
    EXPECT_EQ(files.FileName(), "");

    TFileEnumerator all(this->P(), this->scratch_ + "*.*", 63);
    Names folders;
    while (all.Next())
        if (all.HasAttribute(kAttrDirectory)) folders.push_back(all.FileName());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (Names{".", "..", "folder.lnk"}));

    TFileEnumerator none(this->P(), this->scratch_ + "*.none", 63);
    EXPECT_FALSE(none.Next());
    EXPECT_FALSE(none.HasAttribute(63));
}

TYPED_TEST(FilesContract, AttributesCanBeSetAndCleared) {
    std::string path = this->Write("locked.txt", "x");
    ASSERT_TRUE(this->P().ChangeFileAttributes(path, kAttrReadOnly | kAttrHidden));
    EXPECT_EQ(this->P().FileAttributes(path) & (kAttrReadOnly | kAttrHidden | kAttrSystem),
              kAttrReadOnly | kAttrHidden);
    EXPECT_FALSE(this->P().RemoveFile(path)) << "a read-only file stays";
    ASSERT_TRUE(this->P().ChangeFileAttributes(path, kAttrNormal));
    EXPECT_EQ(this->P().FileAttributes(path) & (kAttrReadOnly | kAttrHidden | kAttrSystem), 0u);
    EXPECT_FALSE(this->P().ChangeFileAttributes(this->scratch_ + "missing", kAttrNormal));
}

// The uninstaller's batch file is only ever written into a file of its own making.
TYPED_TEST(FilesContract, ANewFileIsNeverOneThatWasThereAndRandomNamesDiffer) {
    const std::string path = this->Write("taken.bat", "theirs");
    EXPECT_THROW(this->P().CreateNewForWriting(path), EFileError);
    auto back = this->P().OpenForReading(path, ShareMode::DenyNone);
    EXPECT_EQ(back->Size(), 6);
    back.reset();
    {
        auto fresh = this->P().CreateNewForWriting(this->scratch_ + "fresh.bat");
        fresh->Write("ours", 4);
    }
    EXPECT_TRUE(this->P().FileExists(this->scratch_ + "fresh.bat"));
    EXPECT_NE(this->P().RandomNumber(), this->P().RandomNumber());
}

// Replacing by renaming: the file keeps its bytes, date and attributes, takes the place of one
// there, and one held open without sharing is refused.
TYPED_TEST(FilesContract, ARenamedFileKeepsItsBytesDateAndAttributesAndReplacesTheOneThere) {
    const std::string from = this->Write("earlier.dll", "earlier");
    const std::string to = this->Write("current.dll", "current, longer");
    const std::uint32_t stamp = (41u << 25) | (6u << 21) | (15u << 16) | (13u << 11);
    ASSERT_TRUE(this->P().SetFileDate(from, stamp));
    ASSERT_TRUE(this->P().ChangeFileAttributes(from, kAttrHidden));
    ASSERT_TRUE(this->P().RenameFile(from, to));
    EXPECT_FALSE(this->P().FileExists(from));
    EXPECT_EQ(this->P().OpenForReading(to, ShareMode::DenyNone)->Size(), 7);
    EXPECT_EQ(this->P().FileDate(to), stamp);
    EXPECT_EQ(this->P().FileAttributes(to) & kAttrHidden, kAttrHidden);
    {
        auto held = this->P().OpenForReading(to, ShareMode::Exclusive);
        EXPECT_FALSE(this->P().RenameFile(to, from));
    }
    EXPECT_FALSE(this->P().RenameFile(this->scratch_ + "missing.dll", from));
}

TYPED_TEST(FilesContract, PackedDatesStampFilesAndInvalidOnesLeaveThem) {
    std::string path = this->Write("stamped.bin", "x");
    // 2021-06-15 13:45:30
    const std::uint32_t stamp = (41u << 25) | (6u << 21) | (15u << 16) | (13u << 11) | (45u << 5) | 15u;
    ASSERT_TRUE(this->P().SetFileDate(path, stamp));
    EXPECT_EQ(this->P().FileDate(path), stamp);
    const std::uint32_t february30 = (41u << 25) | (2u << 21) | (30u << 16);
    EXPECT_FALSE(this->P().SetFileDate(path, february30));
    EXPECT_FALSE(this->P().SetFileDate(path, 0)) << "month 0 is no date";
    EXPECT_EQ(this->P().FileDate(path), stamp);
    EXPECT_FALSE(this->P().SetFileDate(this->scratch_ + "missing", stamp));
}

// The extraction stamps each file through the handle it writes with, then closes it: the stamp
// must survive the closing, and writes before it must not undo it.
TYPED_TEST(FilesContract, AnOpenFileIsStampedThroughItsStream) {
    const std::string path = this->scratch_ + "open-stamped.bin";
    const std::uint32_t stamp = (41u << 25) | (6u << 21) | (15u << 16) | (13u << 11) | (45u << 5) | 15u;
    {
        auto file = this->P().CreateForWriting(path);
        file->Write("abc", 3);
        EXPECT_FALSE(file->SetFileDate((41u << 25) | (2u << 21) | (30u << 16))) << "30 February";
        ASSERT_TRUE(file->SetFileDate(stamp));
    }
    EXPECT_EQ(this->P().FileDate(path), stamp);
    EXPECT_EQ(this->P().FileAttributes(path) & kAttrDirectory, 0u);
    auto back = this->P().OpenForReading(path, ShareMode::DenyNone);
    EXPECT_EQ(back->Size(), 3);
}

// The run asks every file it will replace before it writes one; asking changes nothing.
TYPED_TEST(FilesContract, OpensForWritingFindsFilesHeldElsewhereAndLeavesThemAlone) {
    const std::string path = this->Write("held.dll", "plug-in");
    EXPECT_TRUE(this->P().OpensForWriting(path));
    ASSERT_TRUE(this->P().ChangeFileAttributes(path, kAttrReadOnly));
    EXPECT_TRUE(this->P().OpensForWriting(path)) << "the copy clears read-only first";
    ASSERT_TRUE(this->P().ChangeFileAttributes(path, kAttrNormal));
    {
        auto reader = this->P().OpenForReading(path, ShareMode::DenyNone);
        EXPECT_FALSE(this->P().OpensForWriting(path)) << "held by a reader that shares it";
    }
    EXPECT_TRUE(this->P().OpensForWriting(path));
    EXPECT_FALSE(this->P().OpensForWriting(this->scratch_ + "missing.dll"));
    EXPECT_FALSE(this->P().OpensForWriting(this->Folder("sub")));
    auto back = this->P().OpenForReading(path, ShareMode::DenyNone);
    EXPECT_EQ(back->Size(), 7) << "unchanged";
    back.reset();
    EXPECT_TRUE(this->P().ProgramsUsing({path, this->scratch_ + "missing.dll"}).empty());
    EXPECT_TRUE(this->P().ProgramsUsing({}).empty());
}

TYPED_TEST(FilesContract, FreeSpaceAndEnvironmentAreThere) {
    EXPECT_GT(this->P().FreeDiskSpace("C:\\").value_or(0), 0u);
    EXPECT_FALSE(this->P().FreeDiskSpace("Q:\\no\\such\\drive"));
    EXPECT_EQ(this->P().EnvironmentVariable("ProgramW6432"), "C:\\Program Files");
    EXPECT_EQ(this->P().EnvironmentVariable("PLUGSETUP_SURELY_UNSET"), "");
    this->P().SetEnvironmentValue("PLUGSETUP_CONTRACT",
                                  "C:\\Mu\u00DFe \u00E9t\u00E9 \u041E\u043B\u044C\u0433\u0430");
    EXPECT_EQ(this->P().EnvironmentVariable("plugsetup_contract"),
              "C:\\Mu\u00DFe \u00E9t\u00E9 \u041E\u043B\u044C\u0433\u0430");
    this->P().SetEnvironmentValue("PLUGSETUP_CONTRACT", "");
    EXPECT_EQ(this->P().EnvironmentVariable("PLUGSETUP_CONTRACT"), "");
}

}  // namespace
