#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/ArchiveWriter.h"
#include "archive/BodyInflater.h"
#include "archive/SetupData.h"
#include "system/Stream.h"
#include "tests/unit/archive/ArchiveTestUtil.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/host/CodePage.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(PLUGSETUP_SOURCE_DIR);

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The tree an archive holds, read back with the reader's own inflater.
std::vector<SourceEntry> TreeOf(EntryListReader& list) {
    std::vector<SourceEntry> entries;
    EntryRecord record;
    while (list.Next(record)) {
        if (record.IsDirectory()) {
            EntryListReader nested = list.Nested();
            entries.push_back(SourceEntry::Directory(record.Name, TreeOf(nested)));
            continue;
        }
        std::vector<std::uint8_t> bytes;
        InflateBody(list.GetStream(), list.BodyStart(), record.BodyLength, record.UnpackedSize,
                    [&](const std::uint8_t* data, std::size_t size) {
                        bytes.insert(bytes.end(), data, data + size);
                    });
        entries.push_back(SourceEntry::File(record.Name, std::move(bytes)));
    }
    return entries;
}

struct Sizes {
    std::size_t ours = 0;
    std::size_t zlib9 = 0;
};

// Every body of the archive as zlib's own inflate sees it: one whole stream at maximum
// compression, ending at the body's end, whose bytes are the file's. Adds up the bodies and what
// zlib's level 9 makes of the same files.
void ExpectZlibReadsEveryBody(const std::vector<std::uint8_t>& archive, Sizes& sizes) {
    MemoryStream s(archive);
    const ArchiveInfo info = CheckArchive(s);
    WalkEntries(s, info, [&](const WalkEntry& e) {
        if (e.Record.IsDirectory()) return;
        const std::uint8_t* body = archive.data() + e.BodyStart;
        ASSERT_GE(e.Record.BodyLength, 2) << e.Path;
        EXPECT_EQ(body[0], 0x78);
        EXPECT_EQ(body[1], 0xDA);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(e.Record.UnpackedSize) + 1);
        uLongf produced = static_cast<uLongf>(out.size());
        uLong consumed = static_cast<uLong>(e.Record.BodyLength);
        ASSERT_EQ(uncompress2(out.data(), &produced, body, &consumed), Z_OK) << e.Path;
        EXPECT_EQ(consumed, static_cast<uLong>(e.Record.BodyLength)) << e.Path;
        ASSERT_EQ(produced, static_cast<uLongf>(e.Record.UnpackedSize)) << e.Path;
        uLongf zlibSize = compressBound(produced);
        std::vector<std::uint8_t> zlib(zlibSize);
        ASSERT_EQ(compress2(zlib.data(), &zlibSize, out.data(), produced, 9), Z_OK);
        sizes.ours += static_cast<std::size_t>(e.Record.BodyLength);
        sizes.zlib9 += zlibSize;
    });
}

std::vector<std::uint8_t> Written(const std::vector<SourceEntry>& tree, const ArchiveInfo& like, int level) {
    ArchiveWriterOptions options;
    options.Version = like.Version;
    options.BuildTime = like.BuildTime;
    options.Level = level;
    MemoryStream out;
    WriteArchive(out, tree, options);
    return out.Bytes();
}

}  // namespace

// The archive reader's seeds are archives as build writes them today, and zlib reads them.
TEST(Compression, TheArchiveCorpusIsWhatBuildWritesAndZlibReadsIt) {
    Sizes sizes;
    for (const fs::directory_entry& file : fs::directory_iterator(kSource / "fuzz" / "corpus" / "archive")) {
        // A seed may leave its checksum to the fuzzer, which fills it in as a builder would.
        std::vector<std::uint8_t> stored = ReadAll(file.path());
        testutil::Seal(stored);
        MemoryStream s(stored);
        const ArchiveInfo info = CheckArchive(s);
        EntryListReader top = TopLevelEntries(s, info);
        EXPECT_EQ(Written(TreeOf(top), info, kDefaultCompressionLevel), stored) << file.path();
        ExpectZlibReadsEveryBody(stored, sizes);
    }
}

// Every example product at every level: zlib reads each body, and from the default level on the
// files take no more room than zlib's level 9 gives them.
TEST(Compression, ZlibReadsEveryExampleAtEveryLevelNoLargerThanItsLevel9FromTheDefault) {
    const std::unique_ptr<CodePage> codePage = OpenCodePage(kDefaultCodePage);
    int examples = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(kSource / "examples")) {
        if (!fs::exists(folder.path() / "Setup.ini")) continue;
        ++examples;
        const std::vector<SourceEntry> tree =
            ArchiveEntries(ReadProductTree(folder.path().string(), *codePage), *codePage);
        for (int level = kMinCompressionLevel; level <= kMaxCompressionLevel; ++level) {
            Sizes sizes;
            ExpectZlibReadsEveryBody(Written(tree, ArchiveInfo{}, level), sizes);
            if (level >= kDefaultCompressionLevel) {
                EXPECT_LE(sizes.ours, sizes.zlib9) << folder.path() << " at level " << level;
            }
        }
    }
    EXPECT_GE(examples, 3);
}
