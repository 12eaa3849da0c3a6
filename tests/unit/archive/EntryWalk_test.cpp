#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"

namespace {

using namespace testutil;

struct Seen {
    int Depth;
    std::string Path;
    bool Directory;
};

std::vector<Seen> Walk(const std::vector<std::uint8_t>& archive) {
    MemoryStream s(archive);
    ArchiveInfo info = CheckArchive(s);
    std::vector<Seen> seen;
    WalkEntries(s, info, [&](const WalkEntry& e) {
        seen.push_back({e.Depth, std::string(e.Path), e.Record.IsDirectory()});
    });
    return seen;
}

std::string WalkMessage(const std::vector<std::uint8_t>& archive) {
    try {
        Walk(archive);
        return "walked";
    } catch (const ESetupError& error) {
        return error.Message();
    }
}

// One top-level record as given, with a body of bodyBytes zero bytes and the end record.
std::vector<std::uint8_t> ArchiveWith(const EntryRecord& record, std::size_t bodyBytes) {
    MemoryStream s = ArchiveStart();
    WriteEntryRecord(s, record);
    std::vector<std::uint8_t> body(bodyBytes);
    s.Write(body.data(), body.size());
    PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    return archive;
}

TEST(EntryWalk, VisitsTheTreeDepthFirstWithPaths) {
    std::vector<Seen> seen = Walk(WriteToBytes(SampleTree()));
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].Path, "Plugins");
    EXPECT_TRUE(seen[0].Directory);
    EXPECT_EQ(seen[1].Path, "Plugins\\Empty");
    EXPECT_EQ(seen[1].Depth, 1);
    EXPECT_EQ(seen[2].Path, "Plugins\\Gadget.dll");
    EXPECT_EQ(seen[3].Path, "Plugins\\Zero.txt");
    EXPECT_EQ(seen[4].Path, "Setup.ini");
    EXPECT_EQ(seen[4].Depth, 0);
    EXPECT_EQ(seen[5].Path, "Setup.lic");
}

TEST(EntryWalk, DeepNestingDoesNotExhaustTheStack) {
    // Folders d inside d, 200,000 deep: every record first, then all the end records.
    constexpr int kDepth = 200000;
    MemoryStream s = ArchiveStart();
    for (int level = 0; level < kDepth; ++level)
        WriteEntryRecord(s, Record("d", 76 + 152 * (kDepth - 1 - level), -1));
    for (int level = 0; level <= kDepth; ++level) PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    s = MemoryStream(archive);
    ArchiveInfo info = CheckArchive(s);
    int deepestDepth = 0;
    WalkEntries(s, info, [&](const WalkEntry& e) { deepestDepth = std::max(deepestDepth, e.Depth); });
    EXPECT_EQ(deepestDepth, kDepth - 1);
}

TEST(EntryWalk, NegativeOrOverlongBodyLengthIsCorruptionNotALoop) {
    // -76 would point the next record back at this one; -1000 before the archive.
    for (std::int32_t length : {-76, -1, -1000, INT32_MIN})
        EXPECT_EQ(WalkMessage(ArchiveWith(Record("a.txt", length, 5), 0)), kCorruptedArchiveMessage)
            << length;
    // Past the archive's end, and one byte into the end record.
    EXPECT_EQ(WalkMessage(ArchiveWith(Record("a.txt", 100000, 5), 10)), kCorruptedArchiveMessage);
    EXPECT_EQ(WalkMessage(ArchiveWith(Record("a.txt", 11, 5), 10)), kCorruptedArchiveMessage);
    EXPECT_EQ(WalkMessage(ArchiveWith(Record("a.txt", 10, 5), 10)), "walked");
}

TEST(EntryWalk, DirectoryBodyThatOverrunsItsParentIsCorruption) {
    // The outer directory claims one end record; the inner one claims more than that.
    MemoryStream s = ArchiveStart();
    WriteEntryRecord(s, Record("outer", 76 + 76, -1));
    WriteEntryRecord(s, Record("inner", 76 + 76, -1));  // its list would run 76 bytes past outer's end
    PutEnd(s);
    PutEnd(s);
    PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    EXPECT_EQ(WalkMessage(archive), kCorruptedArchiveMessage);
}

