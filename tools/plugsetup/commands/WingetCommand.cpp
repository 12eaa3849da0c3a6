// plugsetup winget SETUP: a winget installer manifest (schema 1.10) for a built setup, with
// the switches, return codes and Uninstall key entry that the setup really has.
#include <cctype>

#include "engine/SetupInstaller.h"
#include "install/Installer.h"
#include "setup/CommandLine.h"
#include "setup/ExitStatus.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/Sha256.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

namespace {

constexpr char kProgramPath[] = "C:\\Users\\user\\Downloads\\Setup.exe";
constexpr char kManifestVersion[] = "1.10.0";
constexpr char kSchemaLine[] =
    "# yaml-language-server: $schema=https://aka.ms/winget-manifest.installer.1.10.0.schema.json";

// One quoted scalar: YAML's single quotes take every character but the quote, which is doubled.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// A part of the package identifier: what winget allows in it, at most 32 characters.
std::string IdentifierPart(const std::string& text) {
    std::string part;
    for (unsigned char c : text)
        if (c > 0x1f && !std::isspace(c) && std::string(".\\/:*?\"<>|").find(char(c)) == std::string::npos)
            part += static_cast<char>(c);
    return part.substr(0, 32);
}

std::string SwitchesFor(const char* quiet, bool licence) {
    return std::string(quiet) + " /SUPPRESSMSGBOXES /NORESTART" + (licence ? " /ACCEPTLICENSE" : "");
}

}  // namespace

int RunWinget(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {{"--id", true}, {"--url", true}, kCodePageOption});
    arguments.ExpectPositional(1, "SETUP");
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& path = arguments.Positional()[0];
    std::optional<std::string> url = arguments.Value("--url");
    if (url && url->rfind("https://", 0) != 0 && url->rfind("http://", 0) != 0)
        throw EUsageError("--url wants an http:// or https:// address, not '" + *url + "'");

    std::string manifest;
    WithSubject(path, [&] {
        std::vector<std::uint8_t> bytes = ReadHostFile(path);
        if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z')
            throw ESetupError("winget installs a setup program, not a Setup.dat");
        MemoryPlatform machine;
        ActAsCustomer(machine, *codePage);
        machine.SetWow64(true);
        machine.AddFile(kProgramPath, bytes);
        machine.SetOwnProgramPath(kProgramPath);
        TSetupInstaller setup(machine, kProgramPath);
        const SetupValues& values = setup.Values();
        const std::string product = values.Config.ProductName;
        const std::string publisher = values.Config.Publisher;
        // What the setup writes below the Uninstall key: its name, DisplayName and DisplayVersion.
        const std::string keyName = FullProductName(values) + BitSuffix(values);
        const std::string version = setup.SetupVersion().AsString();

        std::string id = arguments.Value("--id").value_or("");
        if (id.empty()) {
            if (IdentifierPart(publisher).empty() || IdentifierPart(product).empty())
                throw EUsageError("the setup names no Publisher: give the package identifier with --id");
            id = IdentifierPart(publisher) + "." + IdentifierPart(product);
        }
        const bool licence = !values.Config.LicenseText.empty();
        std::string fileName = PathText(HostPath(path).filename());

        std::string& m = manifest;
        m += std::string(kSchemaLine) + "\n";
        m += "PackageIdentifier: " + Quoted(id) + "\n";
        m += "PackageVersion: " + Quoted(version) + "\n";
        m += "InstallerType: exe\n";
        m += "Scope: machine\n";
        m += "InstallModes:\n- interactive\n- silent\n- silentWithProgress\n";
        m += "InstallerSwitches:\n";
        m += "  Silent: " + Quoted(SwitchesFor("/VERYSILENT", licence)) + "\n";
        m += "  SilentWithProgress: " + Quoted(SwitchesFor("/SILENT", licence)) + "\n";
        m += "  InstallLocation: " + Quoted("/DIR=\"<INSTALLPATH>\"") + "\n";
        m += "  Log: " + Quoted("/LOG=\"<LOGPATH>\"") + "\n";
        m += "ExpectedReturnCodes:\n";
        for (const ExitStatusRow& row : kExitStatuses)
            if (row.WingetResponse)
                m += "- InstallerReturnCode: " + std::to_string(row.Code) +
                     "\n  ReturnResponse: " + row.WingetResponse + "\n";
        // The same major version is updated in place; the setup finds the earlier copy itself.
        m += "UpgradeBehavior: install\n";
        // The program's manifest asks Windows for the rights itself.
        m += "ElevationRequirement: elevatesSelf\n";
        m += "ProductCode: " + Quoted(keyName) + "\n";
        m += "AppsAndFeaturesEntries:\n";
        m += "- DisplayName: " + Quoted(keyName) + "\n";
        if (!publisher.empty()) m += "  Publisher: " + Quoted(publisher) + "\n";
        m += "  DisplayVersion: " + Quoted(version) + "\n";
        m += "  ProductCode: " + Quoted(keyName) + "\n";
        m += "Installers:\n";
        m += std::string("- Architecture: ") + (values.Config.Is64Bit ? "x64" : "x86") + "\n";
        m += "  InstallerUrl: " + Quoted(url.value_or("https://example.com/download/" + fileName)) + "\n";
        m += "  InstallerSha256: " + Sha256Hex(bytes) + "\n";
        m += "ManifestType: installer\n";
        m += std::string("ManifestVersion: ") + kManifestVersion + "\n";
    });
    if (!url) env.Err << "plugsetup: no --url given: InstallerUrl is a placeholder to replace\n";
    env.Out << manifest;
    return kExitOk;
}
