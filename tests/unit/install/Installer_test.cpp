#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"

using namespace setuptest;
using testutil::Bytes;

namespace {

using Log = std::vector<std::string>;

std::string Text(const std::unique_ptr<MemoryStream>& stream) {
    return stream ? stream->Text() : "(none)";
}

std::string Lines(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; text.size() < count; ++i) text += "line " + std::to_string(i) + "\n";
    return text.substr(0, count);
}

// A product folder with a nested folder, an empty folder and an empty file.
std::vector<SourceEntry> Product() {
    return {
        SourceEntry::File("Setup.ini", "[Setup]\r\nProductName=Gadget\r\n"),
        SourceEntry::Directory("Program",
                               {SourceEntry::File("Readme.txt", "Read me."),
                                SourceEntry::Directory("Sub", {SourceEntry::File("Deep.txt", "deep")}),
                                SourceEntry::Directory("Empty", {})}),
    };
}

std::vector<std::uint8_t> Sealed(MemoryStream& archive) {
    std::vector<std::uint8_t> bytes = archive.Bytes();
    testutil::Seal(bytes);
    return bytes;
}

// Top-level "Program" folder whose list is given raw (records, bodies, end record).
std::vector<std::uint8_t> ProgramHolding(const std::vector<std::uint8_t>& list) {
    MemoryStream s = testutil::ArchiveStart();
    WriteEntryRecord(s, testutil::Record("Program", static_cast<std::int32_t>(list.size()), -1));
    s.Write(list.data(), list.size());
    testutil::PutEnd(s);
    return Sealed(s);
}

class Installer : public ::testing::Test {
protected:
    MemoryPlatform machine;
};

}  // namespace

TEST_F(Installer, LooksUpTopLevelEntriesByKindIgnoringCaseFirstMatchWinning) {
    MemoryStream s = testutil::ArchiveStart();
    testutil::PutFile(s, "Data", "first");
    testutil::PutFile(s, "DATA", "second");
    testutil::PutFile(s, "Files", "a file, not a folder");
    MemoryStream folder;
    testutil::PutFile(folder, "X.txt", "x");
    testutil::PutEnd(folder);
    WriteEntryRecord(s, testutil::Record("files", static_cast<std::int32_t>(folder.Size()), -1));
    s.Write(folder.Bytes().data(), folder.Bytes().size());
    testutil::PutEnd(s);
    PlaceSetup(machine, Sealed(s));
    TInstaller installer(machine);

    EXPECT_EQ(Text(installer.LoadFile("data")), "first");
    EXPECT_EQ(Text(installer.LoadFile("FILES")), "a file, not a folder");
    EXPECT_EQ(installer.LoadFile("Missing"), nullptr);
    EXPECT_EQ(installer.GetDirectorySize("FILES"), 1);

    // Asked for as a folder, a name that only a file carries gives nothing at all.
    EXPECT_EQ(installer.ExtractDirectory("Data", "C:\\Out\\", 0), 0);
    EXPECT_EQ(installer.GetDirectorySize("Data"), 0);
    EXPECT_FALSE(machine.DirectoryExists("C:\\Out"));
    EXPECT_TRUE(installer.Log().empty());
}

TEST_F(Installer, ExtractsATreeLoggingFoldersParentsFirstAndStampingFiles) {
    PlaceSetup(machine, Product());
    TInstaller installer(machine);
    EXPECT_EQ(installer.ExtractDirectory("program", "C:\\P\\X", 0), 0);

    EXPECT_EQ(installer.Log(),
              (Log{"EC:\\", "DC:\\P\\", "DC:\\P\\X\\", "EC:\\P\\X\\", "DC:\\P\\X\\Empty\\",
                   "FC:\\P\\X\\Readme.txt", "EC:\\P\\X\\", "DC:\\P\\X\\Sub\\", "FC:\\P\\X\\Sub\\Deep.txt"}));
    EXPECT_EQ(machine.FileText("C:\\P\\X\\Sub\\Deep.txt"), "deep");
    EXPECT_TRUE(machine.DirectoryExists("C:\\P\\X\\Empty"));
    EXPECT_EQ(machine.FileDate("C:\\P\\X\\Readme.txt"), static_cast<std::uint32_t>(installer.FileDate()));

    // An explicit stamp wins; a folder logged again is existing now.
    const std::int32_t stamp = 0x50A16000;  // 2020-05-01 12:00:00
    installer.ExtractDirectory("Program", "C:\\P\\X\\", stamp);
    EXPECT_EQ(machine.FileDate("C:\\P\\X\\Readme.txt"), static_cast<std::uint32_t>(stamp));
    EXPECT_EQ(installer.Log()[9], "EC:\\P\\X\\");

    // Files written again are not logged again: the uninstaller would count the second deletion
    // of each as a failure and report leftovers after a clean run.
    const Log& log = installer.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "FC:\\P\\X\\Readme.txt"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "FC:\\P\\X\\Sub\\Deep.txt"), 1);
    // Nor when the same file comes by another spelling of its folder, as Windows compares paths.
    installer.ExtractDirectory("Program", "c:\\p\\x", stamp);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& line) { return line[0] == 'F'; }),
              2);
}

