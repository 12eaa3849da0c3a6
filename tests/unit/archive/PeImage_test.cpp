#include <gtest/gtest.h>

#include "archive/PeImage.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"

using namespace setuptest;

TEST(PeImage, ChecksumFoldsCarriesSkipsItsOwnFieldAndAddsTheLength) {
    // 0x0201 + 0x0403, the field (bytes 4..7) as zero, an odd last byte as a word: 0x0609 + 9.
    const std::uint8_t odd[] = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0x05};
    EXPECT_EQ(PeChecksum(odd, sizeof odd, 4), 0x0612u);
    // 0xFFFF + 0xFFFF folds to 0xFFFF, + 2 folds to 2; then the length 10.
    const std::uint8_t carries[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0xAA, 0xBB, 0xCC, 0xDD};
    EXPECT_EQ(PeChecksum(carries, sizeof carries, 6), 12u);
}

TEST(PeImage, MakingUnsignedClearsTheEntryAndSetsTheChecksumOfTheFinishedBytes) {
    const std::vector<std::uint8_t> original = Signed(PeStub());
    std::vector<std::uint8_t> image = original;
    ASSERT_TRUE(CertificateTableIn(image.data(), image.size()));
    ASSERT_TRUE(MakeUnsignedImage(image));
    EXPECT_EQ(CertificateTableIn(image.data(), image.size()), std::nullopt);
    const std::uint32_t checksum = WordAt(image, kCheckSumField);
    EXPECT_EQ(checksum, PeChecksum(image.data(), image.size(), kCheckSumField));
    ASSERT_EQ(image.size(), original.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < image.size(); ++i) changed += image[i] != original[i];
    EXPECT_LE(changed, 12u);  // the checksum and the entry's two words, nothing else

    // An odd length gets a zero byte, so no checksum reader can drop a last byte of its own.
    image.push_back(0x5A);
    ASSERT_TRUE(MakeUnsignedImage(image));
    ASSERT_EQ(image.size(), original.size() + 2);
    EXPECT_EQ(image[original.size()], 0x5A);
    EXPECT_EQ(image.back(), 0);
    EXPECT_EQ(WordAt(image, kCheckSumField), PeChecksum(image.data(), image.size(), kCheckSumField));
    EXPECT_NE(WordAt(image, kCheckSumField), checksum);
}

TEST(PeImage, FilesThatAreNoPeProgramAreLeftAsTheyAre) {
    std::vector<std::vector<std::uint8_t>> others;
    others.push_back(Stub());  // MZ without PE headers
    std::vector<std::uint8_t> farAway = PeStub();
    PutWord(farAway, 0x3C, 0xFFFFFFF0);  // headers past the end, and an offset that would wrap
    others.push_back(farAway);
    std::vector<std::uint8_t> cut = PeStub();
    cut.resize(kSecurityEntry + 4);  // the entry's size word is missing
    others.push_back(cut);
    std::vector<std::uint8_t> fewEntries = PeStub();
    PutWord(fewEntries, kPeHeader + 24 + 92, 4);  // no security entry in the directory
    others.push_back(fewEntries);
    std::vector<std::uint8_t> romImage = PeStub();
    PutWord(romImage, kPeHeader + 24, 0x107);
    others.push_back(romImage);
    others.push_back({'M', 'Z'});
    for (std::size_t i = 0; i < others.size(); ++i) {
        std::vector<std::uint8_t> image = others[i];
        EXPECT_FALSE(MakeUnsignedImage(image)) << i;
        EXPECT_EQ(image, others[i]) << i;
        EXPECT_EQ(CertificateTableIn(image.data(), image.size()), std::nullopt) << i;
    }
}

TEST(PeImage, Pe32PlusHasItsDirectoryFurtherOnAndTheTableIsReadFromAFile) {
    std::vector<std::uint8_t> image = PeStub();
    PutWord(image, kPeHeader + 24, 0x20B);
    PutWord(image, kPeHeader + 24 + 92, 0);
    PutWord(image, kPeHeader + 24 + 108, 16);
    PutWord(image, kPeHeader + 24 + 112 + 32, 4096);
    PutWord(image, kPeHeader + 24 + 112 + 36, 512);
    MemoryStream file(image);
    std::optional<CertificateTable> table = ReadCertificateTable(file);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Offset, 4096u);
    EXPECT_EQ(table->Size, 512u);
}
