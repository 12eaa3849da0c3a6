#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/ArchiveWriter.h"
#include "archive/SetupData.h"
#include "system/Stream.h"
#include "tests/unit/archive/SetupMachine.h"
#include "tests/unit/plugsetup/PeTestImage.h"
#include "tools/plugsetup/Signing.h"
#include "tools/plugsetup/Sha256.h"
#include "tools/plugsetup/Tool.h"
#include "uninstall/UninstallRecord.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

class Plugsetup : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plugsetup-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        product_ = root_ / "product";
        WriteAll(product_ / "Setup.ini", "[Setup]\nProductName=Gadget\n");
        WriteAll(product_ / "Gadget" / "Gadget.dll", std::string(5000, 'g'));
        WriteAll(product_ / "Gadget" / "Docs" / "Readme.txt", "Read me.");
        fs::create_directories(product_ / "Gadget" / "Empty");
        std::string stub = "MZ" + std::string(0x200 - 2, '\0');
        WriteAll(root_ / "bin" / "Setup.exe", stub);
    }
    void TearDown() override { fs::remove_all(root_); }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        ToolEnvironment env{out_, err_, (root_ / "bin" / "plugsetup").string(),
                            [this](const std::string& name) -> std::optional<std::string> {
                                auto found = vars_.find(name);
                                if (found == vars_.end()) return std::nullopt;
                                return found->second;
                            },
                            [] { return 45000.5; }};
        return RunPlugsetup(args, env);
    }

    std::string Out() const { return out_.str(); }
    std::string Err() const { return err_.str(); }
    std::string P(const char* name) const { return (root_ / name).string(); }

    fs::path root_, product_;
    std::map<std::string, std::string> vars_;
    std::ostringstream out_, err_;
};

TEST_F(Plugsetup, BuildsADataFileThatVerifiesAndLists) {
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.2.3", "--beta", "4", "--build-time",
                   "2024-05-17T13:45:30", "--data-file", "-o", P("Setup.dat"), product_.string()}),
              kExitOk)
        << Err();
    EXPECT_EQ(ReadAll(P("Setup.dat"))[0], 'K');

    EXPECT_EQ(Run({"verify", P("Setup.dat")}), kExitOk) << Err();
    EXPECT_NE(Out().find(": OK, version 1.23 beta 4, 3 files,"), std::string::npos) << Out();

    ASSERT_EQ(Run({"list", P("Setup.dat")}), kExitOk) << Err();
    EXPECT_EQ(Out(),
              "Version:    1.23 beta 4\n"
              "Build time: 2024-05-17 13:45:30\n"
              "Text:       UTF-8\n"
              "Uninstaller: a copy of the setup program, made at installation\n"
              "Gadget\\\n"
              "  Docs\\\n"
              "    Readme.txt  8\n"
              "  Empty\\\n"
              "  Gadget.dll  5000\n"
              "Setup.ini  27\n");
}

