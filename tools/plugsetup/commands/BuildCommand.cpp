// plugsetup build: a product folder becomes a setup program (stub + archive) or a Setup.dat.
#include <filesystem>
#include <limits>

#include "archive/ArchiveWriter.h"
#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/BuildTime.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Signing.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/check/ProductCheck.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

namespace {

constexpr const char* kStubNotAProgramMessage = "not a Windows program (no MZ header)";
constexpr const char* kStubHasArchiveMessage =
    "already carries a setup archive or uninstall record (its offset word at 0x30 is not 0)";
constexpr const char* kStubIsUninstallerMessage = "is an uninstaller copy (its marker word at 0x34 is not 0)";
constexpr const char* kStubTooLargeMessage = "is 2 GiB or larger; the archive must begin below 2 GiB";
constexpr const char* kBadEpochMessage =
    "SOURCE_DATE_EPOCH is not a number of seconds in the years 1..9999: ";
constexpr const char* kDefaultStubName = "Setup.exe";
constexpr const char* kNoDefaultStubMessage =
    "no stub to build from: neither %beside (beside plugsetup) nor %shared (where a package installs it) is "
    "there; give --stub Setup.exe, or --data-file";

const std::vector<OptionRule> kBuildOptions = {
    {"--version", true},    {"--beta", true},      {"--press-preview", false},
    {"--build-time", true}, {"--stub", true},      {"--data-file", false},
    {"-o", true},           {"--no-check", false}, kCodePageOption,
    {"--sign", true},       kStrictOption,         kOutsideLinksOption,
};

bool ParseDecimal(const std::string& text, std::int32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

TProgramVersion VersionFromArguments(const Arguments& arguments, const TProgramVersion* fallback) {
    std::optional<std::string> text = arguments.Value("--version");
    if (!text && fallback) return *fallback;
    if (!text) throw EUsageError("missing --version");
    TProgramVersion version;
    SplitResult major = SplitAt(*text, '.');
    SplitResult minor = SplitAt(major.right, '.');
    if (!major.found || !minor.found || !ParseDecimal(major.left, version.Major) ||
        !ParseDecimal(minor.left, version.Minor) || !ParseDecimal(minor.right, version.Release))
        throw EUsageError("--version wants MAJOR.MINOR.RELEASE in decimal, not '" + *text + "'");
    if (std::optional<std::string> beta = arguments.Value("--beta"))
        if (!ParseDecimal(*beta, version.Beta))
            throw EUsageError("--beta wants a number, not '" + *beta + "'");
    version.PressPreview = arguments.Has("--press-preview");
    try {
        CheckArchiveVersion(version);
    } catch (const EArchiveWriteError& error) {
        throw EUsageError(error.what());
    }
    return version;
}

namespace {

double ChooseBuildTime(const Arguments& arguments, ToolEnvironment& env) {
    if (std::optional<std::string> text = arguments.Value("--build-time")) {
        std::optional<double> time = ParseBuildTime(*text);
        if (!time) throw EUsageError("--build-time wants YYYY-MM-DDTHH:MM:SS, not '" + *text + "'");
        return *time;
    }
    std::optional<std::string> epoch = env.GetEnv ? env.GetEnv("SOURCE_DATE_EPOCH") : std::nullopt;
    if (epoch && !epoch->empty()) {
        std::optional<double> time = BuildTimeFromEpoch(*epoch);
        if (!time) throw Exception(kBadEpochMessage + *epoch);
        return *time;
    }
    return env.Now();
}

// Without --stub: Setup.exe beside the running plugsetup (a build folder, the Windows zip), else
// ../share/plugsetup/Setup.exe from its folder (an installed package: bin/ and share/ side by
// side). A stub that is there but unusable is an error, not a reason to look further.
std::string DefaultStub(const ToolEnvironment& env) {
    const std::filesystem::path folder = HostPath(env.ExecutablePath).parent_path();
    const std::string beside = PathText(folder / kDefaultStubName);
    const std::string shared =
        PathText((folder / ".." / "share" / "plugsetup" / kDefaultStubName).lexically_normal());
    std::error_code error;
    for (const std::string& candidate : {beside, shared})
        if (std::filesystem::exists(HostPath(candidate), error)) return candidate;
    std::string message = kNoDefaultStubMessage;
    message.replace(message.find("%beside"), 7, beside);
    message.replace(message.find("%shared"), 7, shared);
    throw EFileError(message);
}

// The stub as it is: a program that carries nothing yet.
std::vector<std::uint8_t> ReadStub(const std::string& path) {
    std::vector<std::uint8_t> stub = ReadHostFile(path);
    WithSubject(path, [&] {
        std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(stub.data(), stub.size());
        if (!words || stub[0] != 'M' || stub[1] != 'Z') throw Exception(kStubNotAProgramMessage);
        if (words->ArchiveOffset != 0) throw Exception(kStubHasArchiveMessage);
        if (!IsFreshStub(*words)) throw Exception(kStubIsUninstallerMessage);
        if (stub.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw Exception(kStubTooLargeMessage);
    });
    return stub;
}

// The whole check, or with --no-check what no setup can hold: every finding printed, then a
// stop on any error. With --strict a warning is one.
void CheckBeforeBuilding(const Arguments& arguments, const ProductTree& tree, const TProgramVersion& version,
                         const CodePage& codePage, ToolEnvironment& env) {
    const bool noCheck = arguments.Has("--no-check");
    std::vector<CheckFinding> findings = noCheck ? TreeFindings(tree) : CheckProduct(tree, version, codePage);
    if (arguments.Has(kStrictOption.Name)) MakeWarningsErrors(findings);
    const int errors = PrintFindings(env.Err, findings);
    if (errors > 0)
        throw Exception(tree.Folder + ": " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                        (noCheck ? " (see above) that no setup can hold; fix them"
                                 : " (see above); fix them, or build anyway with --no-check"));
}

// The stub followed by the archive, at path; what the format cannot hold is named inside the
// product.
ArchiveWriteResult WriteSetupFile(const std::string& path, const std::vector<std::uint8_t>& stub,
                                  const std::vector<SourceEntry>& tree, const ArchiveWriterOptions& options,
                                  const std::string& productDir) {
    std::unique_ptr<HostFile> file = HostFile::CreateForWriting(path);
    if (!stub.empty()) WriteProgramBeforeData(*file, stub, ProgramRole::Setup);
    ArchiveWriteResult result;
    try {
        result = WriteArchive(*file, tree, options);
    } catch (const EArchiveWriteError& error) {
        throw EArchiveWriteError(productDir + ": " + error.what());
    }
    file->Close();
    return result;
}

}  // namespace

int RunBuild(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, kBuildOptions);
    arguments.ExpectPositional(1, "PRODUCT_DIR");
    std::optional<std::string> output = arguments.Value("-o");
    if (!output || output->empty()) throw EUsageError("missing -o OUTPUT");
    const bool dataFile = arguments.Has("--data-file");
    if (dataFile && arguments.Has("--stub")) throw EUsageError("--stub and --data-file exclude each other");
    std::optional<std::string> sign = arguments.Value("--sign");
    if (sign && dataFile)
        throw EUsageError("--sign and --data-file exclude each other: a Setup.dat is no program");
    if (sign) CheckSignCommand(*sign);

    ArchiveWriterOptions options;
    options.Version = VersionFromArguments(arguments);
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    options.BuildTime = ChooseBuildTime(arguments, env);
    const std::string& productDir = arguments.Positional()[0];

    std::vector<std::uint8_t> stub;
    if (std::optional<std::string> given = arguments.Value("--stub")) {
        stub = ReadStub(*given);
    } else if (!dataFile) {
        stub = ReadStub(DefaultStub(env));
    }
    // A setup that stops on the user's machine is worse than no setup.
    const ProductTree product = ReadProductTree(productDir, *codePage, TreeOptionsFromArguments(arguments));
    CheckBeforeBuilding(arguments, product, options.Version, *codePage, env);
    std::vector<SourceEntry> tree = ArchiveEntries(product, *codePage);

    ArchiveWriteResult result;
    if (sign) {
        result = BuildSignedSetup(
            *sign, stub, std::move(tree), *output,
            [&](const std::string& path, const std::vector<SourceEntry>& signedTree) {
                return WriteSetupFile(path, stub, signedTree, options, productDir);
            },
            env.Err);
    } else {
        // Written beside the output and renamed at the end, so a failed build leaves no half file.
        const std::string partial = *output + ".partial";
        try {
            result = WriteSetupFile(partial, stub, tree, options, productDir);
            ReplaceHostFile(partial, *output);
        } catch (...) {
            RemoveHostFile(partial);
            throw;
        }
    }
    env.Out << *output << ": version " << options.Version.AsString() << ", " << result.FileCount << " files, "
            << result.DataLength << " bytes of data, archive at offset " << result.ArchiveStart << "\n";
    if (sign)
        env.Out << *output << ": signed, and so is the uninstaller it carries (" << kUninstallerEntry
                << ")\n";
    return kExitOk;
}
