// Archives made to hurt: names that leave the folder or open a device, lengths that point
// anywhere, nesting beyond any path, bodies that are no zlib or inflate to the wrong size.
// Each one must end in the corruption message or the file error of the extraction, never in
// a hang, and nothing may be written outside the destination.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "install/Installer.h"
#include "archive/SetupData.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "tests/unit/archive/ArchiveTestUtil.h"
#include "tests/unit/archive/SetupMachine.h"

using namespace setuptest;

namespace {

constexpr char kDestination[] = "C:\\Dest\\";
using Bytes = std::vector<std::uint8_t>;

// A sealed archive: a top-level Setup.ini, then a folder "Program" whose list is given raw.
Bytes ProgramArchive(const Bytes& programList) {
    MemoryStream s = testutil::ArchiveStart();
    testutil::PutFile(s, "Setup.ini", "[Setup]\r\n");
    WriteEntryRecord(s, testutil::Record("Program", static_cast<std::int32_t>(programList.size()), -1));
    s.Write(programList.data(), programList.size());
    testutil::PutEnd(s);
    Bytes archive = s.Bytes();
    testutil::Seal(archive);
    return archive;
}

// A list with one file whose record is written as given and whose body is body.
Bytes OneFile(const EntryRecord& record, const Bytes& body) {
    MemoryStream s;
    WriteEntryRecord(s, record);
    s.Write(body.data(), body.size());
    testutil::PutEnd(s);
    return s.Bytes();
}

Bytes Compressed(const std::string& text) {
    return CompressBody(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

Bytes FileNamed(const std::string& name) {
    Bytes body = Compressed("evil");
    return OneFile(testutil::Record(name, static_cast<std::int32_t>(body.size()), 4), body);
}

Bytes FolderNamed(const std::string& name) {
    MemoryStream s;
    WriteEntryRecord(s, testutil::Record(name, static_cast<std::int32_t>(kEntryRecordSize), -1));
    testutil::PutEnd(s);  // the folder's own (empty) list
    testutil::PutEnd(s);
    return s.Bytes();
}

std::set<std::string> Everything(MemoryPlatform& machine) {
    std::set<std::string> all;
    for (char drive = 'A'; drive <= 'Z'; ++drive)
        for (const std::string& path : machine.ListTree(std::string(1, drive) + ":\\"))
            all.insert(MemoryPlatform::PathKey(path));
    return all;
}

struct Outcome {
    std::string error;                 // "corrupt", "file error", "read error", "" when none
    std::vector<std::string> outside;  // new paths outside C:\Dest\ (must stay empty)
    std::vector<std::string> inside;   // new paths inside, below C:\Dest\, stored spelling
    std::vector<std::string> log;
};

std::string Classify(const Exception& error) {
    if (dynamic_cast<const ESetupError*>(&error) != nullptr)
        return error.Message() == kCorruptedArchiveMessage ? "corrupt" : "setup error: " + error.Message();
    if (dynamic_cast<const EReadError*>(&error) != nullptr) return "read error";
    if (dynamic_cast<const EFileError*>(&error) != nullptr) return "file error";
    return "other: " + error.Message();
}

// Constructs the reader over the archive appended to Setup.exe, measures and extracts
// "Program" into C:\Dest\ and loads Setup.ini; the first error ends the run.
Outcome Install(const Bytes& archive, MemoryPlatform& machine) {
    PlaceSetup(machine, archive);
    machine.AddFolder("C:\\Dest");
    const std::set<std::string> before = Everything(machine);
    Outcome outcome;
    try {
        TInstaller installer(machine);
        try {
            installer.GetDirectorySize("Program");
            installer.ExtractDirectory("Program", kDestination, 0);
            installer.LoadFile("Setup.ini");
        } catch (const Exception& error) {
            outcome.error = Classify(error);
        }
        outcome.log = installer.Log();
    } catch (const Exception& error) {
        outcome.error = Classify(error);
    }
    const std::string inside = MemoryPlatform::PathKey(kDestination) + "\\";
    for (const std::string& path : Everything(machine)) {
        if (before.count(path) != 0) continue;
        (path.rfind(inside, 0) == 0 ? outcome.inside : outcome.outside).push_back(path);
    }
    return outcome;
}

Outcome Install(const Bytes& archive) {
    MemoryPlatform machine;
    return Install(archive, machine);
}

}  // namespace

TEST(HostileArchive, NamesThatLeaveTheFolderOrOpenADeviceAreCorruption) {
    const std::string longName(68, 'n');
    const char* const names[] = {
        "..",        ".",      "a\\b",        "..\\Evil.txt", "a/b",       "C:x",         "C:",
        "CON",       "con",    "CON.txt",     "nul",          "NUL .txt",  "PRN",         "prn.log",
        "AUX",       "aux.h",  "COM1",        "com9.dat",     "LPT1",      "Lpt9",        "COM\xB9",
        "LPT\xB3.x", "CONIN$", "conout$.log", "a.",           "a ",        "Gadget.dll.", "...",
        " ",         ". ",     ".. ",         "name\x01",     "tab\there",
    };
    for (const char* name : names) {
        for (const Bytes& list : {FileNamed(name), FolderNamed(name)}) {
            Outcome outcome = Install(ProgramArchive(list));
            EXPECT_EQ(outcome.error, "corrupt") << "name '" << name << "'";
            EXPECT_TRUE(outcome.outside.empty()) << "name '" << name << "'";
            EXPECT_TRUE(outcome.inside.empty()) << "name '" << name << "'";
        }
    }
}

TEST(HostileArchive, NamesThatOnlyLookLikeDevicesOrDotsStayValid) {
    for (const char* name : {"COM10", "COM0", "LPT", "CONSOLE", "con-fig.txt", "Nul1.txt", "auxiliary",
                             ".hidden", "a.b", "a..b", "\xE9t\xE9.txt", "CON$"}) {
        MemoryPlatform machine;
        Outcome outcome = Install(ProgramArchive(FileNamed(name)), machine);
        EXPECT_EQ(outcome.error, "") << "name '" << name << "'";
        // In the machine's ANSI code page, as every unmarked archive.
        EXPECT_EQ(machine.FileText(std::string(kDestination) + *machine.TextAsUtf8(0, name)), "evil")
            << "name '" << name << "'";
    }
}

TEST(HostileArchive, WriterRefusesTheNamesTheReaderRefuses) {
    for (const char* name : {"CON", "lpt1.txt", "a.", "a "}) {
        MemoryStream out;
        EXPECT_THROW(WriteArchive(out, {SourceEntry::File(name, "x")}, ArchiveWriterOptions{}),
                     EArchiveWriteError)
            << name;
    }
}

TEST(HostileArchive, NameLengthAbove67IsCorruptionNotACutName) {
    Bytes list = FileNamed(std::string(67, 'n'));
    list[0] = 68;  // the length byte claims one byte more than the field holds
    Outcome outcome = Install(ProgramArchive(list));
    EXPECT_EQ(outcome.error, "corrupt");
    EXPECT_TRUE(outcome.inside.empty());
    list[0] = 255;
    EXPECT_EQ(Install(ProgramArchive(list)).error, "corrupt");
}

TEST(HostileArchive, BodyLengthsThatPointBackwardsOrPastTheListAreCorruption) {
    Bytes body = Compressed("evil");
    for (std::int32_t length :
         {-1, -76, -77, INT_MIN, static_cast<std::int32_t>(body.size()) + 77, 1 << 30, INT_MAX}) {
        Outcome outcome = Install(ProgramArchive(OneFile(testutil::Record("Bad.txt", length, 4), body)));
        EXPECT_EQ(outcome.error, "corrupt") << length;
        EXPECT_TRUE(outcome.outside.empty()) << length;
    }
    // The same at the top level: even LoadFile of a good entry stops at the damaged record.
    MemoryStream s = testutil::ArchiveStart();
    WriteEntryRecord(s, testutil::Record("Evil.txt", -76, 4));
    testutil::PutFile(s, "Setup.ini", "[Setup]\r\n");
    testutil::PutEnd(s);
    Bytes archive = s.Bytes();
    testutil::Seal(archive);
    EXPECT_EQ(Install(archive).error, "corrupt");
}

TEST(HostileArchive, FolderWhoseBodyLengthPointsBackIntoItselfIsCorruption) {
    Bytes file = Compressed("inner");
    auto folderOf = [&](std::int32_t bodyLength) {
        MemoryStream s;
        WriteEntryRecord(s, testutil::Record("Sub", bodyLength, -1));
        WriteEntryRecord(s, testutil::Record("Inner.txt", static_cast<std::int32_t>(file.size()), 5));
        s.Write(file.data(), file.size());
        testutil::PutEnd(s);  // of Sub
        testutil::PutEnd(s);  // of Program
        return s.Bytes();
    };
    const auto whole = static_cast<std::int32_t>(kEntryRecordSize * 2 + file.size());
    // Too short for its own end record, ending inside its file's record or body, or empty.
    for (std::int32_t length : {whole - 1, static_cast<std::int32_t>(kEntryRecordSize), 10, 0}) {
        Outcome outcome = Install(ProgramArchive(folderOf(length)));
        EXPECT_EQ(outcome.error, "corrupt") << length;
        EXPECT_TRUE(outcome.outside.empty()) << length;
    }
    EXPECT_EQ(Install(ProgramArchive(folderOf(whole))).error, "");
}

TEST(HostileArchive, NestingTenThousandFoldersDeepStopsAtTheDepthLimit) {
    // Written front to back: folder i holds folder i + 1 and its end record.
    constexpr int kDepth = 10000;
    MemoryStream s;
    for (int i = 0; i < kDepth; ++i)
        WriteEntryRecord(
            s, testutil::Record("d", static_cast<std::int32_t>(kEntryRecordSize * (2 * (kDepth - 1 - i) + 1)),
                                -1));
    for (int i = 0; i <= kDepth; ++i) testutil::PutEnd(s);
    Bytes archive = ProgramArchive(s.Bytes());

    MemoryPlatform machine;
    Outcome outcome = Install(archive, machine);
    EXPECT_EQ(outcome.error, "corrupt");
    EXPECT_TRUE(outcome.outside.empty());
    EXPECT_LE(outcome.inside.size(), static_cast<std::size_t>(kMaxEntryDepth));

    // The walk that lists an archive is iterative and gets through it.
    MemoryStream stream(archive);
    ArchiveInfo info = CheckArchive(stream);
    int deepest = 0;
    WalkEntries(stream, info, [&](const WalkEntry& entry) { deepest = std::max(deepest, entry.Depth); });
    EXPECT_EQ(deepest, kDepth);
}

TEST(HostileArchive, BodiesThatInflateToTheWrongSizeOrAreNoZlib) {
    const std::string text = "hello, hello, hello";
    Bytes good = Compressed(text);
    auto withFile = [](const Bytes& body, std::int32_t bodyLength, std::int32_t unpacked) {
        return ProgramArchive(OneFile(testutil::Record("File.txt", bodyLength, unpacked), body));
    };
    const auto length = static_cast<std::int32_t>(good.size());

    // More data than the record says: the file gets exactly the recorded size, as the
    // reader only ever asks for that much.
    MemoryPlatform more;
    EXPECT_EQ(Install(withFile(good, length, 5), more).error, "");
    EXPECT_EQ(more.FileText("C:\\Dest\\File.txt"), "hello");

    // Fewer, up to the largest size a record can hold: no allocation of that size, an error.
    for (std::int32_t unpacked : {static_cast<std::int32_t>(text.size()) + 1, INT_MAX}) {
        Outcome fewer = Install(withFile(good, length, unpacked));
        EXPECT_EQ(fewer.error, "corrupt") << unpacked;
        EXPECT_TRUE(fewer.outside.empty());
    }

    // Not zlib at all, a preset dictionary that no one can give, a broken deflate block.
    Bytes garbage(40, 0xA5);
    Bytes dictionary = {0x78, 0xBB, 0x00, 0x00, 0x00, 0x01, 0x4B, 0x04, 0x00};
    Bytes brokenBlock = good;
    brokenBlock[2] = 0xFF;  // reserved block type 3
    for (const Bytes& body : {garbage, dictionary, brokenBlock}) {
        Outcome outcome = Install(withFile(body, static_cast<std::int32_t>(body.size()), 10));
        EXPECT_EQ(outcome.error, "corrupt");
        EXPECT_TRUE(outcome.outside.empty());
    }

    // A body cut short: its stream ends inside the deflate data.
    Bytes cut(good.begin(), good.begin() + 6);
    EXPECT_EQ(Install(withFile(cut, 6, static_cast<std::int32_t>(text.size()))).error, "corrupt");
}

TEST(HostileArchive, TopLevelFileOfHugeSizeFailsLoadFileWithoutAllocatingIt) {
    MemoryStream s = testutil::ArchiveStart();
    Bytes body = Compressed("tiny");
    WriteEntryRecord(s, testutil::Record("Setup.ini", static_cast<std::int32_t>(body.size()), INT_MAX));
    s.Write(body.data(), body.size());
    testutil::PutEnd(s);
    Bytes archive = s.Bytes();
    testutil::Seal(archive);
    EXPECT_EQ(Install(archive).error, "corrupt");
}

TEST(HostileArchive, DataLengthOrTruncationBeyondTheFileIsCorruptionAtConstruction) {
    Bytes good = ProgramArchive(FileNamed("Good.txt"));
    Bytes longer = good;
    longer[8 + 3] = 0x10;  // data length far beyond the file; the checksum no longer matches
    Bytes truncated(good.begin(), good.end() - 50);
    Bytes negative = good;
    negative[8 + 3] = 0x80;
    for (const Bytes& archive : {longer, truncated, negative}) {
        Outcome outcome = Install(archive);
        EXPECT_EQ(outcome.error, "corrupt");
        EXPECT_TRUE(outcome.inside.empty());
        EXPECT_TRUE(outcome.outside.empty());
    }
    // Sealed over a data length that runs past the file: the missing bytes count as none, so
    // the sum matches, yet the archive is refused before its list is read past the end.
    Bytes sealedLong = good;
    const auto claimed = static_cast<std::uint32_t>(good.size() - kArchiveHeaderSize + 4096);
    PutWord(sealedLong, 8, claimed);
    PutWord(sealedLong, 12, Adler32(1, good.data() + kArchiveHeaderSize, good.size() - kArchiveHeaderSize));
    Outcome outcome = Install(sealedLong);
    EXPECT_EQ(outcome.error, "corrupt");
    EXPECT_TRUE(outcome.inside.empty());
    EXPECT_TRUE(outcome.outside.empty());
}

TEST(HostileArchive, AFullDiskOrFailingWriteDuringExtractionIsTheFileErrorAndStaysInside) {
    std::string big(200000, 'x');
    for (std::size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('a' + i % 26);
    Bytes body = Compressed(big);
    Bytes archive = ProgramArchive(OneFile(testutil::Record("Big.bin", static_cast<std::int32_t>(body.size()),
                                                            static_cast<std::int32_t>(big.size())),
                                           body));
    for (bool diskFull : {true, false}) {
        MemoryPlatform machine;
        if (diskFull)
            machine.SetFreeDiskSpace(100000);
        else
            machine.FailWritesAfter(1000, MemoryPlatform::kErrorWriteFault, "C:\\Dest\\Big.bin");
        Outcome outcome = Install(archive, machine);
        EXPECT_EQ(outcome.error, "file error") << diskFull;
        EXPECT_TRUE(outcome.outside.empty()) << diskFull;
        // No item for a file that was not written whole.
        for (const std::string& line : outcome.log) EXPECT_NE(line[0], 'F') << line;
    }
}
