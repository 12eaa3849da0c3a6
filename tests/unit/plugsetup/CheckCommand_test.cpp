#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"

namespace fs = std::filesystem;

namespace {

// Line numbers below are those of this text.
constexpr char kGoodIni[] =
    "[Setup]\n"                                                   // 1
    "ProductName=Gadget\n"                                        // 2
    "RegistryRoot=Software\\Example\\Gadget\n"                    // 3
    "DefaultFolder=Example\\Gadget %d\n"                          // 4
    "[Components]\n"                                              // 5
    "Program=$ProgramFolder\n"                                    // 6
    "VST=$VstPluginFolder,DLLSuffix:x64\n"                        // 7
    "[ComponentsOptions]\n"                                       // 8
    "Program=NoOverwrite\n"                                       // 9
    "[Folders]\n"                                                 // 10
    "Presets=$Documents\\Gadget\n"                                // 11
    "[FoldersRegistry]\n"                                         // 12
    "Presets=Folders\\Presets\n"                                  // 13
    "[Shortcuts]\n"                                               // 14
    "StartMenu=$ProgramFolder\\Readme.txt,$ProductName Readme\n"  // 15
    "[CallLibraries]\n"                                           // 16
    "Register=$VstPluginFolder\\Gadget x64.dll\n"                 // 17
    "[RegistrySettings]\n"                                        // 18
    "Settings\\Skin=%Presets\\Dark\n";                            // 19

constexpr char kGoodBundleIni[] =
    "[Setup]\n"                                 // 1
    "ProductName=Bundle\n"                      // 2
    "IsBundle=1\n"                              // 3
    "RegistryRoot=Software\\Example\\Bundle\n"  // 4
    "BundleRegistryRoot=Software\\Example\n"    // 5
    "DefaultFolder=Example\\Bundle\n"           // 6
    "[Components]\n"                            // 7
    "$BundleItem=$VstPluginFolder\n"            // 8
    "[RegistrySettings]\n"                      // 9
    "$BundleItem(Alpha)\\Skin=Dark\n";          // 10

constexpr char kGoodBundleInfo[] = "Alpha=1.20,Alpha Equalizer\nBeta=2.05\n";

struct CheckCase {
    const char* what;
    bool bundle;
    std::string file;  // the file changed, below the product folder
    std::string from;  // text replaced in it; empty: the file is removed (or, with to, written)
    std::string to;
    std::string expected;  // "FILE[:LINE]: error|warning: " and a piece of the message
};

const CheckCase kCases[] = {
    {"no Setup.ini", false, "Setup.ini", "", "", "Setup.ini: error: no Setup.ini"},
    {"no licence", false, "Setup.lic", "", "", "Setup.lic: error: no licence"},
    {"no picture", false, "Setup.jpg", "", "", "Setup.jpg: error: no side picture"},
    {"picture no JPEG", false, "Setup.jpg", "\xFF\xD8", "\x89PNG", "Setup.jpg: error: not a JPEG file"},
    {"no RegistryRoot", false, "Setup.ini", "RegistryRoot=Software\\Example\\Gadget\n", "",
     "Setup.ini:1: error: Invalid configuration in Setup.ini: [Setup] has no RegistryRoot"},
    {"no DefaultFolder", false, "Setup.ini", "DefaultFolder=", "DefaultFolderX=",
     "Setup.ini:1: error: Invalid configuration in Setup.ini: [Setup] has no DefaultFolder"},
    {"bundle without its root", true, "Setup.ini", "BundleRegistryRoot=", "; ",
     "Setup.ini:1: error: Invalid configuration in Setup.ini: a bundle (IsBundle=1) needs "
     "BundleRegistryRoot"},
    {"bundle without BundleInfo.ini", true, "BundleInfo.ini", "", "", "BundleInfo.ini: error: a bundle"},
    {"bundle version no version", true, "BundleInfo.ini", "2.05", "new",
     "BundleInfo.ini:2: error: 'new' is not a valid version number"},
    {"bundle major above 23", true, "BundleInfo.ini", "2.05", "24.00",
     "BundleInfo.ini:2: error: Invalid argument to time encode: "},
    {"bundle minutes above 59", true, "BundleInfo.ini", "1.20", "1.60",
     "BundleInfo.ini:1: error: Invalid argument to time encode: "},
    {"bundle minor of 10", true, "BundleInfo.ini", "2.05", "2.10.1",
     "BundleInfo.ini:2: error: version '2.10.1' is read as minor and release digits '10'"},
    {"missing component folder", false, "Setup.ini", "Program=$ProgramFolder", "Programs=$ProgramFolder",
     "Setup.ini:6: error: component source 'Programs' is no folder"},
    {"option for no component", false, "Setup.ini", "Program=NoOverwrite", "Programm=NoOverwrite",
     "Setup.ini:9: error: 'Programm' names no [Components] line"},
    {"option in other case", false, "Setup.ini", "Program=NoOverwrite", "program=NoOverwrite",
     "Setup.ini:9: error: 'program' names no [Components] line (the letter case differs"},
    {"unknown option", false, "Setup.ini", "=NoOverwrite", "=NoOverWrite",
     "Setup.ini:9: error: unknown option 'NoOverWrite'"},
    {"shortcut place in other case", false, "Setup.ini",
     "StartMenu=", "startmenu=", "Setup.ini:15: error: 'startmenu' is no shortcut place"},
    {"shortcut place unknown", false, "Setup.ini",
     "StartMenu=", "Start=", "Setup.ini:15: error: 'Start' is no shortcut place"},
    {"remembered folder without folder", false, "Setup.ini", "Presets=Folders", "Preset=Folders",
     "Setup.ini:13: error: 'Preset' has no [Folders] entry"},
    {"misspelt path variable", false, "Setup.ini", "Program=$ProgramFolder", "Program=$ProgamFolder",
     "Setup.ini:6: error: '$ProgamFolder' is no variable here and stays as written; did you mean "
     "$ProgramFolder?"},
    {"text variable in a path", false, "Setup.ini", "Presets=$Documents", "Presets=$ProductName",
     "Setup.ini:11: error: '$ProductName' is no variable here"},
    {"path variable in a text", false, "Setup.ini", ",$ProductName Readme", ",$ProgramFolder Readme",
     "Setup.ini:15: error: '$ProgramFolder' is no variable here"},
    {"unknown folder reference", false, "Setup.ini", "%Presets", "%Prests",
     "Setup.ini:19: warning: '%Prests' names no [Folders] entry"},
    {"item name no item has", true, "Setup.ini", "$BundleItem(Alpha)", "$BundleItem(Gamma)",
     "Setup.ini:10: error: '$BundleItem(Gamma)' names no item"},
    {"bundle item outside a bundle", false, "Setup.ini", "Settings\\Skin", "$BundleItem\\Skin",
     "Setup.ini:19: error: '$BundleItem' in a setup that is no bundle"},
    {"library not installed", false, "Setup.ini", "$VstPluginFolder\\Gadget x64.dll",
     "$ProgramFolder\\Gadget.dll",
     "Setup.ini:17: error: '$ProgramFolder\\Gadget.dll' is not among the installed files"},
    {"library outside every component", false, "Setup.ini", "$VstPluginFolder\\Gadget x64.dll",
     "C:\\Windows\\Gadget.dll", "Setup.ini:17: error: 'C:\\Windows\\Gadget.dll' is not among"},
    {"name too long", false, "VST/" + std::string(68, 'n'), "", "x",
     "error: the name is 68 bytes long in the setup (at most 67): 68 characters of 1 byte each"},
    {"unknown key", false, "Setup.ini", "ProductName=", "ProductNmae=",
     "Setup.ini:2: warning: unknown key 'ProductNmae' in [Setup] is ignored; did you mean ProductName?"},
    {"unknown section", false, "Setup.ini", "[Shortcuts]", "[Shortcut]",
     "Setup.ini:14: warning: unknown section [Shortcut] is ignored; did you mean Shortcuts?"},
    {"boolean as a word", false, "Setup.ini", "ProductName=Gadget\n", "ProductName=Gadget\nIs64Bit=true\n",
     "Setup.ini:3: warning: Is64Bit=true is not a number and reads as 0"},
    {"second section of a name", false, "Setup.ini", "[RegistrySettings]",
     "[Components]\nX=$ProgramFolder\n[RegistrySettings]",
     "Setup.ini:18: warning: a second [Components] section is ignored; merge it into the first one at line "
     "5"},
    {"bundle setting without item", true, "Setup.ini", "=Dark\n", "=Dark\nSettings\\Skin=Light\n",
     "Setup.ini:11: warning: 'Settings\\Skin' is also written once for each item"},
    {"empty components", false, "Setup.ini", "Program=$ProgramFolder\nVST=$VstPluginFolder,DLLSuffix:x64\n",
     "", "Setup.ini:5: warning: [Components] is empty"},
    {"library without a full path", false, "Setup.ini", "$VstPluginFolder\\Gadget x64.dll", "Gadget x64.dll",
     "Setup.ini:17: error: 'Gadget x64.dll' is no full path once expanded ('Gadget x64.dll'): the setup "
     "loads "
     "libraries by their full path only and skips this line without a word"},
    {"library named without its suffix", false, "Setup.ini", "Gadget x64.dll", "Gadget.dll",
     "Setup.ini:17: error: '$VstPluginFolder\\Gadget.dll' is not among the installed files"},
    {"unknown percent sequence", false, "Setup.ini", "Gadget %d", "Gadget %s",
     "Setup.ini:4: error: DefaultFolder holds '%s', which the setup keeps as written, so the folder is "
     "'Example\\Gadget %s'"},
    {"two lines write one file", false, "Setup.ini", "Program=$ProgramFolder\n",
     "Program=$ProgramFolder\nprogram=$ProgramFolder\n",
     "Setup.ini:7: warning: writes '$ProgramFolder\\Readme.txt', which line 6 writes too: the setup copies "
     "both, "
     "so the one copied last stays"},
    {"shortcut to nothing installed", false, "Setup.ini", "\\Readme.txt,", "\\Manual.pdf,",
     "Setup.ini:15: warning: the target '$ProgramFolder\\Manual.pdf' is no file or folder that a "
     "[Components] "
     "line installs"},
    {"shortcut for a bundle item", true, "Setup.ini", "[RegistrySettings]",
     "[Shortcuts]\nStartMenu=$VstPluginFolder\\$BundleItem.dll\n[RegistrySettings]",
     "Setup.ini:10: warning: the target names $BundleItem, but the setup makes shortcuts once, for no bundle "
     "item, so this shortcut is never made"},
    {"setting without equals", false, "Setup.ini", "Settings\\Skin=%Presets\\Dark", "Settings\\Skin",
     "Setup.ini:19: warning: 'Settings\\Skin' has no '=': the setup writes it as a value holding empty text"},
    {"language not built in", false, "Setup.ini", "ProductName=Gadget", "ProductName=Gadget\nLanguages=en,de,sv",
     "Setup.ini:3: warning: no built-in language 'sv': the setup leaves it out"},
    {"a per-language text without its variable", false, "Setup.ini", "ProductName=Gadget",
     "ProductName=Gadget\nInstallDescription=$ProductName Pro\nInstallDescription.de=Gadget Pro",
     "Setup.ini:4: warning: 'InstallDescription.de' lacks $ProductName of its text in [Setup] InstallDescription"},
    {"a built-in text without its placeholder", false, "Setup.ini", "[Shortcuts]",
     "[Texts]\nFolderErrorWarning.fr=Dossier refusé.\n[Shortcuts]",
     "Setup.ini:15: warning: [Texts] 'FolderErrorWarning.fr' lacks %s of the setup's text"},
    {"a licence for a language not carried", false, "Setup.ini", "ProductName=Gadget",
     "ProductName=Gadget\nLanguages=en,fr",
     "Setup.de.lic: warning: a licence for 'de', a language the setup does not carry"},
    {"shortcut name Windows refuses", false, "Setup.ini", ",$ProductName Readme", ",Gadget: Readme",
     "Setup.ini:15: error: the shortcut's name 'Gadget: Readme' is no name Windows can give a file (the name "
     "holds ':'"},
    {"shortcut in a folder never made", false, "Setup.ini", ",$ProductName Readme", ",Gadget\\Readme",
     "Setup.ini:15: warning: the shortcut's name 'Gadget\\Readme' puts it in the subfolder 'Gadget', which "
     "the "
     "setup does not create"},
};

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plugsetup-check-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path MakeProduct(const std::string& name, bool bundle) {
        fs::path dir = root_ / name;
        Write(dir / "Setup.lic", "Licence\n");
        Write(dir / "Setup.jpg", "\xFF\xD8 not really a picture");
        if (bundle) {
            Write(dir / "Setup.ini", kGoodBundleIni);
            Write(dir / "BundleInfo.ini", kGoodBundleInfo);
            Write(dir / "Alpha" / "Alpha.dll", "a");
            Write(dir / "Beta" / "Beta.dll", "b");
        } else {
            Write(dir / "Setup.ini", kGoodIni);
            Write(dir / "Setup.de.lic", "Lizenz\n");
            Write(dir / "program" / "Readme.txt", "Read me");  // found whatever the case
            Write(dir / "VST" / "Gadget.dll", "plug-in");
        }
        return dir;
    }

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

TEST_F(CheckCommand, CompleteProductsPassWithoutFindings) {
    for (bool bundle : {false, true}) {
        fs::path dir = MakeProduct(bundle ? "bundle" : "single", bundle);
        EXPECT_EQ(Run({"check", dir.string()}), kExitOk) << out_.str();
        EXPECT_EQ(out_.str(), dir.string() + ": 0 errors, 0 warnings\n");
        // Saved as "UTF-8 with BOM", with letters beyond ASCII the code page holds.
        for (const char* name : {"Setup.ini", "Setup.lic", "BundleInfo.ini"})
            if (fs::exists(dir / name)) Write(dir / name, "\xEF\xBB\xBF" + Read(dir / name));
        Write(dir / "Setup.lic", Read(dir / "Setup.lic") + "Lizenz für Mødular\n");
        Write(dir / "VST" / (std::string(40, 'e') + "é.fxp"), "a name of 42 bytes in code page 1252");
        EXPECT_EQ(Run({"check", dir.string()}), kExitOk) << out_.str();
        EXPECT_EQ(out_.str(), dir.string() + ": 0 errors, 0 warnings\n");
    }
}

TEST_F(CheckCommand, EachMistakeIsReportedWithItsFileAndLine) {
    int index = 0;
    for (const CheckCase& c : kCases) {
        fs::path dir = MakeProduct("case" + std::to_string(index++), c.bundle);
        fs::path file = dir / c.file;
        if (!c.from.empty()) {
            std::string text = Read(file);
            std::size_t at = text.find(c.from);
            ASSERT_NE(at, std::string::npos) << c.what;
            Write(file, text.replace(at, c.from.size(), c.to));
        } else if (c.to.empty()) {
            fs::remove(file);
        } else {
            Write(file, c.to);
        }
        const bool error = c.expected.find("error: ") != std::string::npos;
        const int status = Run({"check", dir.string()});
        if (error) {
            EXPECT_EQ(status, kExitFailure) << c.what;
        }
        // Findings name the file by its path in the product folder.
        const std::string expected = c.expected.rfind("error:", 0) == 0 ? file.string() + ": " + c.expected
                                                                        : (dir / c.expected).string();
        EXPECT_NE(out_.str().find(expected), std::string::npos) << c.what << "\nwanted: " << expected << "\n"
                                                                << out_.str();
    }
}

// A UTF-8 build holds any name and text; one for a code page holds only what converts there
// and back, and what the setup's byte-wise path code would not split.
TEST_F(CheckCommand, TheCodePageDecidesWhichNamesAndTextsTheSetupCanHold) {
    fs::path dir = MakeProduct("cyrillic", false);
    Write(dir / "VST" / "Ключ Bass.fxp", "preset");
    Write(dir / "Setup.lic", "Лицензия");
    std::string ini = Read(dir / "Setup.ini");
    Write(dir / "Setup.ini", ini.replace(ini.find("ProductName=Gadget"), 18, "ProductName=Гаджет"));
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk) << out_.str();
    EXPECT_EQ(Run({"check", "--codepage", "1251", dir.string()}), kExitOk) << out_.str();
    EXPECT_EQ(Run({"check", "--codepage", "1252", dir.string()}), kExitFailure);
    for (const std::string& finding :
         {(dir / "VST" / "Ключ Bass.fxp").string() + ": error: in the name, 'К' (U+041A) has no form in code page "
                                                     "1252: rename it, or build with the --codepage",
          (dir / "Setup.ini").string() + ":2: error: 'Г' (U+0413) has no form in code page 1252, so build cannot "
                                         "store the line",
          (dir / "Setup.lic").string() + ":1: error: 'Л' (U+041B) has no form in code page 1252"})
        EXPECT_NE(out_.str().find(finding), std::string::npos) << finding << "\n" << out_.str();

