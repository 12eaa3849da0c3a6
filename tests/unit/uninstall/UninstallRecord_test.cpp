#include <gtest/gtest.h>

#include "archive/ProgramHeader.h"
#include "system/Exceptions.h"
#include "system/Utf8.h"
#include "system/memory/MemoryPlatform.h"
#include "uninstall/UninstallRecord.h"

namespace {

std::vector<std::uint8_t> RecordBytes(const std::vector<std::string>& log, const std::string& name) {
    TProgramVersion version;
    version.Major = 2;
    version.Minor = 1;
    version.Release = 3;
    MemoryStream stream;
    WriteUninstallRecord(stream, version, ParseItems(log), name);
    return stream.Bytes();
}

}  // namespace

TEST(UninstallRecord, RoundTripsLogNameAndVersionInTheFixedLayout) {
    auto bytes =
        RecordBytes({"EC:\\Program Files\\", "DC:\\Program Files\\Vendor\\", "FC:\\a.dll"}, "Gadget");
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "KW/UNS/3");
    std::string log = "EC:\\Program Files\\\r\nDC:\\Program Files\\Vendor\\\r\nFC:\\a.dll\r\n";
    ASSERT_EQ(bytes.size(), 61 + log.size() + 6);
    EXPECT_EQ(std::string(bytes.begin() + 61, bytes.begin() + 61 + log.size()), log);

    MemoryStream stream(bytes);
    UninstallRecord record = ReadUninstallRecord(stream);
    EXPECT_EQ(record.version.AsString(), "2.13");
    EXPECT_EQ(
        FormatItems(record.items),
        (std::vector<std::string>{"EC:\\Program Files\\", "DC:\\Program Files\\Vendor\\", "FC:\\a.dll"}));
    EXPECT_EQ(record.productName, "Gadget");
}

