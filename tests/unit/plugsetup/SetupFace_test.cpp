#include <gtest/gtest.h>

#include "system/Exceptions.h"
#include "tests/unit/plugsetup/PeTestImage.h"
#include "tools/plugsetup/pe/PeResources.h"
#include "tools/plugsetup/pe/SetupFace.h"
#include "tools/plugsetup/pe/Sha.h"

namespace {

// Nearly a page, so that what build adds takes the section past it.
const std::vector<std::uint8_t> kManifest(0xE00, 'm');

std::vector<std::uint8_t> StubWithManifest() {
    std::vector<std::uint8_t> stub = petest::Image();
    WritePeResources(stub, {{kResourceManifest, 1, kResourceLanguage, kManifest}});
    return stub;
}

SetupFace GadgetFace() {
    SetupFace face;
    face.Icon = petest::Icon({16, 0});
    face.Version.Major = 1, face.Version.Minor = 2, face.Version.Release = 3;
    face.Strings = {{"FileDescription", "Gadget Setup"},
                    {"ProductName", "Gadget"},
                    {"CompanyName", "Ørsted Audio"},
                    {"LegalCopyright", "© 2026 Ørsted Audio 𝄞"}};
    return face;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) text += "0123456789abcdef"[b >> 4], text += "0123456789abcdef"[b & 15];
    return text;
}

}  // namespace

TEST(SetupFace, GoesIntoTheResourcesBesideTheManifestAndMovesTheRelocationsUp) {
    const std::vector<std::uint8_t> plain = StubWithManifest();
    std::vector<std::uint8_t> stub = plain;
    ApplySetupFace(stub, GadgetFace());

    std::vector<PeResource> resources = ReadPeResources(stub);
    ASSERT_EQ(resources.size(), 5u);
    EXPECT_EQ(resources[0].Type, kResourceIcon);
    EXPECT_EQ(resources[1].Data, std::vector<std::uint8_t>({'i', 'm', 'a', 'g', 'e', ' ', '0'}));
    EXPECT_EQ(resources[2].Type, kResourceGroupIcon);
    EXPECT_EQ(resources[3].Type, kResourceVersion);
    EXPECT_EQ(resources[4].Type, kResourceManifest);
    EXPECT_EQ(resources[4].Data, kManifest);
    EXPECT_EQ(ReadVersionStrings(resources[3].Data), GadgetFace().Strings);
    // The fixed part: 1.2 and 3.0, after the 40 bytes of the node's words and key.
    EXPECT_EQ(petest::Get(resources[3].Data, 40), 0xFEEF04BDu);
    EXPECT_EQ(petest::Get(resources[3].Data, 48), 0x00010002u);
    EXPECT_EQ(petest::Get(resources[3].Data, 52), 0x00030000u);

    // The grown section pushed the relocations one page up, in the file and in memory.
    const std::uint32_t relocations = petest::Get(stub, petest::kRelocationHeader + 12);
    const std::uint32_t pointer = petest::Get(stub, petest::kRelocationHeader + 20);
    const std::uint32_t plainPointer = petest::Get(plain, petest::kRelocationHeader + 20);
    EXPECT_EQ(petest::Get(plain, petest::kRelocationHeader + 12), 0x3000u);
    EXPECT_EQ(relocations, 0x4000u);
    EXPECT_GT(pointer, plainPointer);
    EXPECT_EQ(petest::Get(stub, petest::kOptional + 96 + 5 * 8), relocations);
    EXPECT_EQ(petest::Get(stub, petest::kOptional + 56), relocations + 0x1000);
    EXPECT_EQ(std::vector<std::uint8_t>(stub.begin() + pointer, stub.begin() + pointer + 0x200),
              std::vector<std::uint8_t>(plain.begin() + plainPointer, plain.end()));
    EXPECT_EQ(stub.size(), pointer + 0x200u);

    // Reproducible, and shown as list and verify show it.
    std::vector<std::uint8_t> again = plain;
    ApplySetupFace(again, GadgetFace());
    EXPECT_EQ(again, stub);
    const std::vector<std::string> lines = DescribeSetupFace(stub);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Icon:       2 images (16x16, 256x256)");
    EXPECT_NE(lines[1].find("\n  CompanyName: Ørsted Audio\n"), std::string::npos) << lines[1];

    // A face without an icon keeps the stub's icon, and none at all keeps the stub.
    SetupFace versionOnly = GadgetFace();
    versionOnly.Icon.clear();
    versionOnly.Strings = {{"ProductName", "Other"}};
    ApplySetupFace(again, versionOnly);
    EXPECT_EQ(ReadPeResources(again).size(), 5u);
    EXPECT_EQ(ReadVersionStrings(ReadPeResources(again)[3].Data), versionOnly.Strings);
    std::vector<std::uint8_t> untouched = plain;
    ApplySetupFace(untouched, SetupFace{});
    EXPECT_EQ(untouched, plain);
}

TEST(SetupFace, RefusesWhatItCannotReadOrRewrite) {
    std::vector<std::uint8_t> stub = StubWithManifest();
    SetupFace face = GadgetFace();
    face.Icon = petest::Icon({32});
    face.Icon[18] = 0x7F;  // the image's length runs past the file
    EXPECT_THROW(ApplySetupFace(stub, face), Exception);
    EXPECT_EQ(stub, StubWithManifest());

    std::vector<std::uint8_t> data = petest::Image(".data");
    EXPECT_THROW(WritePeResources(data, {}), Exception);

    // A data entry that points past the section is damage, not a crash.
    std::vector<std::uint8_t> damaged = StubWithManifest();
    petest::Put(damaged, 0x400 + 16 * 3 + 8 * 3, 0x7FFFFFF0);
    EXPECT_THROW(ReadPeResources(damaged), Exception);
    damaged = StubWithManifest();
    petest::Put(damaged, 0x400 + 14, 0xFFFF, 2);
    EXPECT_THROW(ReadPeResources(damaged), Exception);
}

TEST(SetupFace, DigestsGiveTheStandardsAnswers) {
    const std::string abc = "abc";
    auto digest = [&](std::unique_ptr<Digest> d, std::size_t repeat) {
        for (std::size_t i = 0; i < repeat; ++i)
            d->Update(reinterpret_cast<const std::uint8_t*>(abc.data()), 3);
        return Hex(d->Finish());
    };
    EXPECT_EQ(digest(MakeSha1(), 1), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(digest(MakeSha256(), 1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 63 bytes: the padding spills into a second block.
    EXPECT_EQ(digest(MakeSha256(), 21), "23fdd92cd8f2cdf8d057479d7bc39d74d0bd90bef2191627dcc9936102a2e90f");
}
