// plugsetup build: a product folder becomes a setup program (stub + archive) or a Setup.dat.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <thread>

#include "archive/ArchiveWriter.h"
#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/BuildTime.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Progress.h"
#include "tools/plugsetup/Signing.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/check/ProductCheck.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/pe/SetupFace.h"

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
    {"--version", true},
    {"--beta", true},
    {"--press-preview", false},
    {"--build-time", true},
    {"--stub", true},
    {"--data-file", false},
    {"-o", true},
    {"--no-check", false},
    kCodePageOption,
    {"--sign", true},
    {"--sign-retries", true},
    {"--sign-timeout", true},
    {"--sign-files", false},
    {"--sign-pattern", true},
    kStrictOption,
    kOutsideLinksOption,
    kProgressOption,
    kQuietOption,
    {"--level", true},
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

int CountArgument(const Arguments& arguments, const char* name, int fallback, int least) {
    std::optional<std::string> text = arguments.Value(name);
    if (!text) return fallback;
    std::int32_t value = 0;
    if (!ParseDecimal(*text, value) || value < least)
        throw EUsageError(std::string(name) + " wants a whole number of at least " + std::to_string(least) +
                          ", not '" + *text + "'");
    return value;
}

SignOptions SignOptionsFromArguments(const Arguments& arguments) {
    SignOptions options;
    std::optional<std::string> sign = arguments.Value("--sign");
    for (const char* name : {"--sign-retries", "--sign-timeout", "--sign-files", "--sign-pattern"})
        if (!sign && arguments.Has(name)) throw EUsageError(std::string(name) + " goes with --sign");
    if (!sign) return options;
    CheckSignCommand(*sign);
    options.Command = *sign;
    options.Retries = CountArgument(arguments, "--sign-retries", 0, 0);
    options.TimeLimitSeconds = CountArgument(arguments, "--sign-timeout", kDefaultSignTimeLimit, 1);
    if (arguments.Has("--sign-pattern") && !arguments.Has("--sign-files"))
        throw EUsageError("--sign-pattern goes with --sign-files");
    if (arguments.Has("--sign-files"))
        options.FilePatterns = arguments.Value("--sign-pattern").value_or(kDefaultSignPatterns);
    options.Pause = [](int seconds) { std::this_thread::sleep_for(std::chrono::seconds(seconds)); };
    return options;
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

int LevelFromArguments(const Arguments& arguments) {
    std::optional<std::string> text = arguments.Value("--level");
    if (!text) return kDefaultCompressionLevel;
    std::int32_t level = 0;
    if (!ParseDecimal(*text, level) || level < kMinCompressionLevel || level > kMaxCompressionLevel)
        throw EUsageError("--level wants a number from " + std::to_string(kMinCompressionLevel) + " to " +
                          std::to_string(kMaxCompressionLevel) + ", not '" + *text + "'");
    return level;
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
                         const CodePage& codePage, const Progress& progress, ToolEnvironment& env) {
    const bool noCheck = arguments.Has("--no-check");
    std::vector<CheckFinding> findings = noCheck ? TreeFindings(tree) : CheckProduct(tree, version, codePage);
    if (arguments.Has(kStrictOption.Name)) MakeWarningsErrors(findings);
    if (progress.Quiet())
        std::erase_if(findings, [](const CheckFinding& finding) { return finding.Level != Severity::Error; });
    const int errors = PrintFindings(env.Err, findings);
    if (errors > 0)
        throw Exception(tree.Folder + ": " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                        (noCheck ? " (see above) that no setup can hold; fix them"
                                 : " (see above); fix them, or build anyway with --no-check"));
}

std::int64_t TreeBytes(const std::vector<SourceEntry>& tree) {
    std::int64_t bytes = 0;
    for (const SourceEntry& entry : tree)
        bytes += entry.IsDirectory
                     ? TreeBytes(entry.Children)
                     : std::max<std::int64_t>(
                           0, entry.Reader ? entry.KnownSize : static_cast<std::int64_t>(entry.Bytes.size()));
    return bytes;
}

// The stub followed by the archive, at path; what the format cannot hold is named inside the
// product.
ArchiveWriteResult WriteSetupFile(const std::string& path, const std::vector<std::uint8_t>& stub,
                                  const std::vector<SourceEntry>& tree, ArchiveWriterOptions options,
                                  const std::string& productDir, Progress& progress) {
    std::unique_ptr<HostFile> file = HostFile::CreateForWriting(path);
    if (!stub.empty()) WriteProgramBeforeData(*file, stub, ProgramRole::Setup);
    progress.Begin("compressing", TreeBytes(tree));
    options.OnCompressed = [&](std::int64_t bytes) { progress.Advance(bytes); };
    options.OnWriting = [&](std::int64_t dataLength) { progress.Begin("writing", dataLength); };
    ProgressStream counted(*file, progress);
    ArchiveWriteResult result;
    try {
        result = WriteArchive(counted, tree, options);
    } catch (const EArchiveWriteError& error) {
        throw EArchiveWriteError(productDir + ": " + error.what());
    }
    file->Close();
    return result;
}

// "GadgetSetup.exe: 3 files, 302.0 MB in, 290.1 MB out (96.1%), 7.3 s"
std::string BuildSummary(const std::string& output, const ArchiveWriteResult& result, std::int64_t in,
                         double seconds) {
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, " (%.1f%%), ", in > 0 ? 100.0 * result.DataLength / in : 100.0);
    return output + ": " + std::to_string(result.FileCount) +
           (result.FileCount == 1 ? " file, " : " files, ") + FormatBytes(in) + " in, " +
           FormatBytes(result.DataLength) + " out" + ratio + FormatSeconds(seconds);
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
    const SignOptions signing = SignOptionsFromArguments(arguments);

    ArchiveWriterOptions options;
    options.Version = VersionFromArguments(arguments);
    const std::unique_ptr<CodePage> codePage = BuildCodePageFromArguments(arguments);
    options.TextCodePage = static_cast<std::uint32_t>(codePage->Number());
    options.BuildTime = ChooseBuildTime(arguments, env);
    options.Level = LevelFromArguments(arguments);
    const std::string& productDir = arguments.Positional()[0];

    std::vector<std::uint8_t> stub;
    if (std::optional<std::string> given = arguments.Value("--stub")) {
        stub = ReadStub(*given);
    } else if (!dataFile) {
        stub = ReadStub(DefaultStub(env));
    }
    Progress progress(env, arguments);
    // A setup that stops on the user's machine is worse than no setup.
    progress.Begin("reading", 0);
    const ProductTree product = ReadProductTree(productDir, *codePage, TreeOptionsFromArguments(arguments));
    progress.Begin("checking", 0);
    CheckBeforeBuilding(arguments, product, options.Version, *codePage, progress, env);
    std::vector<SourceEntry> tree = ArchiveEntries(product, *codePage);
    const SetupFace face = ReadSetupFace(productDir, tree, options.Version, *codePage);
    if (!stub.empty()) WithSubject("the stub", [&] { ApplySetupFace(stub, face); });
    const std::int64_t productBytes = TreeBytes(tree);

    ArchiveWriteResult result;
    int signedFiles = 0;
    if (sign) {
        progress.Begin("signing", 0);
        result = BuildSignedSetup(
            signing, stub, std::move(tree), *output,
            [&](const std::string& path, const std::vector<SourceEntry>& signedTree) {
                ArchiveWriteResult written =
                    WriteSetupFile(path, stub, signedTree, options, productDir, progress);
                progress.Begin("signing", 0);
                return written;
            },
            env.Err, signedFiles);
    } else {
        // Written beside the output and renamed at the end, so a failed build leaves no half file.
        const std::string partial = *output + ".partial";
        try {
            result = WriteSetupFile(partial, stub, tree, options, productDir, progress);
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
    if (signing.FilePatterns.size())
        env.Out << *output << ": " << signedFiles << " of the product's programs signed (--sign-files)\n";
    progress.Finish(BuildSummary(*output, result, productBytes, progress.Elapsed()));
    return kExitOk;
}
