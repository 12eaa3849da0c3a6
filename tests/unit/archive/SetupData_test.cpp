#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "ArchiveTestUtil.h"
#include "archive/SetupData.h"
#include "system/Exceptions.h"

namespace {

using namespace testutil;

std::string CheckMessage(std::vector<std::uint8_t> bytes, std::int64_t start = 0) {
    MemoryStream s(std::move(bytes));
    s.Seek(start);
    try {
        CheckArchive(s);
        return "accepted";
    } catch (const ESetupError& error) {
        return error.Message();
    }
}

TEST(Adler32, MatchesTheReferenceOverLongRunsAndAnySplit) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(100000);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    std::fill(data.begin() + 50000, data.begin() + 70000, 0xFF);  // the sums' worst case
    const auto expected =
        static_cast<std::uint32_t>(::adler32(1, data.data(), static_cast<uInt>(data.size())));
    EXPECT_EQ(Adler32(1, data.data(), data.size()), expected);
    EXPECT_EQ(Adler32Portable(1, data.data(), data.size()), expected);
    std::uint32_t split = Adler32(1, data.data(), 4096);
    split = Adler32(split, data.data() + 4096, data.size() - 4096);
    EXPECT_EQ(split, expected);
    EXPECT_EQ(Adler32(1, nullptr, 0), 1u);
}

// The wide form works on 16-byte blocks: every length around a block and a run, at every
// alignment, from sums that start anywhere below the modulus.
TEST(Adler32, WideFormAgreesAtEveryLengthAlignmentAndStart) {
    std::mt19937 random(11);
    std::vector<std::uint8_t> data(6000 + 64);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    const std::uint32_t starts[] = {1, 0, 0xFFF0FFF0u, 0x12345678u % 65521u};
    for (std::uint32_t start : starts) {
        for (std::size_t offset = 0; offset < 16; offset += 3) {
            for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 31u, 33u, 5551u, 5552u, 5553u, 5568u, 6000u}) {
                const std::uint8_t* at = data.data() + offset;
                ASSERT_EQ(Adler32(start, at, size),
                          static_cast<std::uint32_t>(::adler32(start, at, static_cast<uInt>(size))))
                    << "start " << start << " offset " << offset << " size " << size;
            }
        }
    }
    std::vector<std::uint8_t> ones(1 << 20, 0xFF);  // the largest lane values, run after run
    EXPECT_EQ(Adler32(0xFFF0FFF0u, ones.data(), ones.size()),
              static_cast<std::uint32_t>(::adler32(0xFFF0FFF0u, ones.data(), static_cast<uInt>(ones.size()))));
}

TEST(CheckArchive, GoodArchiveGivesVersionTimesAndPositions) {
    std::vector<std::uint8_t> archive = WriteToBytes(SampleTree());
    MemoryStream s;  // an archive appended at 1000
    s.Write(std::vector<std::uint8_t>(1000, 0x90).data(), 1000);
    s.Write(archive.data(), archive.size());
    const std::int64_t programSize = s.Size();
    s.Seek(1000);
    ArchiveInfo info = CheckArchive(s);
    EXPECT_EQ(info.Version.AsString(), "2.13");
    EXPECT_EQ(info.BuildTime, SampleBuildTime());
    EXPECT_EQ(info.FileDate, (44 << 25) | (5 << 21) | (17 << 16) | (13 << 11) | (45 << 5) | 15);
    EXPECT_EQ(info.FileCount, 4);
    EXPECT_EQ(info.ArchiveStart, 1000);
    EXPECT_EQ(info.DirectoryStart, 1000 + 53);
    EXPECT_EQ(info.ArchiveEnd, programSize);
    EXPECT_EQ(info.DataLength, static_cast<std::int32_t>(archive.size() - 28));
    EXPECT_EQ(s.Position(), 1053);
}