TEST_F(Installer, WritesAnEmptyFileWithoutTouchingItsBody) {
    // The body is no zlib data: reading it would fail.
    MemoryStream list;
    WriteEntryRecord(list, testutil::Record("Zero.txt", 5, 0));
    list.Write("\xFF\xFF\xFF\xFF\xFF", 5);
    testutil::PutEnd(list);
    PlaceSetup(machine, ProgramHolding(list.Bytes()));
    TInstaller installer(machine);
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);
    EXPECT_TRUE(machine.HasFile("C:\\Out\\Zero.txt"));
    EXPECT_TRUE(machine.FileBytes("C:\\Out\\Zero.txt").empty());
    EXPECT_EQ(machine.FileDate("C:\\Out\\Zero.txt"), static_cast<std::uint32_t>(installer.FileDate()));
    EXPECT_EQ(installer.Log().back(), "FC:\\Out\\Zero.txt");
}

TEST_F(Installer, FileEventRedirectsSkipsAndAddsAttributes) {
    PlaceSetup(machine, Product());
    TInstaller installer(machine);
    installer.OnFile = [](TInstaller&, std::string& path, std::uint32_t& attributes) {
        EXPECT_EQ(attributes, 0u);
        if (path.ends_with("Readme.txt")) path = "C:\\Elsewhere\\Renamed.txt", attributes = kAttrReadOnly;
        if (path.ends_with("Deep.txt")) path.clear();
    };
    machine.AddFolder("C:\\Elsewhere");
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);

    EXPECT_FALSE(machine.FileExists("C:\\Out\\Sub\\Deep.txt"));
    EXPECT_EQ(machine.FileText("C:\\Elsewhere\\Renamed.txt"), "Read me.");
    EXPECT_EQ(machine.FileAttributes("C:\\Elsewhere\\Renamed.txt") & kAttrReadOnly, kAttrReadOnly);
    Log files;
    for (const std::string& line : installer.Log())
        if (line[0] == 'F') files.push_back(line);
    EXPECT_EQ(files, Log{"FC:\\Elsewhere\\Renamed.txt"});
}

TEST_F(Installer, ExistingFilesAreKeptWithoutOverwriteAndReplacedWhateverTheirAttributes) {
    PlaceSetup(machine, Product());
    machine.AddFile("C:\\Out\\Readme.txt", Bytes("user's"),
                    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    TInstaller installer(machine);

    installer.Overwrite = false;
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);
    EXPECT_EQ(machine.FileText("C:\\Out\\Readme.txt"), "user's");
    EXPECT_EQ(std::ranges::count(installer.Log(), "FC:\\Out\\Readme.txt"), 0);
    EXPECT_EQ(machine.FileText("C:\\Out\\Sub\\Deep.txt"), "deep");

    installer.Overwrite = true;
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);
    EXPECT_EQ(machine.FileText("C:\\Out\\Readme.txt"), "Read me.");
    EXPECT_EQ(machine.FileAttributes("C:\\Out\\Readme.txt") & (kAttrReadOnly | kAttrHidden | kAttrSystem),
              0u);
    // Deep.txt, written twice, stays one line; Readme.txt joins the log when it is replaced.
    EXPECT_EQ(std::ranges::count(installer.Log(), "FC:\\Out\\Sub\\Deep.txt"), 1);
    EXPECT_EQ(std::ranges::count(installer.Log(), "FC:\\Out\\Readme.txt"), 1);
}

TEST_F(Installer, RetryAfterAFailureRewritesTheWholeFileFromItsFirstByte) {
    const std::string big = Lines(300000);  // several read-ahead blocks
    PlaceSetup(machine,
               std::vector<SourceEntry>{SourceEntry::Directory(
                   "Program", {SourceEntry::File("Big.dat", big), SourceEntry::File("Small.txt", "s")})});
    TInstaller installer(machine);
    std::vector<std::string> failures;
    installer.OnError = [&](TInstaller&, const std::exception& error, const std::string& path, bool& retry) {
        EXPECT_FALSE(retry);
        failures.push_back(path + ": " + error.what());
        machine.FailWritesAfter(UINT64_MAX);  // the disk recovers
        retry = true;
    };
    machine.FailWritesAfter(100000, MemoryPlatform::kErrorWriteFault, "C:\\Out\\Big.dat");
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind("C:\\Out\\Big.dat: ", 0), 0u) << failures[0];
    EXPECT_EQ(machine.FileText("C:\\Out\\Big.dat"), big);
    EXPECT_EQ(std::ranges::count(installer.Log(), "FC:\\Out\\Big.dat"), 1);
    EXPECT_EQ(installer.Log().back(), "FC:\\Out\\Small.txt");
}