    // Japanese: a character whose second byte is the backslash splits a path or a name, never a
    // text that is only shown; so it does in a Setup.ini already saved in code page 932. The yen
    // sign that one converter stores as a plain backslash has no form there at all.
    dir = MakeProduct("japanese", false);
    ini = Read(dir / "Setup.ini");
    ini.replace(ini.find("ProductName=Gadget"), 18, "ProductName=ソフト");
    ini.replace(ini.find("Presets=$Documents\\Gadget"), 25, "Presets=$Documents\\ソフト");
    Write(dir / "Setup.ini", ini);
    const std::string split = (dir / "Setup.ini").string() +
                              ":11: error: 'ソ' (U+30BD) is stored as 83 5C in code page 932, and the setup reads "
                              "5C as '\\' in paths, so the setup would split the path there";
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk) << out_.str();
    EXPECT_EQ(Run({"check", "--codepage", "932", dir.string()}), kExitFailure);
    EXPECT_NE(out_.str().find(split), std::string::npos) << out_.str();
    // The product name also ends up in the Uninstall key's name and in shortcut paths.
    EXPECT_NE(out_.str().find(": 2 errors, 0 warnings"), std::string::npos) << out_.str();
    std::string saved;
    ASSERT_TRUE(OpenCodePage(932)->Encode(ini, saved));
    Write(dir / "Setup.ini", saved);
    EXPECT_EQ(Run({"check", "--codepage", "932", dir.string()}), kExitFailure);
    EXPECT_NE(out_.str().find(split), std::string::npos) << out_.str();
    EXPECT_EQ(Run({"check", dir.string()}), kExitFailure) << "a UTF-8 build wants UTF-8 texts";
    EXPECT_NE(out_.str().find("Setup.ini: error: the text is not UTF-8"), std::string::npos) << out_.str();

    Write(dir / "Setup.ini", ini.replace(ini.find("ProductName=ソフト"), 21, "ProductName=Gadget¥Pro"));
    EXPECT_EQ(Run({"check", "--codepage", "932", dir.string()}), kExitFailure);
    EXPECT_NE(out_.str().find("Setup.ini:2: error: '¥' (U+00A5) has no form in code page 932"), std::string::npos)
        << out_.str();
    EXPECT_EQ(Run({"check", "--codepage", "437", dir.string()}), kExitUsage);

    // The archive's limit counts the bytes a name takes there.
    Write(dir / "VST" / "夜明けのパッド夜明けのパッド夜明けのパッド夜.fxp", "p");
    EXPECT_EQ(Run({"check", dir.string()}), kExitFailure);
    EXPECT_NE(out_.str().find("error: the name is 70 bytes long in the setup (at most 67): 22 characters of 3 "
                              "bytes, 4 of 1 byte: shorten it"),
              std::string::npos)
        << out_.str();
}

