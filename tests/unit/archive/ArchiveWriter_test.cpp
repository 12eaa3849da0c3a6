#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <random>

#include "ArchiveTestUtil.h"
#include "archive/ArchiveWriter.h"
#include "archive/BodyInflater.h"
#include "archive/SetupData.h"
#include "system/Exceptions.h"

namespace {

using namespace testutil;

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// Every file of the archive, inflated, by path.
std::map<std::string, std::vector<std::uint8_t>> Unpack(const std::vector<std::uint8_t>& archive) {
    MemoryStream s(archive);
    ArchiveInfo info = CheckArchive(s);
    std::map<std::string, std::vector<std::uint8_t>> files;
    WalkEntries(s, info, [&](const WalkEntry& e) {
        if (e.Record.IsDirectory()) return;
        std::vector<std::uint8_t>& out = files[std::string(e.Path)];
        InflateBody(
            s, e.BodyStart, e.Record.BodyLength, e.Record.UnpackedSize,
            [&](const std::uint8_t* data, std::size_t size) { out.insert(out.end(), data, data + size); },
            true);
    });
    return files;
}

TEST(ArchiveWriter, OneFileHasTheWorkedExamplesLayout) {
    std::vector<std::uint8_t> content = Noise(1000, 1);
    std::vector<std::uint8_t> archive = WriteToBytes({SourceEntry::File("Setup.ini", content)});
    const std::size_t body = CompressBody(content.data(), content.size()).size();

    EXPECT_EQ(std::string(archive.begin(), archive.begin() + 8), "KW/ISB/3");
    EXPECT_EQ(Int32At(archive, 8), static_cast<std::int32_t>(25 + 76 + body + 76));
    EXPECT_EQ(archive.size(), 28 + 25 + 76 + body + 76);
    EXPECT_EQ(Int32At(archive, 24), 1);  // file count
    EXPECT_EQ(Int32At(archive, 28), -100);
    EXPECT_EQ(archive[53], 9);  // name length, then the name
    EXPECT_EQ(std::string(archive.begin() + 54, archive.begin() + 63), "Setup.ini");
    EXPECT_EQ(Int32At(archive, 53 + 68), static_cast<std::int32_t>(body));
    EXPECT_EQ(Int32At(archive, 53 + 72), 1000);
    EXPECT_EQ(archive[129], 0x78);  // maximum compression
    EXPECT_EQ(archive[130], 0xDA);
    const std::size_t end = 129 + body;
    EXPECT_EQ(archive[end], 0);  // end record: name length 0, body 0, unpacked -1
    EXPECT_EQ(Int32At(archive, end + 68), 0);
    EXPECT_EQ(Int32At(archive, end + 72), -1);
    EXPECT_EQ(Adler32(1, archive.data() + 28, archive.size() - 28),
              static_cast<std::uint32_t>(Int32At(archive, 12)));
}

TEST(ArchiveWriter, EmptyFolderHasBodyLength76AndEmptyFileAnEmptyZlibStream) {
    std::vector<std::uint8_t> archive =
        WriteToBytes({SourceEntry::Directory("Empty", {}), SourceEntry::File("Zero", std::string())});
    EXPECT_EQ(Int32At(archive, 53 + 68), 76);
    EXPECT_EQ(Int32At(archive, 53 + 72), -1);
    const std::size_t zero = 53 + 76 + 76;
    EXPECT_EQ(Int32At(archive, zero + 72), 0);
    ASSERT_EQ(Int32At(archive, zero + 68), 8);
    std::vector<std::uint8_t> body(archive.begin() + zero + 76, archive.begin() + zero + 76 + 8);
    EXPECT_EQ(body, (std::vector<std::uint8_t>{0x78, 0xDA, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(Int32At(archive, 24), 1);
}

TEST(ArchiveWriter, RoundTripGivesBackEveryFile) {
    std::vector<SourceEntry> tree = SampleTree();
    tree.push_back(SourceEntry::FileFrom("Noise.bin", 300000, [] { return Noise(300000, 5); }));
    auto files = Unpack(WriteToBytes(tree));
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files["Setup.ini"], Bytes("[Setup]\nProductName=Gadget\n"));
    EXPECT_EQ(files["Plugins\\Gadget.dll"], SampleTree()[1].Children[0].Bytes);
    EXPECT_TRUE(files["Plugins\\Zero.txt"].empty());
    EXPECT_EQ(files["Noise.bin"], Noise(300000, 5));
}

TEST(ArchiveWriter, SameInputGivesTheSameBytesWhateverTheOrderAndThreads) {
    std::vector<SourceEntry> tree = SampleTree();
    for (int i = 0; i < 12; ++i)
        tree.push_back(SourceEntry::File("f" + std::to_string(i), Noise(5000 * i, i)));
    std::vector<SourceEntry> reversed(tree.rbegin(), tree.rend());
    const std::vector<std::uint8_t> one = WriteToBytes(tree, 1);
    EXPECT_EQ(WriteToBytes(tree, 1), one);
    EXPECT_EQ(WriteToBytes(tree, 2), one);
    EXPECT_EQ(WriteToBytes(reversed, 4), one);
}

TEST(ArchiveWriter, SortsNamesBytewise) {
    std::vector<std::uint8_t> archive =
        WriteToBytes({SourceEntry::File("b1", "1"), SourceEntry::File("\xE9", "2"),
                      SourceEntry::File("B2", "3"), SourceEntry::File("a", "4")});
    MemoryStream s(archive);
    ArchiveInfo info = CheckArchive(s);
    std::string order;
    WalkEntries(s, info, [&](const WalkEntry& e) { order += e.Record.Name; });
    EXPECT_EQ(order, "B2ab1\xE9");
}

TEST(ArchiveWriter, WritesAtTheStreamPositionAndFillsTheChecksumThere) {
    MemoryStream out;
    std::vector<std::uint8_t> stub(777, 'S');
    out.Write(stub.data(), stub.size());
    ArchiveWriterOptions options;
    options.Version = SampleVersion();
    ArchiveWriteResult result = WriteArchive(out, SampleTree(), options);
    EXPECT_EQ(result.ArchiveStart, 777);
    EXPECT_EQ(out.Position(), out.Size());
    EXPECT_EQ(result.ArchiveSize, out.Size() - 777);
    EXPECT_EQ(result.FileCount, 4);
    out.Seek(777);
    EXPECT_EQ(CheckArchive(out).DataLength, result.DataLength);
}

std::string WriteError(const std::vector<SourceEntry>& tree, TProgramVersion version = SampleVersion()) {
    ArchiveWriterOptions options;
    options.Version = version;
    MemoryStream out;
    try {
        WriteArchive(out, tree, options);
    } catch (const EArchiveWriteError& error) {
        EXPECT_EQ(out.Size(), 0) << "wrote before refusing";
        return error.Message();
    }
    return "written";
}

TEST(ArchiveWriter, RefusesVersionsWhoseTextWouldNotReadBack) {
    TProgramVersion v = SampleVersion();
    v.Minor = 10;
    EXPECT_EQ(WriteError({}, v),
              "Version 2.103: the minor and release numbers must be single digits (0 to 9)");
    v.Minor = 9;
    v.Release = 12;
    EXPECT_NE(WriteError({}, v), "written");
    v.Release = 9;
    EXPECT_EQ(WriteError({}, v), "written");
    v.Beta = -1;
    EXPECT_EQ(WriteError({}, v), kVersionNegativeMessage);
}

TEST(ArchiveWriter, RefusesNamesTheReaderWouldRefuse) {
    EXPECT_EQ(WriteError({SourceEntry::File(std::string(67, 'n'), "x")}), "written");
    EXPECT_EQ(WriteError({SourceEntry::Directory("Dir", {SourceEntry::File(std::string(68, 'n'), "x")})}),
              "'Dir\\" + std::string(68, 'n') + "': a name in a setup archive is at most 67 bytes long");
    for (const char* name : {"", ".", "..", "a\\b", "a:b", "a/b", "bell\a"})
        EXPECT_NE(WriteError({SourceEntry::File(name, "x")}), "written") << name;
}

TEST(ArchiveWriter, RefusesNamesThatDifferOnlyInLetterCase) {
    EXPECT_EQ(WriteError({SourceEntry::File("Readme.txt", "a"), SourceEntry::File("README.TXT", "b")}),
              "'README.TXT' and 'Readme.txt' differ only in the case of letters; Windows would see one name");
    EXPECT_NE(WriteError({SourceEntry::File("data", "a"), SourceEntry::Directory("Data", {})}), "written");
    EXPECT_EQ(WriteError({SourceEntry::File("\xE9", "a"), SourceEntry::File("\xC9", "b")}), "written");
}

TEST(ArchiveWriter, RefusesFilesOf2GiBWithoutReadingThem) {
    bool read = false;
    auto reader = [&read] {
        read = true;
        return std::vector<std::uint8_t>();
    };
    EXPECT_EQ(WriteError({SourceEntry::FileFrom("big.bin", std::int64_t{1} << 31, reader)}),
              "'big.bin': a file in a setup archive must be smaller than 2 GiB");
    EXPECT_FALSE(read);
}

TEST(ArchiveWriter, ReportsTheFirstFailingFileInOrderWhateverTheThreads) {
    auto failing = [](const std::string& what) {
        return [what]() -> std::vector<std::uint8_t> { throw EFileError(what); };
    };
    std::vector<SourceEntry> tree;
    for (int i = 0; i < 8; ++i) tree.push_back(SourceEntry::File("ok" + std::to_string(i), Noise(20000, i)));
    tree.push_back(SourceEntry::FileFrom("x1", -1, failing("first")));
    tree.push_back(SourceEntry::FileFrom("x2", -1, failing("second")));
    for (unsigned threads : {1u, 2u, 3u}) {
        ArchiveWriterOptions options;
        options.Threads = threads;
        MemoryStream out;
        try {
            WriteArchive(out, tree, options);
            ADD_FAILURE() << "written";
        } catch (const EFileError& error) {
            EXPECT_EQ(error.Message(), "first") << threads;
        }
    }
}

TEST(BodyInflater, DamagedOrShortBodiesAreCorruption) {
    std::vector<std::uint8_t> content = Noise(100000, 3);
    std::vector<std::uint8_t> body = CompressBody(content.data(), content.size());
    auto inflate = [&](std::vector<std::uint8_t> bytes, std::int64_t size, bool strict) {
        MemoryStream s(bytes);
        std::size_t produced = 0;
        try {
            InflateBody(
                s, 0, static_cast<std::int32_t>(bytes.size()), size,
                [&](const std::uint8_t*, std::size_t n) { produced += n; }, strict);
        } catch (const ESetupError& error) {
            EXPECT_EQ(error.Message(), kCorruptedArchiveMessage);
            return std::string("corrupt");
        }
        return std::to_string(produced);
    };
    EXPECT_EQ(inflate(body, 100000, true), "100000");
    EXPECT_EQ(inflate(body, 100001, false), "corrupt");  // the stream ends before the file
    EXPECT_EQ(inflate(body, 99999, false), "99999");     // what extraction asks for, no more
    EXPECT_EQ(inflate(body, 99999, true), "corrupt");    // verify wants the sizes to agree
    std::vector<std::uint8_t> cut(body.begin(), body.end() - 10);
    EXPECT_EQ(inflate(cut, 100000, false), "corrupt");
    std::vector<std::uint8_t> flipped = body;
    flipped[body.size() / 2] ^= 0x10;
    EXPECT_EQ(inflate(flipped, 100000, true), "corrupt");
    std::vector<std::uint8_t> trailing = body;
    trailing.push_back(0);
    EXPECT_EQ(inflate(trailing, 100000, false), "100000");
    EXPECT_EQ(inflate(trailing, 100000, true), "corrupt");
    EXPECT_EQ(inflate({}, 0, true), "0");  // an empty file may have no body at all
}

}  // namespace