TEST_F(Plugsetup, NamesAndTextsGoIntoTheCodePageAndComeBackAsUtf8) {
    WriteAll(product_ / "Setup.ini", "\xEF\xBB\xBF[Setup]\r\nProductName=Mødular\r\n");
    WriteAll(product_ / "Presets" / "Café Crème.vstpreset", "preset");
    WriteAll(product_ / "Presets" / "夜明けのパッド.vstpreset", "preset");
    // By default the archive holds UTF-8 and says so.
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--data-file", "-o", P("Setup.dat"),
                   product_.string()}),
              kExitOk)
        << Err();
    ASSERT_EQ(Run({"list", "--codepage", "1251", P("Setup.dat")}), kExitOk) << Err();
    EXPECT_NE(Out().find("Text:       UTF-8\n"), std::string::npos) << Out();
    EXPECT_NE(Out().find("\n  Café Crème.vstpreset  6\n  夜明けのパッド.vstpreset  6\n"), std::string::npos) << Out();
    fs::remove(product_ / "Presets" / "夜明けのパッド.vstpreset");

    // With --codepage the archive holds Windows-1252 bytes, and list and verify say so.
    ASSERT_EQ(Run({"build", "--no-check", "--codepage", "1252", "--version", "1.0.0", "--data-file", "-o",
                   P("Setup.dat"), product_.string()}),
              kExitOk)
        << Err();
    std::vector<std::uint8_t> data = ReadAll(P("Setup.dat"));
    const std::string raw(data.begin(), data.end());
    EXPECT_NE(raw.find("Caf\xE9 Cr\xE8me.vstpreset"), std::string::npos);
    ASSERT_EQ(Run({"list", "--codepage", "1251", P("Setup.dat")}), kExitOk) << Err();
    EXPECT_NE(Out().find("Text:       code page 1252\n"), std::string::npos) << Out();
    EXPECT_NE(Out().find("\n  Café Crème.vstpreset  6\n"), std::string::npos) << Out();

    // extract writes the names as this machine spells them, the texts as the setup reads them.
    ASSERT_EQ(Run({"extract", P("Setup.dat"), P("out")}), kExitOk) << Err();
    EXPECT_NE(Out().find("Presets/Café Crème.vstpreset\n"), std::string::npos) << Out();
    EXPECT_TRUE(fs::exists(root_ / "out" / "Presets" / "Café Crème.vstpreset"));
    const std::vector<std::uint8_t> ini = ReadAll(root_ / "out" / "Setup.ini");
    EXPECT_EQ(std::string(ini.begin(), ini.end()),
              "[Setup]\r\nProductName=M\xF8"
              "dular\r\n");
    ASSERT_EQ(Run({"extract", P("Setup.dat"), "Presets", P("one")}), kExitOk) << Err();
    EXPECT_TRUE(fs::exists(root_ / "one" / "Café Crème.vstpreset"));

    // A Japanese name has no place in Windows-1252, but one in code page 932.
    WriteAll(product_ / "Presets" / "夜明けのパッド.vstpreset", "preset");
    EXPECT_EQ(Run({"build", "--no-check", "--codepage", "1252", "--version", "1.0.0", "--data-file", "-o",
                   P("Setup.dat"), product_.string()}),
              kExitFailure);
    EXPECT_NE(
        Err().find(
            "夜明けのパッド.vstpreset: error: in the name, '夜' (U+591C) has no form in code page 1252"),
        std::string::npos)
        << Err();
    // Code page 932 has no "é" and no "ø": those stay behind.
    fs::remove(product_ / "Presets" / "Café Crème.vstpreset");
    WriteAll(product_ / "Setup.ini", "[Setup]\r\nProductName=夜明け\r\n");
    ASSERT_EQ(Run({"build", "--no-check", "--codepage", "932", "--version", "1.0.0", "--data-file", "-o",
                   P("Setup.dat"), product_.string()}),
              kExitOk)
        << Err();
    ASSERT_EQ(Run({"list", P("Setup.dat")}), kExitOk) << Err();
    EXPECT_NE(Out().find("\n  夜明けのパッド.vstpreset  6\n"), std::string::npos) << "read as the mark says, "
                                                                                 "whatever --codepage";
    EXPECT_NE(Out().find("\nSetup.ini  29\n"), std::string::npos)
        << "three characters of two bytes each, not three";
}

// A record of an earlier version, without the mark: in the customer's ANSI code page.
TEST_F(Plugsetup, LogShowsTheRecordDecodedFromTheCodePage) {
    MemoryStream record;
    TProgramVersion version;
    version.Major = 1;
    WriteUninstallRecord(record, version,
                         {{ItemKind::File,
                           "C:\\Program Files\\M\xF8"
                           "dular\\Caf\xE9.txt"}},
                         "M\xF8"
                         "dular");
    std::string bytes(record.Bytes().begin(), record.Bytes().end());
    bytes.replace(8, kTextMarkSize, kTextMarkSize, '\0');
    WriteAll(P("Uninstall.dat"), bytes);
    ASSERT_EQ(Run({"log", P("Uninstall.dat")}), kExitOk) << Err();
    EXPECT_EQ(Out(), "Product: Mødular\nVersion: 1.00\nFC:\\Program Files\\Mødular\\Café.txt\n");
    ASSERT_EQ(Run({"log", "--codepage", "1253", P("Uninstall.dat")}), kExitOk) << Err();
    EXPECT_EQ(Out().substr(0, 18), "Product: Mψdular\n") << "the same byte in Greek";
}