// A bundle keeps its other libraries' names, so only libraries outside any bundle, which are
// still all renamed, and a suffixed bundle binary are worth a word.
TEST_F(CheckCommand, Vst3LibrariesAreWarnedAboutOnlyWhereTheyLoseTheirNames) {
    fs::path dir = MakeProduct("vst3", false);
    std::string ini = Read(dir / "Setup.ini");
    ini.replace(ini.find("[ComponentsOptions]"), 0, "VST3=$Vst3PluginFolder\n");  // line 8
    Write(dir / "Setup.ini", ini);
    const fs::path binaries = dir / "VST3" / "Gadget.vst3" / "Contents" / "x86_64-win";
    Write(binaries / "Gadget.dll", "the plug-in");
    Write(binaries / "Runtime.dll", "a library the plug-in loads");
    Write(dir / "VST3" / "Gadget.vst3" / "Contents" / "Resources" / "Skin.dll", "and another");
    Write(dir / "VST3" / "Old.dll", "a plug-in of the single-file layout");
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk) << out_.str();
    EXPECT_EQ(out_.str(), dir.string() + ": 0 errors, 0 warnings\n");

    Write(dir / "VST3" / "OldRuntime.dll", "its library, beside it");
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    EXPECT_NE(
        out_.str().find((dir / "Setup.ini").string() +
                        ":8: warning: '$Vst3PluginFolder\\Old.dll' and '$Vst3PluginFolder\\OldRuntime.dll' "
                        "lie side by side outside a .vst3 bundle, where every .dll of a VST 3 component is "
                        "installed as a plug-in ('Old.vst3', 'OldRuntime.vst3'): a library that a plug-in "
                        "loads is not found under that name; ship the plug-in as a bundle "
                        "(Old.vst3\\Contents\\x86-win\\Old.dll), whose other libraries keep their names"),
        std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find(": 0 errors, 1 warning"), std::string::npos) << out_.str();

    fs::remove(dir / "VST3" / "OldRuntime.dll");
    ini.replace(ini.find("VST3=$Vst3PluginFolder"), 22, "VST3=$Vst3PluginFolder,DLLSuffix: x64");
    Write(dir / "Setup.ini", ini);
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find(
                  ":8: warning: '$Vst3PluginFolder\\Gadget.vst3\\Contents\\x86_64-win\\Gadget.dll' "
                  "is its bundle's binary, and the DLLSuffix names it 'Gadget x64.vst3', but hosts load "
                  "only the binary named after the bundle ('Gadget.vst3'): leave the DLLSuffix off this "
                  "line"),
              std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find(": 0 errors, 1 warning"), std::string::npos) << out_.str();
    // Bundles a host cannot load: the binary in a folder no host reads, misnamed, or missing.
    ini.replace(ini.find(",DLLSuffix: x64"), 15, "");
    Write(dir / "Setup.ini", ini);
    const fs::path contents = dir / "VST3" / "Gadget.vst3" / "Contents";
    const std::string unloadable =
        ":8: warning: the VST 3 bundle '$Vst3PluginFolder\\Gadget.vst3' cannot be loaded as it stands: ";
    fs::rename(contents / "x86_64-win", contents / "x64-win");
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find(unloadable + "'Contents\\x64-win\\Gadget.vst3' lies in a folder no host reads"),
              std::string::npos)
        << out_.str();
    fs::rename(contents / "x64-win", contents / "x86_64-win");
    fs::rename(binaries / "Gadget.dll", binaries / "GadgetPlugin.vst3");
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find(unloadable +
                              "'Contents\\x86_64-win\\GadgetPlugin.vst3' is not named after the bundle"),
              std::string::npos)
        << out_.str();
    fs::remove(binaries / "GadgetPlugin.vst3");
    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find(unloadable + "it has no binary; hosts load Contents\\x86-win\\Gadget.vst3"),
              std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find(": 0 errors, 1 warning"), std::string::npos) << out_.str();
}