// Records written by every earlier version: each of the eight letters, a line of another
// letter and an empty one read into their kinds and are written back byte for byte, but for
// the mark that the record is UTF-8 (an ASCII record reads the same either way).
TEST(UninstallRecord, AKnownRecordReadsIntoKindsAndIsWrittenBackUnchanged) {
    const std::string log =
        "FC:\\P\\a.dll\r\nDC:\\P\\\r\nTC:\\T\r\nU\\S\\K\r\nC\\.gad\r\nM\\S\\K\r\nEC:\\\r\n6\\S\\K\r\n"
        "X odd\r\n\r\n";
    std::string bytes = std::string("KW/UNS/3") + std::string(20, '\0');
    bytes += std::string("\x9C\xFF\xFF\xFF\x01\0\0\0\x02\0\0\0\x01\0\0\0\x03\0\0\0\0\0\0\0\0", 25);
    bytes += std::string(1, static_cast<char>(log.size())) + std::string(3, '\0') + std::string("\x06\0\0\0", 4);
    bytes += log + "Gadget";
    MemoryStream known(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    const UninstallRecord record = ReadUninstallRecord(known);
    using K = ItemKind;
    EXPECT_EQ(record.items, (std::vector<UninstallItem>{{K::File, "C:\\P\\a.dll"},
                                                        {K::CreatedFolder, "C:\\P\\"},
                                                        {K::FolderWithContents, "C:\\T"},
                                                        {K::CurrentUserKey, "\\S\\K"},
                                                        {K::ClassesRootKey, "\\.gad"},
                                                        {K::LocalMachineKey, "\\S\\K"},
                                                        {K::ExistingFolder, "C:\\"},
                                                        {K::LocalMachine64Key, "\\S\\K"},
                                                        {K::Unknown, "X odd"},
                                                        {K::Unknown, ""}}));
    MemoryStream written;
    WriteUninstallRecord(written, record.version, record.items, record.productName);
    bytes.replace(8, kTextMarkSize, TextMark(kUtf8CodePage));
    EXPECT_EQ(std::string(written.Bytes().begin(), written.Bytes().end()), bytes);
    EXPECT_EQ(RegistryPlaceOf(K::LocalMachine64Key)->view64, true);
    EXPECT_EQ(RegistryItemKind(RootKey::CurrentUser, true), K::CurrentUserKey);
    EXPECT_EQ(RegistryItemKind(RootKey::Users, false), std::nullopt);
}

// New records are UTF-8 and say so; one without the mark (every earlier record) holds the
// system's ANSI code page and is read as UTF-8 all the same. Its digest stays that of its bytes.
TEST(UninstallRecord, TextsAreUtf8WhetherTheRecordIsMarkedOrFromAnEarlierVersion) {
    MemoryPlatform machine;
    const std::string uninstaller = "C:\\Caf\xC3\xA9\\Uninst.exe";
    const auto marked = RecordBytes({"FC:\\Caf\xC3\xA9\\Cr\xC3\xA8me.txt"}, "Caf\xC3\xA9");
    EXPECT_EQ(std::string(marked.begin() + 8, marked.begin() + 20), TextMark(kUtf8CodePage));
    std::vector<std::uint8_t> earlier = RecordBytes({"FC:\\Caf\xE9\\Cr\xE8me.txt"}, "Caf\xE9");
    std::fill(earlier.begin() + 8, earlier.begin() + 20, 0);
    for (const auto& record : {marked, earlier}) {
        machine.AddFile(uninstaller, AppendToProgram(std::vector<std::uint8_t>(64, 'M'), ProgramRole::Uninstaller, record));
        const StoredUninstallRecord read = LoadUninstallRecord(machine, uninstaller);
        EXPECT_EQ(FormatItems(read.record.items), (std::vector<std::string>{"FC:\\Café\\Crème.txt"}));
        EXPECT_EQ(read.record.productName, "Café");
        EXPECT_EQ(read.digest, RecordDigest(record));
    }
    auto illFormed = RecordBytes({"FC:\\Caf\xE9"}, "N");
    MemoryStream damaged(illFormed);
    EXPECT_THROW(ReadUninstallRecord(damaged), EReadError) << "a marked record holds UTF-8 only";
}

TEST(UninstallRecord, EmptyNameAndAnyLineBreakStyleReadBack) {
    auto bytes = RecordBytes({}, "");
    MemoryStream empty(bytes);
    EXPECT_EQ(ReadUninstallRecord(empty).productName, "");

    // A record written by hand with LF and CR breaks still splits into its lines.
    MemoryStream handmade(RecordBytes({"Fa\nFb\rFc"}, "N"));
    EXPECT_EQ(FormatItems(ReadUninstallRecord(handmade).items), (std::vector<std::string>{"Fa", "Fb", "Fc"}));
}

TEST(UninstallRecord, DamagedRecordsFailWithTheirOwnErrors) {
    auto bytes = RecordBytes({"Fx"}, "N");
    auto wrongSignature = bytes;
    wrongSignature[3] = 'X';
    MemoryStream a(wrongSignature);
    try {
        ReadUninstallRecord(a);
        FAIL();
    } catch (const ESetupError& error) {
        EXPECT_STREQ(error.what(), "Invalid uninstall data signature");
    }

    auto wrongMarker = bytes;
    wrongMarker[28] = 0;
    MemoryStream b(wrongMarker);
    EXPECT_THROW(ReadUninstallRecord(b), Exception);

    // A log length far beyond the file must not be trusted for an allocation.
    auto hugeLength = bytes;
    hugeLength[53 + 3] = 0x7F;
    MemoryStream c(hugeLength);
    EXPECT_THROW(ReadUninstallRecord(c), EReadError);

    auto cut = bytes;
    cut.resize(60);
    MemoryStream d(cut);
    EXPECT_THROW(ReadUninstallRecord(d), EReadError);
}

TEST(UninstallRecord, UninstallerReadsItsOwnFileOrUninstallDatBeside) {
    MemoryPlatform machine;
    auto record = RecordBytes({"Fx"}, "Own");
    machine.AddFile(machine.OwnProgramPath(),
                    AppendToProgram(std::vector<std::uint8_t>(64, 0), ProgramRole::Uninstaller, record));
    EXPECT_EQ(LoadOwnUninstallRecord(machine).record.productName, "Own");

    machine.AddFile(machine.OwnProgramPath(), UninstallerWithoutRecord(std::vector<std::uint8_t>(64, 0)));
    EXPECT_THROW(LoadOwnUninstallRecord(machine), EFileError) << "no Uninstall.dat beside it";
    machine.AddFile("C:\\Users\\user\\Downloads\\Uninstall.dat", RecordBytes({}, "Beside"));
    EXPECT_EQ(LoadOwnUninstallRecord(machine).record.productName, "Beside");
}

TEST(UninstallRecord, AnyUninstallerIsReadByItsHeaderWordsAndSaysWhereTheRecordWas) {
    MemoryPlatform machine;
    const std::string uninstaller = "C:\\Program Files\\Gadget\\Uninst.exe";
    auto record = RecordBytes({"FC:\\Program Files\\Gadget\\a.dll"}, "Appended");
    std::vector<std::uint8_t> program(64, 0);
    program[0] = 'M';
    program[1] = 'Z';
    machine.AddFile(uninstaller, AppendToProgram(program, ProgramRole::Uninstaller, record));
    StoredUninstallRecord appended = LoadUninstallRecord(machine, uninstaller);
    EXPECT_EQ(appended.record.productName, "Appended");
    EXPECT_EQ(appended.dataFile, "");

    // An offset word of 0, or one with the top bit set, points at nothing inside the program.
    machine.AddFile("C:\\Program Files\\Gadget\\Uninstall.dat", RecordBytes({}, "Beside"));
    for (std::int32_t word : {0, static_cast<std::int32_t>(0x80000040u)}) {
        std::vector<std::uint8_t> bare = UninstallerWithoutRecord(program);
        SetProgramHeaderWords(bare, {word, 1});
        machine.AddFile(uninstaller, bare);
        StoredUninstallRecord beside = LoadUninstallRecord(machine, uninstaller);
        EXPECT_EQ(beside.record.productName, "Beside") << word;
        EXPECT_EQ(beside.dataFile, "C:\\Program Files\\Gadget\\Uninstall.dat");
    }
}
