#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/ArchiveWriter.h"
#include "system/Stream.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"

namespace fs = std::filesystem;

namespace {

// The source tree comes from the build: __FILE__ may be relative to the build folder (a compiler
// cache rewrites paths), and the tests run elsewhere.
const fs::path kExamples = fs::path(PLUGSETUP_SOURCE_DIR) / "examples";

class ExampleProducts : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plugsetup-preview-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "bin");
        std::ofstream(root_ / "bin" / "Setup.exe", std::ios::binary) << "MZ" + std::string(0x200 - 2, '\0');
    }
    void TearDown() override { fs::remove_all(root_); }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        ToolEnvironment env{out_, err_, (root_ / "bin" / "plugsetup").string(),
                            [this](const std::string& name) -> std::optional<std::string> {
                                if (name == "SOURCE_DATE_EPOCH" && !epoch_.empty()) return epoch_;
                                return std::nullopt;
                            },
                            [] { return 45000.5; }};
        return RunPlugsetup(args, env);
    }

    // Each line must appear, whole, after the one before it.
    void ExpectLinesInOrder(const std::vector<std::string>& lines) {
        const std::string out = "\n" + out_.str();
        std::size_t at = 0;
        for (const std::string& line : lines) {
            std::size_t found = out.find("\n" + line + "\n", at);
            ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << out_.str();
            at = found + 1;
        }
    }

    static std::vector<char> Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path root_;
    std::string epoch_;
    std::ostringstream out_, err_;
};

TEST_F(ExampleProducts, EveryExamplePassesTheCheck) {
    for (const char* name : {"gadget", "synth64", "bundle"}) {
        EXPECT_EQ(Run({"check", (kExamples / name).string()}), kExitOk) << name << "\n"
                                                                        << out_.str() << err_.str();
        EXPECT_NE(out_.str().find(": 0 errors, 0 warnings\n"), std::string::npos) << out_.str();
    }
}