TEST_F(Plugsetup, WingetManifestDescribesTheSetupItWasGiven) {
    // The published test vectors: empty, one block, and a message that spills into a second.
    EXPECT_EQ(Sha256Hex({}), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(Sha256Hex({'a', 'b', 'c'}), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256Hex(std::vector<std::uint8_t>(two.begin(), two.end())),
              "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");

    WriteAll(product_ / "Setup.ini",
             "[Setup]\nProductName=Gadget\nPublisher=Maker's "
             "Audio\nIs64Bit=1\nRegistryRoot=Maker\\Gadget\nDefaultFolder=Gadget\n");
    WriteAll(product_ / "Setup.lic", "Licence\r\n");
    ASSERT_EQ(Run({"build", "--no-check", "--version", "2.0.1", "-o", P("Setup.exe"), product_.string()}),
              kExitOk)
        << Err();
    ASSERT_EQ(Run({"winget", P("Setup.exe")}), kExitOk) << Err();
    const std::string manifest = Out();
    for (const std::string& line : std::vector<std::string>{
             "PackageIdentifier: 'Maker''sAudio.Gadget'", "PackageVersion: '2.01'", "InstallerType: exe",
             "Scope: machine", "  Silent: '/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /ACCEPTLICENSE'",
             "- InstallerReturnCode: 6\n  ReturnResponse: installInProgress",
             "ProductCode: 'Gadget 2.01 (64-bit)'",
             "- DisplayName: 'Gadget 2.01 (64-bit)'\n  Publisher: 'Maker''s Audio'\n  DisplayVersion: '2.01'",
             "- Architecture: x64", "  InstallerSha256: " + Sha256Hex(ReadAll(P("Setup.exe"))),
             "ManifestVersion: 1.10.0"})
        EXPECT_NE(manifest.find(line + "\n"), std::string::npos) << line << "\n" << manifest;
    EXPECT_NE(Err().find("placeholder"), std::string::npos);
    EXPECT_EQ(Run({"winget", "--url", "ftp://x", P("Setup.exe")}), kExitUsage);
}

TEST_F(Plugsetup, BuildsAProgramFromTheStubBesideTheTool) {
    ASSERT_EQ(Run({"build", "--no-check", "--version", "2.0.1", "--press-preview", "-o", P("Setup.exe"),
                   product_.string()}),
              kExitOk)
        << Err();
    std::vector<std::uint8_t> program = ReadAll(P("Setup.exe"));
    EXPECT_EQ(Int32At(program, 0x30), 0x200);  // the archive starts where the stub ends
    EXPECT_EQ(Int32At(program, 0x34), 0);
    MemoryStream s(program);
    s.Seek(0x200);
    ArchiveInfo info = CheckArchive(s);
    EXPECT_EQ(info.Version.AsString(), "2.01 (press preview)");
    EXPECT_EQ(info.BuildTime, 45000.5);  // now, as the environment tells it
    EXPECT_EQ(info.ArchiveEnd, static_cast<std::int64_t>(program.size()));

    EXPECT_EQ(Run({"verify", P("Setup.exe")}), kExitOk) << Err();
    EXPECT_FALSE(fs::exists(P("Setup.exe.partial")));
}

TEST_F(Plugsetup, SameInputsGiveIdenticalFilesAndSourceDateEpochIsUtcWallClock) {
    vars_["SOURCE_DATE_EPOCH"] = "1700000000";  // 2023-11-14 22:13:20 UTC
    ASSERT_EQ(Run({"build", "--no-check", "--version=3.1.1", "-o", P("a.exe"), product_.string()}), kExitOk)
        << Err();
    ASSERT_EQ(Run({"build", "--no-check", "--version=3.1.1", "-o", P("b.exe"), product_.string()}), kExitOk)
        << Err();
    EXPECT_EQ(ReadAll(P("a.exe")), ReadAll(P("b.exe")));
    ASSERT_EQ(Run({"list", P("a.exe")}), kExitOk);
    EXPECT_NE(Out().find("Build time: 2023-11-14 22:13:20\n"), std::string::npos) << Out();

    vars_["SOURCE_DATE_EPOCH"] = "soon";
    EXPECT_EQ(Run({"build", "--no-check", "--version=3.1.1", "-o", P("c.exe"), product_.string()}),
              kExitFailure);
    EXPECT_FALSE(fs::exists(P("c.exe")));
}

TEST_F(Plugsetup, VerifyReportsTheReadersOwnMessage) {
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--data-file", "-o", P("Setup.dat"),
                   product_.string()}),
              kExitOk);
    std::vector<std::uint8_t> good = ReadAll(P("Setup.dat"));

    std::vector<std::uint8_t> bytes = good;
    bytes[3] = 'X';
    std::ofstream(P("bad.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_EQ(Run({"verify", P("bad.dat")}), kExitFailure);
    EXPECT_EQ(Err(), "plugsetup: " + P("bad.dat") + ": Invalid setup data signature\n");

    bytes = good;
    bytes[bytes.size() / 2] ^= 4;
    std::ofstream(P("bad.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_EQ(Run({"verify", P("bad.dat")}), kExitFailure);
    EXPECT_EQ(Err(), "plugsetup: " + P("bad.dat") + ": " + kCorruptedArchiveMessage + "\n");

    std::ofstream(P("short.dat"), std::ios::binary) << "KW/ISB/3";
    EXPECT_EQ(Run({"verify", P("short.dat")}), kExitFailure);
    EXPECT_EQ(Err(), "plugsetup: " + P("short.dat") + ": Stream read error\n");

    EXPECT_EQ(Run({"list", P("missing.dat")}), kExitFailure);
    EXPECT_NE(Err().find("missing.dat"), std::string::npos);
}

TEST_F(Plugsetup, RefusesWhatTheArchiveCannotHoldWithoutLeavingAFile) {
    WriteAll(product_ / "Gadget" / "a:b.txt", "colon");
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--data-file", "-o", P("Setup.dat"),
                   product_.string()}),
              kExitFailure);
    EXPECT_NE(Err().find("Gadget/a:b.txt: error: the name holds ':'"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(P("Setup.dat")));
    EXPECT_FALSE(fs::exists(P("Setup.dat.partial")));
}

TEST_F(Plugsetup, RefusesAStubThatIsNotAFreshProgram) {
    WriteAll(root_ / "text.exe", "not a program at all, but long enough for the header words......");
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--stub", P("text.exe"), "-o", P("x.exe"),
                   product_.string()}),
              kExitFailure);
    EXPECT_NE(Err().find("no MZ header"), std::string::npos) << Err();

    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "-o", P("Setup.exe"), product_.string()}),
              kExitOk);
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--stub", P("Setup.exe"), "-o", P("x.exe"),
                   product_.string()}),
              kExitFailure);
    EXPECT_NE(Err().find("already carries"), std::string::npos) << Err();
}