TEST(EntryWalk, DirectoryTooSmallForItsEndRecordIsCorruption) {
    MemoryStream s = ArchiveStart();
    WriteEntryRecord(s, Record("dir", 10, -1));
    std::vector<std::uint8_t> junk(10);
    s.Write(junk.data(), junk.size());
    PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    EXPECT_EQ(WalkMessage(archive), kCorruptedArchiveMessage);
}

TEST(EntryWalk, NamesThatLeaveTheFolderAreCorruption) {
    for (const char* name : {"..", ".", "...", "a\\b", "..\\x", "a/b", "C:x", "tab\there", "nl\n"})
        EXPECT_EQ(WalkMessage(ArchiveWith(Record(name, 0, 0), 0)), kCorruptedArchiveMessage) << name;
    for (const char* name : {"a.b", "Setup@2x.jpg", "name with blanks", "\xE9t\xE9"})
        EXPECT_EQ(WalkMessage(ArchiveWith(Record(name, 0, 0), 0)), "walked") << name;
}

TEST(EntryWalk, NameLengthAbove67IsCorruption) {
    EntryRecord record = Record(std::string(67, 'n'), 0, 0);
    EXPECT_EQ(WalkMessage(ArchiveWith(record, 0)), "walked");
    record.NameLength = 68;
    EXPECT_EQ(WalkMessage(ArchiveWith(record, 0)), kCorruptedArchiveMessage);
    record.NameLength = 255;
    EXPECT_EQ(WalkMessage(ArchiveWith(record, 0)), kCorruptedArchiveMessage);
}

TEST(EntryWalk, UnpackedSizeBelowMinusOneIsCorruption) {
    EXPECT_EQ(WalkMessage(ArchiveWith(Record("a", 0, -2), 0)), kCorruptedArchiveMessage);
}

TEST(EntryWalk, MissingTopLevelEndRecordIsCorruption) {
    MemoryStream s = ArchiveStart();
    PutFile(s, "a.txt", "hello");
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    EXPECT_EQ(WalkMessage(archive), kCorruptedArchiveMessage);
}

TEST(EntryWalk, ReachesEachRecordBySeekingWhateverWasReadInBetween) {
    MemoryStream s(WriteToBytes(SampleTree()));
    ArchiveInfo info = CheckArchive(s);
    EntryListReader list = TopLevelEntries(s, info);
    EntryRecord record;
    std::vector<std::string> names;
    while (list.Next(record)) {
        names.push_back(record.Name);
        s.Seek(s.Size());  // an inflater that read ahead
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Plugins", "Setup.ini", "Setup.lic"}));
    EXPECT_FALSE(list.Next(record));
}

TEST(FindEntry, FoldsOnlyAsciiLettersAndAsksForOneKind) {
    MemoryStream s = ArchiveStart();
    PutFile(s, "setup.INI", "a");
    WriteEntryRecord(s, Record("Data", 76, -1));
    PutEnd(s);
    PutFile(s, "data", "file named like the folder");
    PutFile(s, "\xC4rger.txt", "upper A-umlaut");
    PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    Seal(archive);
    MemoryStream in(archive);
    ArchiveInfo info = CheckArchive(in);
    auto find = [&](const std::string& name, bool directory) {
        EntryListReader list = TopLevelEntries(in, info);
        return FindEntry(list, name, directory);
    };
    EXPECT_TRUE(find("Setup.ini", false));
    EXPECT_FALSE(find("Setup.ini", true));
    ASSERT_TRUE(find("DATA", true));
    EXPECT_TRUE(find("DATA", true)->Record.IsDirectory());
    ASSERT_TRUE(find("DATA", false));
    EXPECT_EQ(find("DATA", false)->Record.UnpackedSize, 26);
    EXPECT_TRUE(find("\xC4RGER.TXT", false));
    EXPECT_FALSE(find("\xE4rger.txt", false));  // lower a-umlaut: not folded
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
}

}  // namespace