TEST_F(ExampleProducts, Synth64PutsEachFormatInIts64BitFolder) {
    ASSERT_EQ(Run({"preview", "--version", "2.1.0", "--build-time", "2024-05-17T13:45:30",
                   (kExamples / "synth64").string()}),
              kExitOk)
        << err_.str();
    const std::string program = "C:\\Program Files\\Example Audio\\Synth64 2\\";
    const std::string kBundle = "C:\\Program Files\\Common Files\\VST3\\Synth64.vst3\\";
    ExpectLinesInOrder({
        "Synth64 2.10 (64-bit) on 64-bit Windows, destination C:\\Program Files\\Example Audio\\Synth64 2\\",
        "file     " + program + "Readme.txt  size=94  time=2024-05-17 13:45:30",
        "file     C:\\Program Files\\Steinberg\\VstPlugins\\Synth64.dll  size=42  time=2024-05-17 13:45:30",
        // The VST 3 bundle arrives whole: its runtime library keeps its name, the icon files are hidden.
        "file     " + kBundle + "Contents\\Resources\\moduleinfo.json  size=1038  time=2024-05-17 13:45:30",
        "file     " + kBundle + "Contents\\x86_64-win\\Synth64.vst3  size=42  time=2024-05-17 13:45:30",
        "file     " + kBundle + "Contents\\x86_64-win\\Synth64Runtime.dll  size=78  time=2024-05-17 13:45:30",
        "attributes " + kBundle + "PlugIn.ico  set=RHSA",
        "attributes C:\\Program Files\\Common Files\\VST3\\Synth64.vst3  set=RD",
        "attributes " + kBundle + "desktop.ini  set=RHSA",
        "file     C:\\Program Files\\Common Files\\CLAP\\Synth64.clap  size=41  time=2024-05-17 13:45:30",
        "file     C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins\\Synth64.aaxplugin\\Contents\\x64\\"
        "Synth64.aaxplugin  size=40  time=2024-05-17 13:45:30",
        "registry HKLM(64-bit view)\\Software\\Example Audio\\Synth64\\2.0  value=Location  type=REG_SZ  "
        "data=" +
            program,
        "registry HKCU\\Software\\Example Audio\\Synth64\\2.0\\Settings  value=Polyphony  type=REG_DWORD  "
        "data=16",
        "shortcut C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Synth64 "
        "Readme.lnk  "
        "target=" +
            program + "Readme.txt  arguments=  folder=" + program +
            "  icon=%SystemRoot%\\system32\\imageres.dll,-102",
        "registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Synth64 2.10 "
        "(64-bit)"
        "  value=UninstallString  type=REG_SZ  data=" +
            program + "Uninst.exe",
        "registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Synth64 2.10 "
        "(64-bit)  value=DisplayVersion  type=REG_SZ  data=2.10",
        "registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Synth64 2.10 "
        "(64-bit)  value=InstallLocation  type=REG_SZ  data=" +
            program,
        "registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Synth64 2.10 "
        "(64-bit)  value=NoRepair  type=REG_DWORD  data=1",
        "uninstall log:",
        "  6\\Software\\Example Audio\\Synth64\\2.0",
    });

    const std::string clapFolder = "C:\\Program Files\\Common Files\\CLAP";
    EXPECT_NE(out_.str().find("  D" + clapFolder + "\\\n"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("  F" + kBundle + "Contents\\x86_64-win\\Synth64Runtime.dll\n"),
              std::string::npos);

    // Declined, CLAP leaves its folder alone; VST 3 is still installed.
    ASSERT_EQ(Run({"preview", "--set", "clap=off", (kExamples / "synth64").string()}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str().find(clapFolder), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(kBundle + "Contents\\x86_64-win\\Synth64.vst3"), std::string::npos);

    // A 64-bit product stops on 32-bit Windows with the engine's own message.
    EXPECT_EQ(Run({"preview", "--32bit-windows", (kExamples / "synth64").string()}), kExitFailure);
    EXPECT_NE(err_.str().find("the setup refuses to install"), std::string::npos) << err_.str();

    // On Arm its Arm64EC builds take the x64 ones' places, under the same names, so the uninstall
    // log is the x64 machine's.
    auto logOf = [](const std::string& out) { return out.substr(out.find("uninstall log:")); };
    ASSERT_EQ(Run({"preview", (kExamples / "synth64").string()}), kExitOk);
    const std::string x64Log = logOf(out_.str());
    for (const char* machine : {"arm64", "arm64-no-x64"}) {
        ASSERT_EQ(Run({"preview", "--machine", machine, (kExamples / "synth64").string()}), kExitOk)
            << machine;
        EXPECT_NE(out_.str().find(clapFolder + "\\Synth64.clap  size=42"), std::string::npos) << out_.str();
        EXPECT_NE(out_.str().find("VstPlugins\\Synth64.dll  size=43"), std::string::npos) << out_.str();
        EXPECT_EQ(logOf(out_.str()), x64Log) << machine;
    }
    EXPECT_NE(out_.str().find("on 64-bit Windows (Arm64 without x64 emulation), destination"),
              std::string::npos);
    EXPECT_EQ(Run({"preview", "--machine", "arm32", (kExamples / "synth64").string()}), kExitUsage);
}

TEST_F(ExampleProducts, BundleInstallsOnlyTheChosenItemsWithTheirVersionStamps) {
    ASSERT_EQ(Run({"preview", "--build-time", "2024-05-17T13:45:30", "--set", "items=Chorus,Reverb", "--set",
                   "vst2=D:\\VST", "--set", "shortcuts=none", (kExamples / "bundle").string()}),
              kExitOk)
        << err_.str();
    // Each item's files carry the build time shifted by its version: 1.20 by 1:20, 3.10 by 3:10.
    ExpectLinesInOrder({
        "file     D:\\VST\\Chorus.dll  size=42  time=2024-05-17 15:05:30",
        "file     D:\\VST\\Reverb.dll  size=42  time=2024-05-17 16:55:30",
        "registry HKCU\\Software\\Example Audio\\Chorus\\1.0  value=Path  type=REG_SZ  data=D:\\VST",
        "registry HKCU\\Software\\Example Audio\\Reverb\\3.0  value=Path  type=REG_SZ  data=D:\\VST",
        "registry HKCU\\Software\\Example Audio\\Reverb\\3.0  value=Tail  type=REG_DWORD  data=3",
        "registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Example "
        "Effects "
        "Bundle  value=DisplayName  type=REG_SZ  data=Example Effects Bundle",
    });
    EXPECT_EQ(out_.str().find("Delay"), std::string::npos) << out_.str();
    EXPECT_EQ(out_.str().find("shortcut "), std::string::npos) << out_.str();

    EXPECT_EQ(Run({"preview", "--set", "items=Flanger", (kExamples / "bundle").string()}), kExitUsage);
    EXPECT_NE(err_.str().find("'Flanger' is no item"), std::string::npos) << err_.str();
}

TEST_F(ExampleProducts, PreviewOfABuiltSetupMatchesPreviewOfItsFolder) {
    const std::string dir = (kExamples / "gadget").string();
    const std::string setup = (root_ / "Setup.exe").string();
    ASSERT_EQ(Run({"build", "--version", "1.0.0", "-o", setup, dir}), kExitOk) << err_.str();
    ASSERT_EQ(Run({"preview", "--json", "--version", "1.0.0", dir}), kExitOk) << err_.str();
    const std::string fromFolder = out_.str();
    ASSERT_EQ(Run({"preview", "--json", setup}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(), fromFolder);
    EXPECT_EQ(fromFolder.rfind("{\"setup\": \"Gadget 1.00 on 64-bit Windows", 0), 0u) << fromFolder;
    EXPECT_NE(fromFolder.find(
                  "\"kind\": \"registry\", \"path\": \"HKCU\\\\Software\\\\Example Audio\\\\Gadget\\\\1.0\", "
                  "\"value\": \"Owner\", \"type\": \"REG_SZ\", \"data\": \"user\"}"),
              std::string::npos)
        << fromFolder;

    EXPECT_EQ(Run({"preview", "--set", "colour=blue", dir}), kExitUsage);
}

TEST_F(ExampleProducts, PreviewShowsNamesAndTextsAsUtf8WhateverTheCodePage) {
    const fs::path dir = root_ / "accents";
    fs::copy(kExamples / "gadget", dir, fs::copy_options::recursive);
    fs::rename(dir / "Program" / "Presets.txt", dir / "Program" / "Ätherisch Fläche.txt");
    std::ofstream(dir / "Setup.ini", std::ios::binary)
        << "[Setup]\nProductName=Mødular\nRegistryRoot=Software\\Example Audio\\Mødular\n"
           "DefaultFolder=Example Audio\\Mødular %d\n[Components]\nProgram=$ProgramFolder\n"
           "[Shortcuts]\nStartMenu=$ProgramFolder\\Readme.txt,Lisez-moi de $ProductName\n";
    ASSERT_EQ(Run({"preview", "--json", "--set", "destination=C:\\Müsik", dir.string()}), kExitOk)
        << err_.str();
    const std::string json = out_.str();
    EXPECT_TRUE(IsValidUtf8(json)) << json;
    EXPECT_NE(json.find("\"path\": \"C:\\\\Müsik\\\\Ätherisch Fläche.txt\", \"size\""), std::string::npos)
        << json;
    EXPECT_NE(json.find("Programs\\\\Lisez-moi de Mødular.lnk\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"path\": \"HKLM(32-bit view)\\\\Software\\\\Example Audio\\\\Mødular\\\\1.0\""),
              std::string::npos)
        << json;

    // The wizard hands the setup any answer, whatever the code page of the setup's own texts.
    EXPECT_EQ(Run({"preview", "--set", "user=Фёдор", dir.string()}), kExitOk) << err_.str();
    EXPECT_EQ(Run({"preview", "--codepage", "1251", "--set", "user=Фёдор", dir.string()}), kExitFailure)
        << "Mødular has no place in code page 1251";
}

TEST_F(ExampleProducts, BuildsAreReproducibleAcrossFoldersAndThreads) {
    epoch_ = "1700000000";
    fs::create_directories(root_ / "a");
    fs::create_directories(root_ / "elsewhere" / "deeper");
    fs::copy(kExamples / "synth64", root_ / "a" / "synth64", fs::copy_options::recursive);
    fs::copy(kExamples / "synth64", root_ / "elsewhere" / "deeper" / "synth64", fs::copy_options::recursive);
    ASSERT_EQ(Run({"build", "--version", "2.1.0", "-o", (root_ / "one.exe").string(),
                   (root_ / "a" / "synth64").string()}),
              kExitOk)
        << err_.str();
    ASSERT_EQ(Run({"build", "--version", "2.1.0", "-o", (root_ / "two.exe").string(),
                   (root_ / "elsewhere" / "deeper" / "synth64").string()}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(Bytes(root_ / "one.exe"), Bytes(root_ / "two.exe"));

    std::vector<std::uint8_t> previous;
    for (unsigned threads : {1u, 2u, 7u}) {
        ArchiveWriterOptions options;
        options.Version.Major = 2;
        options.BuildTime = 45000.5;
        options.Threads = threads;
        MemoryStream out;
        const std::unique_ptr<CodePage> codePage = OpenCodePage(kDefaultCodePage);
        WriteArchive(out,
                     ArchiveEntries(ReadProductTree((kExamples / "bundle").string(), *codePage), *codePage),
                     options);
        if (!previous.empty()) {
            EXPECT_EQ(out.Bytes(), previous) << threads << " threads";
        }
        previous = out.Bytes();
    }
}

}  // namespace

namespace {

// A Windows in Japanese: the plan is the same, and the texts follow it in Japanese; the registry
// records the language for the uninstaller.
TEST_F(ExampleProducts, PreviewInALanguagePrintsWhatItsCustomerReads) {
    ASSERT_EQ(Run({"preview", "--language", "ja", (kExamples / "gadget").string()}), kExitOk) << err_.str();
    ExpectLinesInOrder({"registry HKLM(32-bit view)\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 1.00  "
                        "value=SetupLanguage  type=REG_SZ  data=ja",
                        "texts in Japanese (ja):", "  NextButton: 次へ(&N) >",
                        "  CancelButton: キャンセル"});
    EXPECT_EQ(Run({"preview", "--language", "xx", (kExamples / "gadget").string()}), kExitUsage);
}

}  // namespace