TEST_F(Plugsetup, SignRunsTheCommandOnTheUninstallerThenOnTheSetup) {
    // A stand-in signer: copies, and notes each file it was given; the paths hold a blank and
    // a quote, which the shell must see as part of one word.
    const fs::path out = root_ / "it's out";
    fs::create_directories(out);
    WriteAll(product_ / "Setup.ini",
             "[Setup]\nProductName=Gadget\nRegistryRoot=Maker\\Gadget\nDefaultFolder=Gadget\n"
             "[Components]\nGadget=$ProgramFolder\n");
    WriteAll(product_ / "Setup.lic", "Licence");
    const std::string signer = "cp {in} {out} && ls -l {in} >>" + P("signed.txt");
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--sign", signer, "-o",
                   (out / "Setup.exe").string(), product_.string()}),
              kExitOk)
        << Err();
    EXPECT_NE(Out().find(": signed, and so is the uninstaller it carries (Uninst.exe)\n"), std::string::npos);
    // The stand-in adds no certificate table, and the build says so for each file.
    EXPECT_NE(Err().find("warning: the uninstaller carries no certificate table"), std::string::npos)
        << Err();
    EXPECT_NE(Err().find("warning: the setup carries no certificate table"), std::string::npos) << Err();
    std::ifstream noted(P("signed.txt"));
    std::string first, second, extra;
    std::getline(noted, first);
    std::getline(noted, second);
    EXPECT_NE(first.find("/Uninst.exe"), std::string::npos) << first;
    EXPECT_NE(second.find("/Setup.exe"), std::string::npos) << second;
    EXPECT_FALSE(std::getline(noted, extra));
    // Nothing but the setup is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

    ASSERT_EQ(Run({"list", (out / "Setup.exe").string()}), kExitOk) << Err();
    EXPECT_NE(Out().find("Certificate table: none\nUninstaller: Uninst.exe in the archive, not signed\n"),
              std::string::npos)
        << Out();
    EXPECT_NE(Out().find("\nUninst.exe  512\n"), std::string::npos) << Out();
    ASSERT_EQ(Run({"verify", (out / "Setup.exe").string()}), kExitOk) << Err();
    EXPECT_NE(Out().find("Uninstaller: Uninst.exe in the archive, not signed\n"), std::string::npos) << Out();

    // The setup installs the carried program with the record beside it.
    ASSERT_EQ(Run({"preview", (out / "Setup.exe").string()}), kExitOk) << Err();
    EXPECT_NE(Out().find("\\Uninst.exe  size=512"), std::string::npos) << Out();
    EXPECT_NE(Out().find("\\Uninstall.dat  size="), std::string::npos) << Out();

    // The carried uninstaller is the stub as an uninstaller that reads Uninstall.dat.
    ASSERT_EQ(Run({"extract", (out / "Setup.exe").string(), P("extracted")}), kExitOk) << Err();
    std::vector<std::uint8_t> uninstaller = ReadAll(P("extracted/Uninst.exe"));
    ASSERT_EQ(uninstaller.size(), 0x200u);
    EXPECT_EQ(Int32At(uninstaller, 0x30), 0);
    EXPECT_EQ(Int32At(uninstaller, 0x34), 1);
}