TEST(CheckArchive, SignatureIsTestedBeforeTheChecksum) {
    std::vector<std::uint8_t> archive = WriteToBytes(SampleTree());
    archive[7] = '4';  // the checksum does not cover the header, so it still matches
    EXPECT_EQ(CheckMessage(archive), kInvalidSignatureMessage);
    archive[7] = '3';
    archive[100] ^= 1;
    archive[0] = 'k';
    EXPECT_EQ(CheckMessage(archive), kInvalidSignatureMessage);
}

TEST(CheckArchive, AnyChangedBitInVersionRecordOrEntriesIsCorruption) {
    const std::vector<std::uint8_t> archive = WriteToBytes(SampleTree());
    std::mt19937 random(11);
    // Every byte of the version record and of the first records, then samples of the rest.
    std::vector<std::size_t> offsets;
    for (std::size_t at = 28; at < 28 + 25 + 2 * 76; ++at) offsets.push_back(at);
    for (int i = 0; i < 200; ++i) offsets.push_back(28 + random() % (archive.size() - 28));
    offsets.push_back(archive.size() - 1);  // the last end record
    for (std::size_t at : offsets) {
        std::vector<std::uint8_t> damaged = archive;
        damaged[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
        EXPECT_EQ(CheckMessage(damaged), kCorruptedArchiveMessage) << "byte " << at;
    }
}

// An archive of several checksum blocks.
std::vector<std::uint8_t> LargerArchive() {
    std::vector<SourceEntry> tree = SampleTree();
    std::mt19937 random(3);
    std::vector<std::uint8_t> noise(20000);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    tree.push_back(SourceEntry::File("Noise.bin", noise));
    return WriteToBytes(tree);
}

TEST(CheckArchive, ChangedDataLengthOrChecksumIsCorruption) {
    const std::vector<std::uint8_t> archive = LargerArchive();
    for (std::size_t at : {8u, 9u, 10u, 12u, 15u}) {
        for (std::uint8_t bit : {0x01, 0x02, 0x40}) {
            std::vector<std::uint8_t> damaged = archive;
            damaged[at] ^= bit;
            EXPECT_EQ(CheckMessage(damaged), kCorruptedArchiveMessage)
                << "byte " << at << " bit " << int(bit);
        }
    }
}

TEST(CheckArchive, DataLengthRaisedPastTheEndOfTheFileIsCorruption) {
    // The missing bytes add nothing to the sum, so it still matches: the length must not pass.
    std::vector<std::uint8_t> archive = LargerArchive();
    for (std::uint32_t extra : {1u, 4096u, 0x10000000u}) {
        std::vector<std::uint8_t> raised = archive;
        std::uint32_t length = static_cast<std::uint32_t>(archive.size() - 28) + extra;
        for (int i = 0; i < 4; ++i) raised[8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        EXPECT_EQ(CheckMessage(raised), kCorruptedArchiveMessage) << extra;
    }
}

TEST(CheckArchive, TruncatedArchiveFailsTheChecksumWithoutHanging) {
    const std::vector<std::uint8_t> archive = LargerArchive();
    ASSERT_GT(archive.size(), 3 * kChecksumBlockSize);
    for (std::size_t keep : {std::size_t{28}, std::size_t{53}, kChecksumBlockSize + 28, archive.size() - 1}) {
        std::vector<std::uint8_t> cut(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(keep));
        EXPECT_EQ(CheckMessage(cut), kCorruptedArchiveMessage) << "kept " << keep;
    }
    // A data length near 2 GiB over a few bytes ends quickly, too.
    std::vector<std::uint8_t> huge = archive;
    huge[8] = huge[9] = huge[10] = 0xFF;
    huge[11] = 0x7F;
    EXPECT_EQ(CheckMessage(huge), kCorruptedArchiveMessage);
}

TEST(CheckArchive, FileTooShortForTheHeaderIsTheReadError) {
    std::vector<std::uint8_t> archive = WriteToBytes(SampleTree());
    archive.resize(27);
    MemoryStream s(archive);
    EXPECT_THROW(CheckArchive(s), EReadError);
}

TEST(CheckArchive, BytesAfterTheArchiveAreIgnored) {
    std::vector<std::uint8_t> archive = WriteToBytes(SampleTree());
    std::vector<std::uint8_t> signedFile = archive;
    signedFile.resize((signedFile.size() + 7) / 8 * 8 + 4000, 0xA5);  // a certificate table
    MemoryStream s(signedFile);
    ArchiveInfo info = CheckArchive(s);
    EXPECT_EQ(info.ArchiveEnd, static_cast<std::int64_t>(archive.size()));
}

TEST(CheckArchive, DataTooShortForVersionAndEndRecordIsCorruptionEvenWithAMatchingSum) {
    for (std::size_t dataLength : {0u, 25u, 100u}) {
        MemoryStream s = ArchiveStart();
        PutEnd(s);
        std::vector<std::uint8_t> archive = s.Bytes();
        archive.resize(28 + dataLength);
        Seal(archive);
        archive.resize(28 + 25 + 76);  // what a reader would otherwise go on to read
        EXPECT_EQ(CheckMessage(archive), kCorruptedArchiveMessage) << dataLength;
    }
}

TEST(CheckArchive, BadVersionRecordUnderAGoodChecksumIsTheStreamVersionError) {
    MemoryStream s = ArchiveStart();
    PutEnd(s);
    std::vector<std::uint8_t> archive = s.Bytes();
    archive[28] = 0;  // marker
    Seal(archive);
    MemoryStream in(archive);
    try {
        CheckArchive(in);
        FAIL() << "accepted";
    } catch (const ESetupError&) {
        FAIL() << "not a setup-data error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), kInvalidVersionOnStreamMessage);
    }
}

TEST(DateTime, EncodeAndDecodeAgreeWithTheDayCount) {
    EXPECT_EQ(*EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(*EncodeDateTime({1970, 1, 1, 0, 0, 0, 0}), 25569.0);
    EXPECT_EQ(*EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    EXPECT_EQ(*EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    EXPECT_FALSE(EncodeDateTime({2023, 2, 29, 0, 0, 0, 0}));
    EXPECT_TRUE(EncodeDateTime({2024, 2, 29, 0, 0, 0, 0}));
    EXPECT_FALSE(EncodeDateTime({2024, 1, 1, 24, 0, 0, 0}));
    EXPECT_FALSE(EncodeDateTime({0, 1, 1, 0, 0, 0, 0}));

    DateTimeParts p = *DecodeDateTime(*EncodeDateTime({2107, 12, 31, 23, 59, 58, 0}));
    EXPECT_EQ(p.Year, 2107);
    EXPECT_EQ(p.Month, 12);
    EXPECT_EQ(p.Day, 31);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 58);
    // Rounded to the millisecond: a hair before midnight is midnight.
    p = *DecodeDateTime(1.0 - 1e-10);
    EXPECT_EQ(p.Day, 31);
    EXPECT_EQ(p.Hour, 0);
    EXPECT_FALSE(DecodeDateTime(std::nan("")));
    EXPECT_FALSE(DecodeDateTime(1e300));
}

TEST(DateTime, PacksYearsFrom1980To2107AndZeroOutside) {
    EXPECT_EQ(PackDateTime(*EncodeDateTime({1980, 1, 1, 0, 0, 0, 0})), (1 << 21) | (1 << 16));
    EXPECT_EQ(static_cast<std::uint32_t>(PackDateTime(*EncodeDateTime({2107, 12, 31, 23, 59, 59, 0}))),
              (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(PackDateTime(*EncodeDateTime({1979, 12, 31, 23, 59, 59, 0})), 0);
    EXPECT_EQ(PackDateTime(*EncodeDateTime({2108, 1, 1, 0, 0, 0, 0})), 0);
    EXPECT_EQ(PackDateTime(0), 0);
    EXPECT_EQ(PackDateTime(std::nan("")), 0);
}

}  // namespace
