// The tool's part of the build machine: files and folders by UTF-8 name, the shell that runs the
// signing command, the product folder walk. Built into the host tests and, as
// tool_host_tests.exe, into the Win32 build (run under Wine): plugsetup and plugsetup.exe must
// read the same product folder into the same archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "system/Exceptions.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/host/HostProcess.h"
#include "tools/plugsetup/host/ShellCommand.h"

namespace fs = std::filesystem;

namespace {

class HostSystem : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        root_ = PathText(fs::temp_directory_path() / ("plugsetup-host-" + std::to_string(seed())));
        fs::create_directories(HostPath(root_));
    }
    void TearDown() override { fs::remove_all(HostPath(root_)); }

    std::string At(const std::string& name) const { return JoinHostPath(root_, name); }
    static void Write(const std::string& path, const std::string& text) {
        fs::create_directories(HostPath(path).parent_path());
        auto file = HostFile::CreateForWriting(path);
        file->Write(text.data(), text.size());
        file->Close();
    }
    static std::string Read(const std::string& path) {
        std::vector<std::uint8_t> bytes = ReadHostFile(path);
        return std::string(bytes.begin(), bytes.end());
    }

    std::string root_;
};

TEST_F(HostSystem, NamesBeyondAsciiAreUtf8AndListedInByteOrder) {
    const std::vector<std::string> names = {"Zeta.txt", "alpha.txt", "Café Crème.txt", "夜明け.txt",
                                            "Ärger.txt"};
    for (const std::string& name : names) Write(At(name), name);
    std::error_code error;
    std::vector<std::string> listed;
    for (const fs::path& entry : FolderEntries(HostPath(root_), error)) {
        listed.push_back(PathText(entry.filename()));
        EXPECT_EQ(Read(PathText(entry)), listed.back());
    }
    EXPECT_FALSE(error);
    EXPECT_EQ(listed, (std::vector<std::string>{"Café Crème.txt", "Zeta.txt", "alpha.txt", "Ärger.txt",
                                                "夜明け.txt"}));
}

TEST_F(HostSystem, AFileIsWrittenReadAndReplaced) {
    // The archive writer's pattern: write, go back to fill in a word, know the size before closing.
    auto file = HostFile::CreateForWriting(At("setup.partial"));
    file->Write("MZ....tail", 10);
    file->Seek(2);
    file->Write("ab", 2);
    EXPECT_EQ(file->Position(), 4);
    EXPECT_EQ(file->Size(), 10);
    file->Close();
    Write(At("Setup.exe"), "an older setup");
    ReplaceHostFile(At("setup.partial"), At("Setup.exe"));
    EXPECT_EQ(Read(At("Setup.exe")), "MZab..tail");
    EXPECT_FALSE(fs::exists(HostPath(At("setup.partial"))));
    RemoveHostFile(At("setup.partial"));  // gone already: nothing to do

    EXPECT_THROW(HostFile::OpenForReading(At("missing.exe")), EFileError);
    EXPECT_THROW(ReplaceHostFile(At("missing.exe"), At("Setup.exe")), EFileError);
    EXPECT_EQ(Read(At("Setup.exe")), "MZab..tail");
}

TEST_F(HostSystem, ReadingGoesOnWhereItWasWhenTheSizeIsAsked) {
    // log and list ask for the size between reads; the read buffer must survive it.
    std::string text;
    for (int i = 0; i < 20000; ++i) text += static_cast<char>('a' + i % 26);
    Write(At("record.dat"), text);
    auto file = HostFile::OpenForReading(At("record.dat"));
    std::string head(10, '\0');
    file->ReadBuffer(head.data(), head.size());
    EXPECT_EQ(file->Size(), 20000);
    EXPECT_EQ(file->Position(), 10);
    std::string rest(text.size() - head.size(), '\0');
    file->ReadBuffer(rest.data(), rest.size());
    EXPECT_EQ(head + rest, text);
}

#ifdef _WIN32
TEST_F(HostSystem, WindowsPathsTakeEitherSlashAndTheDriveLetter) {
    Write(At("Product\\Program\\Readme.txt"), "read me");
    std::string forward = At("Product/Program/Readme.txt");
    EXPECT_EQ(Read(forward), "read me");
    EXPECT_EQ(forward.substr(1, 1), ":");
    std::error_code error;
    EXPECT_TRUE(fs::is_directory(HostPath(At("Product/Program")), error));
}
#endif