TEST_F(Plugsetup, AFailedSignCommandStopsTheBuildAndKeepsTheFileThatWasThere) {
    const std::string before = "the release before";
    WriteAll(root_ / "Setup.exe", before);
    struct Case {
        std::string command;
        std::string shown;  // in the message besides the command line
    };
    const Case cases[] = {
        {"no-such-signer {in} {out}", "exited with status 127 (the shell did not find the command)"},
        {"echo bad certificate >&2; exit 3 # {in} {out}", "exited with status 3"},
        {"true {in} {out}", "wrote no signed file"},
        {": >{out} # {in}", "wrote no signed file"},
        // The uninstaller signs, the setup does not.
        {"case {in} in *Uninst.exe) cp {in} {out};; *) echo no more tokens; exit 1;; esac",
         "signing the setup"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--sign", c.command, "-o", P("Setup.exe"),
                       product_.string()}),
                  kExitFailure)
            << c.command;
        EXPECT_NE(Err().find(c.shown), std::string::npos) << Err();
        EXPECT_NE(Err().find("  command: "), std::string::npos) << Err();
        EXPECT_EQ(ReadAll(P("Setup.exe")), std::vector<std::uint8_t>(before.begin(), before.end()));
        EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 3) << c.command;
    }
    EXPECT_NE(Err().find("no more tokens"), std::string::npos) << Err();
    // What the command printed is shown, line by line.
    Run({"build", "--no-check", "--version", "1.0.0", "--sign", "echo bad certificate; exit 3 # {in} {out}",
         "-o", P("Setup.exe"), product_.string()});
    EXPECT_NE(Err().find("  output:\n    bad certificate"), std::string::npos) << Err();
}