// Names, links and sizes: check lists them all at once, and build, even with --no-check, stops on
// exactly the same lines.
TEST_F(CheckCommand, CheckReportsInOneRunEverythingBuildRefuses) {
    fs::path dir = MakeProduct("refused", false);
    const fs::path vst = dir / "VST";
    for (const char* name : {"aux.txt", "Con.wav", "Dusty Tape.", "a?b*c<d>e|f\"g.txt", "Tab\there.txt",
                             "CRÈME BRÛLÉE.vstpreset", "Crème brûlée.vstpreset", "Ключ.fxp", "КЛЮЧ.fxp"})
        Write(vst / name, "x");
    Write(dir / "Uninst.exe", "stray");
    Write(dir / "Extra" / (std::string(70, 'n') + ".txt"), "reached through a link too");
    fs::create_directory_symlink("../Extra", vst / "Linked");
    fs::create_symlink("Nowhere.dll", vst / "Dangling.dll");
    fs::create_directory_symlink("..", vst / "Up");
    fs::create_symlink("/etc/passwd", vst / "passwd");
    Write(vst / "Big.wav", "");
    fs::resize_file(vst / "Big.wav", std::uintmax_t{1} << 31);  // sparse

    EXPECT_EQ(Run({"check", dir.string()}), kExitFailure);
    const std::string check = out_.str();
    const std::string v = vst.string() + "/";
    for (const std::string& expected :
         {v + "aux.txt: error: 'aux' is a device name on Windows, with any extension",
          v + "Con.wav: error: 'Con' is a device name",
          v + "Dusty Tape.: error: the name ends in a dot or a blank",
          v + "a?b*c<d>e|f\"g.txt: error: the name holds '?', '*', '<', '>', '|' and '\"', which Windows "
              "does not",
          v + "Tab\there.txt: error: the name holds a control character",
          v + "Crème brûlée.vstpreset: error: 'CRÈME BRÛLÉE.vstpreset' and 'Crème brûlée.vstpreset' differ "
              "only "
              "in the case of letters, and Windows sees one name",
          v + "Ключ.fxp: error: 'КЛЮЧ.fxp' and 'Ключ.fxp' differ only in the case",
          (dir / "Uninst.exe").string() + ": error: the name is reserved at the top of a product folder",
          v + "Linked/" + std::string(70, 'n') + ".txt: error: the name is 74 bytes long",
          v + "Dangling.dll: error: the symbolic link leads to nothing ('Nowhere.dll')",
          v + "Up: error: a symbolic link leads back into its own folder",
          v + "passwd: error: the symbolic link leads out of the product folder, to '/etc/passwd'",
          v + "Big.wav: error: the file is 2147483648 bytes; a file in a setup archive must be smaller than "
              "2 GiB"})
        EXPECT_NE(check.find(expected), std::string::npos) << expected << "\n" << check;

    auto errorLines = [](const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.find(": error: ") != std::string::npos) lines.push_back(line);
        return lines;
    };
    const std::string out = (root_ / "Setup.dat").string();
    for (const char* noCheck : {"--press-preview", "--no-check"}) {
        EXPECT_EQ(Run({"build", noCheck, "--version", "1.0.0", "--data-file", "-o", out, dir.string()}),
                  kExitFailure);
        EXPECT_EQ(errorLines(err_.str()), errorLines(check)) << noCheck;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(Run({"check", "--allow-outside-links", dir.string()}), kExitFailure);
    EXPECT_EQ(out_.str().find("passwd: error"), std::string::npos) << out_.str();
}