TEST_F(Installer, AFailureThatIsNotRetriedEndsTheExtraction) {
    PlaceSetup(machine, Product());
    machine.AddFile("C:\\Out\\Readme.txt", "in use");
    machine.LockFile("C:\\Out\\Readme.txt");
    {
        TInstaller installer(machine);
        EXPECT_THROW(installer.ExtractDirectory("Program", "C:\\Out\\", 0), EFileError);
        EXPECT_FALSE(machine.FileExists("C:\\Out\\Sub\\Deep.txt"));
    }
    TInstaller installer(machine);
    int asked = 0;
    installer.OnError = [&](TInstaller&, const std::exception&, const std::string&, bool& retry) {
        if (++asked == 2) machine.UnlockFile("C:\\Out\\Readme.txt");
        retry = asked < 3;
    };
    installer.ExtractDirectory("Program", "C:\\Out\\", 0);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(machine.FileText("C:\\Out\\Readme.txt"), "Read me.");
}

TEST_F(Installer, MeasuresNestedFoldersWithoutCreatingAnything) {
    PlaceSetup(
        machine,
        std::vector<SourceEntry>{SourceEntry::Directory(
            "Program", {SourceEntry::File("Ten", std::string(10, 't')),
                        SourceEntry::Directory(
                            "A", {SourceEntry::File("Zero", std::string()),
                                  SourceEntry::Directory("B", {SourceEntry::File("Five", "fffff")})})})});
    TInstaller installer(machine);
    EXPECT_EQ(installer.GetDirectorySize("Program"), 15);
    EXPECT_TRUE(installer.Log().empty());
}

TEST_F(Installer, DamagedEntryListsStopBeforeAnythingLeavesTheDestination) {
    auto fileEntry = [](const std::string& name) {
        MemoryStream list;
        testutil::PutFile(list, "Good.txt", "good");
        testutil::PutFile(list, name, "evil");
        testutil::PutEnd(list);
        return list.Bytes();
    };
    std::vector<std::vector<std::uint8_t>> lists;
    for (const char* name : {"..", "..\\Evil.txt", "C:Evil.txt", "a/b", ".. ", "...", " . "})
        lists.push_back(fileEntry(name));
    // Body lengths that point backwards or past the list.
    for (std::int32_t length : {-77, 1 << 30}) {
        MemoryStream list;
        WriteEntryRecord(list, testutil::Record("Bad.txt", length, 3));
        testutil::PutEnd(list);
        lists.push_back(list.Bytes());
    }
    // Folders nested far deeper than any path could reach.
    std::vector<std::uint8_t> nested;
    {
        MemoryStream end;
        testutil::PutEnd(end);
        nested = end.Bytes();
    }
    for (int i = 0; i < 1000; ++i) {
        MemoryStream level;
        WriteEntryRecord(level, testutil::Record("d", static_cast<std::int32_t>(nested.size()), -1));
        level.Write(nested.data(), nested.size());
        testutil::PutEnd(level);
        nested = level.Bytes();
    }
    lists.push_back(nested);

    for (const auto& list : lists) {
        MemoryPlatform fresh;
        PlaceSetup(fresh, ProgramHolding(list));
        TInstaller installer(fresh);
        EXPECT_THROW(installer.GetDirectorySize("Program"), ESetupError);
        try {
            installer.ExtractDirectory("Program", "C:\\Dest\\Inner\\", 0);
            ADD_FAILURE() << "no error";
        } catch (const ESetupError& error) {
            EXPECT_STREQ(error.what(), kCorruptedArchiveMessage);
        }
        for (const std::string& path : fresh.ListTree("C:\\"))
            if (fresh.FileExists(path) && path.find("Evil") != std::string::npos) ADD_FAILURE() << path;
        EXPECT_FALSE(fresh.FileExists("C:\\Dest\\Evil.txt"));
        for (const std::string& line : installer.Log())
            EXPECT_TRUE(line.rfind("FC:\\Dest\\Inner\\", 0) == 0 || line[0] != 'F') << line;
    }
}