TEST_F(Plugsetup, VerifyAndBuildCatchWhatSigningCouldHaveDamaged) {
    auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(P(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    const std::vector<std::uint8_t> stub = setuptest::PeStub();
    write("bin/Setup.exe", stub);
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "-o", P("Setup.exe"), product_.string()}),
              kExitOk)
        << Err();
    const std::vector<std::uint8_t> signedSetup = setuptest::Signed(ReadAll(P("Setup.exe")));
    write("signed.exe", signedSetup);
    ASSERT_EQ(Run({"verify", P("signed.exe")}), kExitOk) << Err();
    const std::uint32_t table = setuptest::WordAt(signedSetup, setuptest::kSecurityEntry);
    EXPECT_NE(Out().find("Certificate table: 24 bytes at offset " + std::to_string(table) + "\n"),
              std::string::npos)
        << Out();

    std::vector<std::uint8_t> damaged = signedSetup;
    setuptest::PutWord(damaged, setuptest::kSecurityEntry + 4, 25);
    write("damaged.exe", damaged);
    EXPECT_EQ(Run({"verify", P("damaged.exe")}), kExitFailure);
    EXPECT_NE(Err().find("the certificate table runs past the end of the file"), std::string::npos) << Err();
    damaged = signedSetup;
    setuptest::PutWord(damaged, setuptest::kSecurityEntry, static_cast<std::uint32_t>(stub.size() + 100));
    write("damaged.exe", damaged);
    EXPECT_EQ(Run({"verify", P("damaged.exe")}), kExitFailure);
    EXPECT_NE(Err().find("the certificate table overlaps the archive"), std::string::npos) << Err();

    // A signing command that rewrites the uninstaller's marker word.
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--sign",
                   "cp {in} {out} && printf '\\0' | dd of={out} bs=1 seek=52 conv=notrunc status=none", "-o",
                   P("x.exe"), product_.string()}),
              kExitFailure);
    EXPECT_NE(Err().find("changed its header words"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(P("x.exe")));

    // An archive whose Uninst.exe would not find its record.
    ArchiveWriterOptions options;
    MemoryStream archive;
    WriteArchive(archive, {SourceEntry::File("Uninst.exe", stub)}, options);
    write("odd.dat", archive.Bytes());
    EXPECT_EQ(Run({"verify", P("odd.dat")}), kExitFailure);
    EXPECT_NE(Err().find("Uninst.exe is no uninstaller that reads Uninstall.dat"), std::string::npos)
        << Err();
}

TEST_F(Plugsetup, TheUninstallersNameIsReservedAtTheTopOfAProductFolder) {
    WriteAll(product_ / "uninst.EXE", "stray");
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "-o", P("Setup.exe"), product_.string()}),
              kExitFailure);
    EXPECT_NE(Err().find("uninst.EXE: error: the name is reserved"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(P("Setup.exe")));
    // Deeper down it is an ordinary file.
    fs::rename(product_ / "uninst.EXE", product_ / "Gadget" / "Uninst.exe");
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "-o", P("Setup.exe"), product_.string()}),
              kExitOk)
        << Err();
}

