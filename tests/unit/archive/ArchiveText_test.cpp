// What the bytes of names and setup texts mean: by the archive's text mark, or without one in
// the reading machine's ANSI code page; whatever they were, the reader hands out UTF-8.
#include <gtest/gtest.h>

#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Utf8.h"
#include "tests/unit/archive/SetupMachine.h"
#include "tools/plugsetup/host/CodePage.h"

using namespace setuptest;

namespace {

std::vector<SourceEntry> Tree(const std::string& folder, const std::string& file) {
    return {SourceEntry::File("Setup.ini", "[Setup]\r\n"),
            SourceEntry::Directory("Program", {SourceEntry::Directory(folder, {SourceEntry::File(file, "x")})})};
}

// Written without a mark, then marked by hand, so that it may hold names the writer refuses.
std::vector<std::uint8_t> Archive(std::uint32_t codePage, const std::string& folder, const std::string& file) {
    std::vector<std::uint8_t> archive = testutil::WriteToBytes(Tree(folder, file));
    const std::string mark = TextMark(codePage);
    std::copy(mark.begin(), mark.end(), archive.end() - kEntryRecordSize + 1);
    testutil::Seal(archive);
    return archive;
}

// The names of the archive's tree as a reader of the plain format finds them: no text.
std::vector<std::string> PlainNames(const std::vector<std::uint8_t>& archive) {
    MemoryStream s(archive);
    ArchiveInfo info = CheckArchive(s);
    std::vector<std::string> names;
    EntryListReader top(s, info.DirectoryStart, info.ArchiveEnd);
    std::vector<EntryListReader> lists{top};
    EntryRecord record;
    while (!lists.empty()) {
        if (!lists.back().Next(record)) {
            lists.pop_back();
            continue;
        }
        names.push_back(record.Name);
        if (record.IsDirectory()) lists.push_back(lists.back().Nested());
    }
    return names;
}

std::string CorruptionOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESetupError& error) {
        return error.Message();
    }
    return "(no error)";
}

class ArchiveTextRead : public ::testing::Test {
protected:
    // Extracts Program into C:\P\ and lists what landed there.
    std::vector<std::string> Installed(const std::vector<std::uint8_t>& archive) {
        PlaceSetup(machine, archive);
        TInstaller installer(machine);
        installer.ExtractDirectory("program", "C:\\P\\", 0);
        return machine.ListTree("C:\\P");
    }
    MemoryPlatform machine;
};

}  // namespace

// The mark sits in the end record's name field, which a plain reader never looks at: it reads
// the same tree, under the same checksum.
TEST_F(ArchiveTextRead, AUtf8ArchiveGivesItsNamesOnAnyCodePageAndPlainReadersSeeTheSameTree) {
    const auto archive = Archive(kUtf8CodePage, "Préréglages", "夜明け.vstpreset");
    MemoryStream s(archive);
    EXPECT_EQ(CheckArchive(s).TextCodePage, kUtf8CodePage);
    EXPECT_EQ(PlainNames(archive),
              (std::vector<std::string>{"Program", "Préréglages", "夜明け.vstpreset", "Setup.ini"}));
    EXPECT_EQ(std::string(archive.end() - 76, archive.end() - 63), std::string("\0Codepage\xE9\xFD\0\0", 13));

    machine.SetAnsiCodePage(1251);  // and no converter: UTF-8 needs none
    EXPECT_EQ(Installed(archive), (std::vector<std::string>{"C:\\P\\Préréglages\\", "C:\\P\\Préréglages\\夜明け.vstpreset"}));
}

TEST_F(ArchiveTextRead, AnUnmarkedArchiveIsReadInTheAnsiCodePageOfTheMachine) {
    const auto archive = Archive(0, "Pr\xE9r\xE9glages", "Cr\xE8me.txt");
    EXPECT_EQ(Installed(archive), (std::vector<std::string>{"C:\\P\\Préréglages\\", "C:\\P\\Préréglages\\Crème.txt"}));
    TInstaller installer(machine);
    EXPECT_EQ(installer.TextAsUtf8("ProductName=Caf\xE9"), "ProductName=Café");
    EXPECT_EQ(installer.TextAsUtf8("\xEF\xBB\xBFProductName=Caf\xE9"), "ProductName=Café")
        << "the byte order mark is passed over as it always was";

    // On a Japanese Windows the same bytes mean what Windows made of them, and a lead byte
    // without its trail byte is one replacement character.
    machine.SetAnsiCodePage(932);
    machine.SetCodePageConverter(TextInCodePageAsUtf8);
    TInstaller japanese(machine);
    EXPECT_EQ(japanese.TextAsUtf8("\x96\xE9\x96\xBE x\x82"), "夜明 x\xEF\xBF\xBD");
}

TEST_F(ArchiveTextRead, ACodePageArchiveReadsRightOnAMachineOfAnother) {
    machine.SetCodePageConverter(TextInCodePageAsUtf8);
    EXPECT_EQ(Installed(Archive(932, "\x96\xE9\x96\xBE", "\x83\x70\x83\x62\x83\x68.txt")),
              (std::vector<std::string>{"C:\\P\\夜明\\", "C:\\P\\夜明\\パッド.txt"}));
}

// A name that is not what its mark says, or that turns into an unsafe one, is damage.
TEST_F(ArchiveTextRead, TextThatIsNoneOfItsEncodingIsTheCorruptionMessage) {
    machine.SetCodePageConverter(TextInCodePageAsUtf8);
    for (const auto& archive : {Archive(kUtf8CodePage, "Caf\xE9", "a.txt"), Archive(932, "x\x82", "a.txt"),
                                Archive(kUtf8CodePage, "Folder", "COM\xC2\xB9.txt")}) {
        EXPECT_EQ(CorruptionOf([&] { Installed(archive); }), kCorruptedArchiveMessage);
        EXPECT_EQ(CorruptionOf([&] { PlainNames(archive); }), "(no error)");
    }
    // The writer makes no such archive, and marks the ones it makes as the reader reads them.
    ArchiveWriterOptions options;
    options.TextCodePage = kUtf8CodePage;
    for (const auto& tree : {Tree("Caf\xE9", "a.txt"), Tree("Folder", "COM\xC2\xB9.txt")}) {
        MemoryStream out;
        EXPECT_THROW(WriteArchive(out, tree, options), EArchiveWriteError);
    }
    MemoryStream written;
    options.Version = testutil::SampleVersion();
    options.BuildTime = testutil::SampleBuildTime();
    WriteArchive(written, Tree("Préréglages", "夜明け.vstpreset"), options);
    EXPECT_EQ(written.Bytes(), Archive(kUtf8CodePage, "Préréglages", "夜明け.vstpreset"));

    PlaceSetup(machine, Archive(kUtf8CodePage, "F", "a.txt"));
    TInstaller installer(machine);
    EXPECT_EQ(CorruptionOf([&] { installer.TextAsUtf8("ProductName=Caf\xE9"); }), kCorruptedArchiveMessage);
}