TEST_F(Installer, ACorruptBodyGoesThroughTheErrorEventAndLoadFileFails) {
    MemoryStream list;
    WriteEntryRecord(list, testutil::Record("Broken.txt", 6, 40));
    list.Write("\x78\xDA garbage", 6);
    testutil::PutEnd(list);
    MemoryStream s = testutil::ArchiveStart();
    WriteEntryRecord(s, testutil::Record("Broken.txt", 6, 40));
    s.Write("\x78\xDA garbage", 6);
    WriteEntryRecord(s, testutil::Record("Program", static_cast<std::int32_t>(list.Size()), -1));
    s.Write(list.Bytes().data(), list.Bytes().size());
    testutil::PutEnd(s);
    PlaceSetup(machine, Sealed(s));
    TInstaller installer(machine);

    EXPECT_THROW(installer.LoadFile("Broken.txt"), ESetupError);
    std::string reported;
    installer.OnError = [&](TInstaller&, const std::exception& error, const std::string& path, bool&) {
        reported = path + ": " + error.what();
    };
    EXPECT_THROW(installer.ExtractDirectory("Program", "C:\\Out\\", 0), ESetupError);
    EXPECT_EQ(reported, std::string("C:\\Out\\Broken.txt: ") + kCorruptedArchiveMessage);
    EXPECT_EQ(installer.Log().back(), "DC:\\Out\\");
}

namespace {

// What one extraction did: every block written (the file and its size after it), the files'
// contents afterwards, the log and the error that ended it.
struct Outcome {
    std::vector<std::string> writes;
    std::vector<std::string> files;
    Log log;
    std::string error;
    bool operator==(const Outcome&) const = default;
};

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) b = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    return bytes;
}

std::string Digest(const std::string& text) {
    return std::to_string(text.size()) + "/" + std::to_string(std::hash<std::string>{}(text));
}

Outcome ExtractWithUnreadableArchive(const std::vector<std::uint8_t>& archive, std::int64_t unreadableFrom,
                                     bool ahead) {
    MemoryPlatform machine;
    PlaceSetupDat(machine, archive);
    const std::string data = std::string(kSetupFolder) + "Setup.dat";
    TInstaller installer(machine);
    installer.InflateAhead = ahead;
    machine.FailReadsFrom(data, unreadableFrom);
    Outcome outcome;
    installer.OnWorking = [&] {
        const std::string& path = machine.Journal().back().path;
        outcome.writes.push_back(path + " " + std::to_string(machine.FileText(path).size()));
    };
    // The first failure of each file is retried once: the second attempt starts over.
    std::vector<std::string> retried;
    installer.OnError = [&](TInstaller&, const std::exception&, const std::string& path, bool& retry) {
        retry = std::find(retried.begin(), retried.end(), path) == retried.end();
        retried.push_back(path);
    };
    try {
        installer.ExtractDirectory("Program", "C:\\Out\\", 0);
    } catch (const std::exception& error) {
        outcome.error = error.what();
    }
    for (const MemoryPlatform::Write& write : machine.Journal())
        outcome.files.push_back(!machine.FileExists(write.path) ? write.path + " gone"
                                : write.kind == MemoryPlatform::Write::Kind::File
                                    ? write.path + " " + Digest(machine.FileText(write.path))
                                    : write.path);
    outcome.log = installer.Log();
    return outcome;
}

}  // namespace

// Bodies inflated on a second thread must change nothing: wherever the archive stops being
// readable, the run writes what the run without that thread writes, fails with its error, and
// writes nothing after it.
TEST(InstallerInflatingAhead, FailsAtEveryBlockAsTheRunWithoutIt) {
    // Presets of 19 to 228 KB go round the ring of small pieces several times.
    std::vector<SourceEntry> presets;
    for (unsigned i = 1; i <= 12; ++i)
        presets.push_back(SourceEntry::File("P" + std::to_string(i) + ".bin", Noise(i * 19 * 1000, i + 2)));
    const std::vector<std::uint8_t> archive = testutil::WriteToBytes({SourceEntry::Directory(
        "Program",
        {SourceEntry::File("A.bin", Noise(700 * 1024, 1)), SourceEntry::File("B.txt", Lines(3 << 20)),
         SourceEntry::File("Empty.txt", std::string()), SourceEntry::File("Small.txt", "small"),
         SourceEntry::Directory("Presets", presets),
         SourceEntry::Directory("Sub", {SourceEntry::File("C.bin", Noise(300 * 1024, 2))})})});
    const Outcome whole = ExtractWithUnreadableArchive(archive, -1, true);
    EXPECT_EQ(whole.error, "");
    EXPECT_EQ(whole, ExtractWithUnreadableArchive(archive, -1, false));
    int failed = 0;
    for (std::int64_t at = 80 * 1024; at < static_cast<std::int64_t>(archive.size()); at += 80 * 1024) {
        const Outcome ahead = ExtractWithUnreadableArchive(archive, at, true);
        EXPECT_EQ(ahead, ExtractWithUnreadableArchive(archive, at, false)) << "unreadable from " << at;
        failed += !ahead.error.empty();
    }
    EXPECT_GE(failed, 15);
}