TEST_F(Plugsetup, BadArgumentsGiveStatus2AndAUsageLine) {
    const std::string dir = product_.string();
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"unpack", "x"},
        {"verify"},
        {"verify", "a", "b"},
        {"list", "--all", "x"},
        {"build", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", dir},
        {"build", "--version", "1.0.0", "-o", P("x")},
        {"build", "--version", "1.10.0", "-o", P("x"), dir},
        {"build", "--version", "1.0", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--beta", "x", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--build-time", "2024-02-30T00:00:00", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--data-file", "--stub", "s", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--version", "1.0.0", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "-o"},
        {"build", "--version", "1.0.0", "--sign", "signtool sign {in}", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--sign", "cp {in} {out}", "--data-file", "-o", P("x"), dir},
        // Quotes around a placeholder undo the quoting of the path put in.
        {"build", "--version", "1.0.0", "--sign", "osslsigncode sign -in '{in}' -out {out}", "-o", P("x"),
         dir},
        {"build", "--version", "1.0.0", "--sign", "cp {in} \"signed/{out}\"", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--sign", "signtool sign \"{file}\"", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--sign", "cp {in} {out} {file}", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--sign", "true {file}", "--sign-retries", "x", "-o", P("x"), dir},
        {"build", "--version", "1.0.0", "--sign-files", "-o", P("x"), dir},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(args), kExitUsage) << (args.empty() ? "(none)" : args[0]) << " " << args.size();
        EXPECT_NE(Err().find("usage: plugsetup"), std::string::npos) << Err();
    }
    EXPECT_FALSE(fs::exists(P("x")));
    Run({"build", "--version", "1.0.0", "--sign", "jsign \"{file}\"", "-o", P("x"), dir});
    EXPECT_NE(Err().find("{file} stands inside quotes"), std::string::npos) << Err();
    EXPECT_NE(Err().find("Write {file} bare"), std::string::npos) << Err();
}

TEST_F(Plugsetup, SignFilesSignsCopiesOfTheProductsProgramsInPlace) {
    const std::vector<std::uint8_t> program = petest::Image();
    auto write = [&](const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    write(root_ / "bin" / "Setup.exe", program);
    write(product_ / "Gadget" / "Gadget.dll", program);
    WriteAll(product_ / "Gadget" / "Fake.vst3", "not a program");
    // A stand-in for a signer that rewrites the file it is given.
    const std::string signer = "printf SIGNED >>{file}";
    ASSERT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--sign", signer, "--sign-files", "-o",
                   P("Setup.exe"), product_.string()}),
              kExitOk)
        << Err();
    EXPECT_NE(Out().find(": 1 of the product's programs signed (--sign-files)\n"), std::string::npos)
        << Out();
    EXPECT_EQ(ReadAll(product_ / "Gadget" / "Gadget.dll"), program);
    const std::vector<std::uint8_t> setup = ReadAll(P("Setup.exe"));
    EXPECT_EQ(std::string(setup.end() - 6, setup.end()), "SIGNED");
    ASSERT_EQ(Run({"extract", P("Setup.exe"), P("out")}), kExitOk) << Err();
    for (const char* name : {"out/Gadget/Gadget.dll", "out/Uninst.exe"}) {
        const std::vector<std::uint8_t> bytes = ReadAll(P(name));
        EXPECT_EQ(std::string(bytes.end() - 6, bytes.end()), "SIGNED") << name;
    }
    EXPECT_EQ(ReadAll(P("out/Gadget/Fake.vst3")).size(), 13u);
}

