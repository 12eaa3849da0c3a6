// Shows the wizard window over the fake engine, so its pages can be looked at and driven
// before a setup archive is involved:
//   wizard_preview.exe SETUP.INI SETUP.LIC PICTURE-FOLDER [--all-pages] [--fail-folder-check]
//                      [--language CODE] [--quick-copy]
// The product name, the optional pages, the shortcuts and the readme come from SETUP.INI;
// --all-pages adds a bundle of three items, every plug-in page, VST 3, CLAP and a product to start;
// --fail-folder-check makes the folder check behind Next raise an error, as a fault would;
// --language speaks a built-in language (default English); --quick-copy shows each status of the
// copy page only as long as a real run does.
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <sstream>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"
#include "texts/Texts.h"
#include "wizard/FakeWizardEngine.h"
#include "wizard/win32/FormMain.h"

namespace {

// Paths are UTF-8, opened by their UTF-16 names.
std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path) {
    FILE* in = _wfopen(Wide(path).c_str(), L"rb");
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(in);
    return bytes;
}

// The command line as UTF-8, whatever the system's code page.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    if (wide) LocalFree(wide);
    return arguments;
}

std::string ReadText(const std::string& path) {
    auto bytes = ReadBytes(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// Enough of Setup.ini for the preview: section, key and value per line.
void ReadIni(const std::string& text, FakeWizardEngine& engine) {
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = UpperAscii(line);
            continue;
        }
        SplitResult pair = SplitAt(line, '=');
        std::string key = UpperAscii(Trim(pair.left)), value = Trim(pair.right);
        bool on = value == "1";
        if (section == "[SETUP]" && key == "PRODUCTNAME") {
            engine.variables["ProductName"] = value;
            engine.variables["FullProductName"] = value + " 1.0";
            engine.variables["InstallDescription"] = value;
        } else if (section == "[SETUP]" && key == "INSTALLDESCRIPTION") {
            engine.variables["InstallDescription"] = value;
        } else if (section == "[PAGES]") {
            if (key == "VSTPLUGINFOLDER") engine.pageFlags.vstPluginFolder = on;
            if (key == "DIGIPLUGINFOLDER") engine.pageFlags.digiPluginFolder = on;
            if (key == "PHOTOSHOPPLUGINFOLDER") engine.pageFlags.photoshopPluginFolder = on;
            if (key == "PERSONALIZATION") engine.pageFlags.personalization = on;
        } else if (section == "[SHORTCUTS]") {
            if (key == "STARTMENU") engine.shortcutKinds.startMenu = true;
            if (key == "DESKTOP") engine.shortcutKinds.desktop = true;
        } else if (section == "[COMPLETE]" && key == "README") {
            engine.readmeFile = "C:\\Program Files\\Preview\\Readme.txt";
        } else if (section == "[COMPLETE]" && key == "PRODUCT") {
            engine.productFile = "C:\\Program Files\\Preview\\Product.exe";
        }
    }
}

void ShowEveryPage(FakeWizardEngine& engine) {
    engine.isBundle = true;
    engine.items = {{"Gadget", true}, {"Gizmo", false}, {"Widget", true}};
    engine.pageFlags = {true, true, true, true};
    engine.shortcutKinds = {true, true};
    engine.vst3Available = true;
    engine.vst3OnlyFor = "Gadget, Widget";
    engine.clapAvailable = true;
    engine.clapOnlyFor = "Gadget";
    engine.productFile = "C:\\Program Files\\Preview\\Product.exe";
    engine.welcomeWin64 = "This is the 64-bit edition. It installs the 64-bit plug-ins for 64-bit hosts.";
}

void BeDpiAware() {
    using Call = BOOL(WINAPI*)();
    if (HMODULE user = GetModuleHandleW(L"user32.dll"))
        if (auto call =
                reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
            call();
}

}  // namespace

int main() {
    const std::vector<std::string> argv = Arguments();
    const int argc = static_cast<int>(argv.size());
    bool allPages = false, failFolderCheck = false, quickCopy = false, known = argc >= 4;
    const LanguageRow* language = &EnglishLanguage();
    for (int i = 4; i < argc; ++i) {
        std::string option = argv[i];
        allPages |= option == "--all-pages";
        failFolderCheck |= option == "--fail-folder-check";
        quickCopy |= option == "--quick-copy";
        if (option == "--language" && i + 1 < argc) {
            language = FindLanguage(argv[++i]);
            known &= language != nullptr;
        } else {
            known &= option == "--all-pages" || option == "--fail-folder-check" || option == "--quick-copy";
        }
    }
    if (!known) {
        std::fprintf(stderr,
                     "usage: wizard_preview SETUP.INI SETUP.LIC PICTURE-FOLDER [--all-pages] "
                     "[--fail-folder-check] [--language CODE] [--quick-copy]\n");
        return 2;
    }
    SpeakLanguage(*language);
    BeDpiAware();
    Win32Platform platform;
    FakeWizardEngine engine;
    ReadIni(ReadText(argv[1]), engine);
    engine.licenseText = ReadText(argv[2]);
    std::string product = engine.variables["ProductName"];
    engine.destinationFolder = "C:\\Program Files\\" + product + "\\";
    engine.vst2Folder = "C:\\Program Files\\Steinberg\\VstPlugins";
    engine.completeMessage = engine.ExpandText(Text(TextId::DefaultCompleteMessage));
    // Long enough for the copy page to be read and photographed; the window answers meanwhile,
    // as between the files of a real run.
    if (!quickCopy)
        engine.afterStatus = [](ISetupProgress& progress) {
            for (int slice = 0; slice < 60; ++slice) {
                Sleep(50);
                progress.StillWorking();
            }
        };
    engine.creatableFolders = {engine.destinationFolder, engine.vst2Folder};
    engine.photoshopFolder = "C:\\Program Files\\Adobe\\Photoshop\\Plug-ins";
    if (allPages) ShowEveryPage(engine);
    if (failFolderCheck) engine.folderCheckError = "The folder check failed on purpose";
    engine.creatableFolders.push_back(engine.photoshopFolder);
    std::string pictures = IncludeBackslash(argv[3]);
    try {
        FormMain form(GetModuleHandleW(nullptr), platform, engine);
        bool shown = form.Create([&](const std::string& name, const std::string& fallback) {
            auto bytes = ReadBytes(pictures + name);
            return bytes || fallback.empty() ? bytes : ReadBytes(pictures + fallback);
        });
        return shown && form.Run() == WizardEnd::Closed ? 0 : 1;
    } catch (const std::exception& error) {
        platform.ErrorBox("Setup", WizardModel::ErrorBoxText(error.what()));
        return 1;
    }
}
