// plugsetup extract: the setup's own reader, on the in-memory machine, writing a Linux folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/plugsetup/Tool.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class ExtractCommand : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plugsetup-extract-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        WriteText(root_ / "product" / "Setup.ini", "[Setup]\nProductName=Gadget\n");
        WriteText(root_ / "product" / "Program" / "Gadget.dll", std::string(300000, 'g'));
        WriteText(root_ / "product" / "Program" / "Docs" / "Read me.txt", "Read me.");
        fs::create_directories(root_ / "product" / "Program" / "Empty");
        WriteText(root_ / "bin" / "Setup.exe", "MZ" + std::string(0x200 - 2, '\0'));
    }
    void TearDown() override { fs::remove_all(root_); }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        ToolEnvironment env{out_, err_, (root_ / "bin" / "plugsetup").string(),
                            [](const std::string&) -> std::optional<std::string> { return std::nullopt; },
                            [] { return 45000.5; }};
        return RunPlugsetup(args, env);
    }

    fs::path root_;
    std::ostringstream out_, err_;
};

}  // namespace

TEST_F(ExtractCommand, ExtractsEveryEntryOrOneFromAProgramOrADataFile) {
    const std::string product = (root_ / "product").string();
    ASSERT_EQ(
        Run({"build", "--no-check", "--version", "1.0.0", "-o", (root_ / "Setup.exe").string(), product}),
        kExitOk)
        << err_.str();
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--data-file", "-o",
                   (root_ / "Setup.dat").string(), product}),
              kExitOk);

    for (const char* file : {"Setup.exe", "Setup.dat"}) {
        const fs::path all = root_ / (std::string(file) + "-all");
        ASSERT_EQ(Run({"extract", (root_ / file).string(), all.string()}), kExitOk) << err_.str();
        EXPECT_EQ(out_.str(), "Program/Docs/Read me.txt\nProgram/Gadget.dll\nSetup.ini\n");
        EXPECT_EQ(ReadText(all / "Program" / "Gadget.dll"), std::string(300000, 'g'));
        EXPECT_EQ(ReadText(all / "Setup.ini"), "[Setup]\nProductName=Gadget\n");
        EXPECT_TRUE(fs::is_directory(all / "Program" / "Empty"));
    }

    // One folder: its contents straight into DEST, found whatever the case of its name.
    const fs::path one = root_ / "one";
    ASSERT_EQ(Run({"extract", (root_ / "Setup.exe").string(), "PROGRAM", one.string()}), kExitOk)
        << err_.str();
    EXPECT_EQ(ReadText(one / "Docs" / "Read me.txt"), "Read me.");
    EXPECT_FALSE(fs::exists(one / "Program"));

    EXPECT_EQ(Run({"extract", (root_ / "Setup.exe").string(), "Nothing", one.string()}), kExitFailure);
    EXPECT_NE(err_.str().find("no top-level entry named 'Nothing'"), std::string::npos) << err_.str();
    EXPECT_EQ(Run({"extract", (root_ / "Setup.exe").string()}), kExitUsage);
}