TEST_F(Plugsetup, TheSetupTakesItsIconAndVersionInformationFromTheProduct) {
    const std::vector<std::uint8_t> stub = petest::Image();
    std::ofstream(P("bin/Setup.exe"), std::ios::binary)
        .write(reinterpret_cast<const char*>(stub.data()), stub.size());
    auto build = [&] {
        return Run({"build", "--no-check", "--version", "2.1.0", "-o", P("Setup.exe"), product_.string()});
    };
    // Without them the stub goes in as it is.
    ASSERT_EQ(build(), kExitOk) << Err();
    std::vector<std::uint8_t> setup = ReadAll(P("Setup.exe"));
    EXPECT_TRUE(std::equal(stub.begin() + 0x38, stub.end(), setup.begin() + 0x38));

    WriteAll(product_ / "Setup.ini",
             "[Setup]\nProductName=Gadget\nPublisher=Ørsted Audio\nLegalCopyright=© 2026 Ørsted Audio\n");
    const std::vector<std::uint8_t> icon = petest::Icon({32});
    WriteAll(product_ / "Setup.ico", std::string(icon.begin(), icon.end()));
    ASSERT_EQ(build(), kExitOk) << Err();
    ASSERT_EQ(Run({"list", P("Setup.exe")}), kExitOk) << Err();
    EXPECT_NE(Out().find("Icon:       1 image (32x32)\n"
                         "Version information:\n"
                         "  FileDescription: Gadget Setup\n"
                         "  FileVersion: 2.1.0\n"
                         "  ProductName: Gadget\n"
                         "  ProductVersion: 2.1.0\n"
                         "  CompanyName: Ørsted Audio\n"
                         "  LegalCopyright: © 2026 Ørsted Audio\n"),
              std::string::npos)
        << Out();
    // The icon is the program's, not a file the setup installs.
    EXPECT_EQ(Out().find("Setup.ico"), std::string::npos) << Out();
    ASSERT_EQ(Run({"verify", P("Setup.exe")}), kExitOk) << Err();
    EXPECT_NE(Out().find("  LegalCopyright: © 2026 Ørsted Audio\n"), std::string::npos) << Out();

    WriteAll(product_ / "Setup.ico", "GIF89a");
    EXPECT_EQ(build(), kExitFailure);
    EXPECT_NE(Err().find("Setup.ico: not an icon file"), std::string::npos) << Err();
    EXPECT_EQ(Run({"check", product_.string()}), kExitFailure);
    EXPECT_NE(Out().find("Setup.ico: error: not an icon file"), std::string::npos) << Out();
}

TEST_F(Plugsetup, AFailingSignerIsTriedAgainAfterGrowingPauses) {
    const std::string counter = P("attempts");
    WriteAll(P("in.exe"), "program");
    SignOptions options;
    // Fails twice, then signs.
    options.Command = "n=$(cat " + counter + " 2>/dev/null || echo 0); echo $((n+1)) >" + counter +
                      "; [ $n -ge 2 ] && cp {in} {out}";
    options.Retries = 2;
    std::vector<int> pauses;
    options.Pause = [&](int seconds) { pauses.push_back(seconds); };
    std::ostringstream warnings;
    SignFile(options, "the setup", P("in.exe"), P("out.exe"), warnings);
    EXPECT_EQ(pauses, std::vector<int>({2, 4}));
    EXPECT_NE(
        warnings.str().find("signing the setup failed: the command exited with status 1 (attempt 1 of 3)"),
        std::string::npos)
        << warnings.str();
    EXPECT_EQ(ReadAll(P("out.exe")).size(), 7u);
    // One retry is not enough the second time round.
    fs::remove(counter);
    fs::remove(P("out.exe"));
    options.Retries = 1;
    EXPECT_THROW(SignFile(options, "the setup", P("in.exe"), P("out.exe"), warnings), Exception);
}

TEST_F(Plugsetup, HelpGoesToStandardOutput) {
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(Out().find("build"), std::string::npos);
    EXPECT_NE(Out().find("verify"), std::string::npos);
    EXPECT_EQ(Run({"build", "--no-check", "--help"}), kExitOk);
    EXPECT_NE(Out().find("usage: plugsetup build --version"), std::string::npos);
}

#ifdef PLUGSETUP_EXE
// The program itself: its exit statuses reach the shell.
TEST_F(Plugsetup, ProgramExitsWithTheCommandsStatus) {
    auto status = [](const std::string& command) {
        int raw = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string exe = PLUGSETUP_EXE;
    EXPECT_EQ(status(exe + " build --no-check --version 1.0.0 --data-file -o '" + P("Setup.dat") + "' '" +
                     product_.string() + "'"),
              0);
    EXPECT_EQ(status(exe + " verify '" + P("Setup.dat") + "'"), 0);
    EXPECT_EQ(status(exe + " verify '" + product_.string() + "/Setup.ini'"), 1);
    EXPECT_EQ(status(exe + " frobnicate"), 2);
}
#endif

}  // namespace