TEST_F(HostSystem, TheSignCommandGetsEachPathAsOneWord) {
    // Blanks and the characters each shell treats specially, as a vendor's folder may hold them.
    const std::string in = At("in & out (1) $HOME 'x'.exe");
    const std::string out = At("signed; ^ copy.exe");
    Write(in, "unsigned program");
#ifdef _WIN32
    const std::string copy = "copy /b " + ShellQuoted(in) + " " + ShellQuoted(out) + " >nul";
#else
    const std::string copy = "cp " + ShellQuoted(in) + " " + ShellQuoted(out);
#endif
    ShellResult result = RunShellCommand(copy);
    EXPECT_TRUE(result.Exited);
    EXPECT_EQ(result.Status, 0) << result.Output;
    EXPECT_EQ(Read(out), "unsigned program");
}

TEST_F(HostSystem, TheShellReportsStatusOutputAndAMissingCommand) {
    ShellResult result = RunShellCommand("echo to-output && echo to-errors 1>&2 && exit 3");
    EXPECT_TRUE(result.Exited);
    EXPECT_EQ(result.Status, 3);
    EXPECT_NE(result.Output.find("to-output"), std::string::npos) << result.Output;
    EXPECT_NE(result.Output.find("to-errors"), std::string::npos) << result.Output;
    ShellResult missing = RunShellCommand("plugsetup-no-such-signing-tool --sign x");
    EXPECT_NE(missing.Status, 0);
    EXPECT_EQ(ShellFailureOf(missing.Status), ShellFailure::NotFound) << missing.Status;
    EXPECT_EQ(ShellFailureOf(0), ShellFailure::None);
    // Standard input is the null device: a tool that waits for a password gets none.
#ifdef _WIN32
    ShellResult input = RunShellCommand("set /p answer= || echo no-input");
#else
    ShellResult input = RunShellCommand("read answer || echo no-input");
#endif
    EXPECT_NE(input.Output.find("no-input"), std::string::npos) << input.Output;
}

TEST_F(HostSystem, TheProductTreeHoldsNamesInTheCodePageWhateverTheFolderOrder) {
    Write(At("Product/Setup.ini"), "\xEF\xBB\xBF[Setup]\r\nProductName=Mødular\r\n");
    Write(At("Product/Presets/Café.txt"), "preset");
    Write(At("Product/Presets/Bass.txt"), "bass");
    auto cp1252 = OpenCodePage(1252);
    std::vector<SourceEntry> tree = ArchiveEntries(ReadProductTree(At("Product"), *cp1252), *cp1252);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].Name, "Presets");
    ASSERT_EQ(tree[0].Children.size(), 2u);
    EXPECT_EQ(tree[0].Children[0].Name, "Bass.txt");
    EXPECT_EQ(tree[0].Children[1].Name, "Caf\xE9.txt");
    EXPECT_EQ(tree[0].Children[1].KnownSize, 6);
    EXPECT_EQ(tree[0].Children[1].Reader(), (std::vector<std::uint8_t>{'p', 'r', 'e', 's', 'e', 't'}));
    EXPECT_EQ(std::string(tree[1].Bytes.begin(), tree[1].Bytes.end()),
              "[Setup]\r\nProductName=M\xF8"
              "dular\r\n");
    EXPECT_THROW(ReadProductTree(At("Product/Setup.ini"), *cp1252), EFileError);
    EXPECT_THROW(ReadProductTree(At("Missing"), *cp1252), EFileError);
}

#ifndef _WIN32
TEST_F(HostSystem, ALinkBackIntoItsOwnFolderIsRefused) {
    Write(At("Product/Program/Readme.txt"), "read me");
    fs::create_directory_symlink("..", HostPath(At("Product/Program/Up")));
    auto cp1252 = OpenCodePage(1252);
    try {
        ArchiveEntries(ReadProductTree(At("Product"), *cp1252), *cp1252);
        FAIL() << "no error";
    } catch (const EFileError& error) {
        EXPECT_NE(std::string(error.what()).find("Up: a symbolic link leads back into its own folder"),
                  std::string::npos)
            << error.what();
    }
}
#endif

TEST_F(HostSystem, TheProgramKnowsItsOwnFile) {
    const std::string own = OwnProgramPath();
    std::error_code error;
    EXPECT_TRUE(fs::is_regular_file(HostPath(own), error)) << own;
}

}  // namespace