// The example with junk added, and a .plugsetupignore, gives the same bytes as without them.
TEST_F(CheckCommand, JunkAndIgnoredEntriesAreLeftOutWithANoteEach) {
    fs::path dir = MakeProduct("junk", false);
    Write(dir / "VST" / "Keep.bak", "taken back in");
    const std::string clean = (root_ / "clean.dat").string();
    const std::string junk = (root_ / "junk.dat").string();
    ASSERT_EQ(Run({"build", "--version", "1.0.0", "--build-time", "2024-01-01T00:00:00", "--data-file", "-o",
                   clean, dir.string()}),
              kExitOk)
        << err_.str();
    Write(dir / ".plugsetupignore",
          "# drafts and backups\n*.bak\n!Keep.bak\n/VST/Drafts/\nprogram/**/*.tmp\n");
    for (const char* name : {"VST/Old.bak", "VST/Drafts/Draft.dll", "program/Notes.tmp", ".DS_Store",
                             "VST/._Gadget.dll", ".git/HEAD", "program/Thumbs.db"})
        Write(dir / name, "junk");
    fs::copy_file(clean, dir / "Gadget 0.9 Setup.dat");
    ASSERT_EQ(Run({"build", "--version", "1.0.0", "--build-time", "2024-01-01T00:00:00", "--data-file", "-o",
                   junk, dir.string()}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(Read(junk), Read(clean));

    EXPECT_EQ(Run({"check", dir.string()}), kExitOk);
    const std::string d = dir.string() + "/";
    for (const std::string& expected :
         {d + ".DS_Store: note: not packed: a file macOS leaves",
          d + ".git: note: not packed, nor anything in it",
          d + "Gadget 0.9 Setup.dat: note: not packed: a setup built earlier",
          d + ".plugsetupignore: note: not packed: the list of what is not packed",
          d + "VST/Old.bak: note: not packed: line 2 of .plugsetupignore ('*.bak')",
          d + "VST/Drafts: note: not packed, nor anything in it: line 4 of .plugsetupignore ('/VST/Drafts/')",
          d + "program/Notes.tmp: note: not packed: line 5", d + "VST/._Gadget.dll: note",
          d + "program/Thumbs.db: note", dir.string() + ": 0 errors, 0 warnings, 9 files not packed\n"})
        EXPECT_NE(out_.str().find(expected), std::string::npos) << expected << "\n" << out_.str();
    EXPECT_EQ(out_.str().find("Keep.bak"), std::string::npos) << out_.str();
    EXPECT_EQ(Run({"check", "--format", "github", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find("::notice file="), std::string::npos) << out_.str();
    EXPECT_EQ(Run({"check", "--format", "json", dir.string()}), kExitOk);
    EXPECT_NE(out_.str().find("\"errors\": 0, \"warnings\": 0, \"notes\": 9"), std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find("\"severity\": \"note\""), std::string::npos) << out_.str();
}

TEST_F(CheckCommand, BuildRefusesAProductWithErrorsUnlessTold) {
    fs::path dir = MakeProduct("broken", false);
    fs::remove(dir / "Setup.lic");
    const std::string out = (root_ / "Setup.dat").string();
    EXPECT_EQ(Run({"build", "--version", "1.0.0", "--data-file", "-o", out, dir.string()}), kExitFailure);
    EXPECT_NE(err_.str().find("Setup.lic: error: no licence"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("1 error (see above); fix them, or build anyway with --no-check"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(Run({"build", "--no-check", "--version", "1.0.0", "--data-file", "-o", out, dir.string()}),
              kExitOk)
        << err_.str();
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(CheckCommand, FindingsAreGithubAnnotationsOrOneJsonDocument) {
    // A folder name with the annotation's separators and escape.
    fs::path dir = MakeProduct("50%, a:b", false);
    fs::remove(dir / "Setup.lic");
    Write(dir / "Setup.ini", std::string(kGoodIni) + "[Sortcuts]\n");
    const std::string folder = root_.string() + "/50%25%2C a%3Ab/";

    EXPECT_EQ(Run({"check", "--format", "github", dir.string()}), kExitFailure);
    const std::string github = out_.str();
    EXPECT_NE(github.find("::error file=" + folder + "Setup.lic,title=plugsetup check::no licence text"),
              std::string::npos)
        << github;
    EXPECT_NE(github.find("::warning file=" + folder +
                          "Setup.ini,line=20,title=plugsetup check::unknown section [Sortcuts]"),
              std::string::npos)
        << github;
    EXPECT_NE(github.find("\n" + dir.string() + ": "), std::string::npos) << "the counts end it\n" << github;

    EXPECT_EQ(Run({"check", "--format", "json", dir.string()}), kExitFailure);
    const std::string json = out_.str();
    const std::string inJson = root_.string() + "/50%, a:b/";
    EXPECT_EQ(json.rfind("{\"product\": \"" + dir.string() + "\", \"errors\": ", 0), 0u) << json;
    EXPECT_NE(json.find("{\"file\": \"" + inJson +
                        "Setup.lic\", \"line\": null, \"severity\": \"error\", "
                        "\"message\": \"no licence text"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"file\": \"" + inJson + "Setup.ini\", \"line\": 20, \"severity\": \"warning\""),
              std::string::npos)
        << json;
    EXPECT_EQ(json.substr(json.size() - 3), "]}\n");
    // A folder name that is no UTF-8 (a Linux name in Latin-1): U+FFFD, so the document stays UTF-8.
    const fs::path latin1 = root_ / "Caf\xE9";
    fs::rename(dir, latin1);
    EXPECT_EQ(Run({"check", "--format", "json", latin1.string()}), kExitFailure);
    EXPECT_EQ(out_.str().find('\xE9'), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("{\"file\": \"" + root_.string() + "/Caf\xEF\xBF\xBD/Setup.lic\""),
              std::string::npos)
        << out_.str();

    EXPECT_EQ(Run({"check", "--format", "xml", dir.string()}), kExitUsage);
    EXPECT_NE(err_.str().find("--format wants text, github or json, not 'xml'"), std::string::npos)
        << err_.str();
}

TEST_F(CheckCommand, AMissingFolderIsNoProduct) {
    EXPECT_EQ(Run({"check", (root_ / "nowhere").string()}), kExitFailure);
    EXPECT_NE(err_.str().find("nowhere: not a product folder"), std::string::npos) << err_.str();
}

TEST_F(CheckCommand, WarningsAloneDoNotStopABuild) {
    fs::path dir = MakeProduct("warned", false);
    Write(dir / "Setup.ini", std::string(kGoodIni) + "[Sortcuts]\n");
    const std::string out = (root_ / "Setup.dat").string();
    EXPECT_EQ(Run({"build", "--version", "1.0.0", "--data-file", "-o", out, dir.string()}), kExitOk)
        << err_.str();
    EXPECT_NE(err_.str().find("warning: unknown section [Sortcuts]"), std::string::npos) << err_.str();

    // Unless --strict: then a mistyped key is an error too.
    fs::remove(out);
    std::string ini = kGoodIni;
    Write(dir / "Setup.ini", ini.replace(ini.find("[Components]"), 0, "Is64Bt=1\n"));
    EXPECT_EQ(Run({"check", "--strict", dir.string()}), kExitFailure);
    EXPECT_NE(out_.str().find(":5: error: unknown key 'Is64Bt' in [Setup] is ignored; did you mean Is64Bit?"),
              std::string::npos)
        << out_.str();
    EXPECT_EQ(Run({"build", "--strict", "--version", "1.0.0", "--data-file", "-o", out, dir.string()}),
              kExitFailure);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace

namespace {

TEST_F(CheckCommand, MachineMarksPairBuildsAndCoverEverySingleFileFormat) {
    fs::path dir = MakeProduct("arm", false);
    Write(dir / "VSTArm" / "Gadget.dll", "arm64ec");
    Write(dir / "CLAP" / "Gadget.clap", "x64");
    const std::string ini =
        std::string(kGoodIni).insert(std::string(kGoodIni).find("ProductName"), "Is64Bit=1\n");
    auto check = [&](const std::string& from, const std::string& to) {
        std::string text = ini;
        Write(dir / "Setup.ini", text.replace(text.find(from), from.size(), to));
        Run({"check", dir.string()});
        return out_.str();
    };
    // Is64Bit=1 is line 2, so VSTArm is line 9, CLAP 10, and the options 12 and 13.
    const std::string unpaired = check("[ComponentsOptions]\nProgram=NoOverwrite\n",
                                       "VSTArm=$VstPluginFolder\nCLAP=$ClapPluginFolder\n"
                                       "[ComponentsOptions]\nVSTArm=Arm64\nProgram=arm64\n");
    for (const char* finding :
         {":9: warning: no VST 2 line is marked x64, so Arm64 Windows gets both VST 2 builds",
          ":10: warning: the product carries an Arm64 build for VST 2 but none for CLAP: Arm64 hosts get "
          "only the x64 CLAP plug-in",
          ":13: error: unknown option 'arm64'; the options are NoOverwrite, x64 and Arm64"})
        EXPECT_NE(unpaired.find(finding), std::string::npos) << finding << "\n" << unpaired;
    EXPECT_EQ(unpaired.find("writes too"), std::string::npos) << "an x64 machine installs one VST 2 build";

    const std::string paired = check("[ComponentsOptions]\nProgram=NoOverwrite\n",
                                     "VSTArm=$VstPluginFolder\n[ComponentsOptions]\nVST=x64\nVSTArm=Arm64\n");
    EXPECT_NE(paired.find(": 0 errors, 0 warnings"), std::string::npos) << paired;
}

}  // namespace
