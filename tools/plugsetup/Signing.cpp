#include "tools/plugsetup/Signing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "archive/PeImage.h"
#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/host/ShellCommand.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMissingPlaceholderMessage[] =
    "--sign wants a command that holds {file} (a file it signs in place) or both {in} and {out}, not '";
constexpr char kQuotedPlaceholderMessage[] =
    "--sign: %p stands inside quotes in '%c'; plugsetup puts each path in quoted for the shell, and quotes "
    "around it would undo that. Write %p bare: osslsigncode sign ... -in {in} -out {out}, or "
    "signtool sign ... {file}";
constexpr char kRetryWarning[] = "plugsetup: warning: %s (attempt %d of %d); trying again in %d s\n";
constexpr char kNotFoundHint[] = " (the shell did not find the command)";
constexpr char kNotRunnableHint[] = " (the shell could not run the command)";
constexpr char kNoCertificateWarning[] =
    "plugsetup: warning: %s carries no certificate table after signing; does the --sign command sign?\n";
constexpr char kUninstallerWhat[] = "the uninstaller";
constexpr char kSetupWhat[] = "the setup";

std::string Indented(const std::string& text) {
    std::string result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        result += "\n    " + text.substr(start, end - start);
        start = end + 1;
    }
    return result;
}

[[noreturn]] void SigningFailed(const std::string& what, const std::string& reason, const std::string& line,
                                const std::string& output) {
    std::string message = "signing " + what + " failed: " + reason + "\n  command: " + line;
    message += output.empty() ? "\n  (no output)" : "\n  output:" + Indented(output);
    throw Exception(message);
}

// A folder beside the output for the files in between, removed with everything in it.
class WorkFolder {
public:
    explicit WorkFolder(const std::string& output) {
        // A name nobody else holds, made the way mkdtemp makes one, on either system.
        constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        std::random_device seed;
        std::mt19937 pick(seed());
        std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
        std::error_code error;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = output + ".partial-";
            for (int i = 0; i < 6; ++i) name += kLetters[letter(pick)];
            if (std::filesystem::create_directory(HostPath(name), error)) {
                path_ = std::filesystem::absolute(HostPath(name));
                return;
            }
            if (error) throw EFileError(FileCreateErrorText(name, error.message()));
        }
        throw EFileError(FileCreateErrorText(output + ".partial-*", "every name tried is taken"));
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    // Signing tools pick the format by the name's extension, so every file here ends in .exe.
    std::string File(const char* name) const { return PathText(path_ / name); }

private:
    fs::path path_;
};

void WarnUnlessSigned(const std::optional<CertificateTable>& table, const char* what,
                      std::ostream& warnings) {
    if (table) return;
    char text[256];
    std::snprintf(text, sizeof text, kNoCertificateWarning, what);
    warnings << text;
}

// The signed uninstaller must still be one that reads Uninstall.dat, or the setup would not use it.
void CheckSignedUninstaller(const std::vector<std::uint8_t>& bytes) {
    std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(bytes.data(), bytes.size());
    if (!words || !IsUninstaller(*words) || AppendedDataStart(*words))
        throw Exception("signing the uninstaller changed its header words at 0x30 and 0x34");
}

// The signed setup must still find and pass its archive.
void CheckSignedSetup(const std::string& path) {
    WithSubject("the signed setup", [&] {
        OpenedSetupFile setup = OpenSetupFile(path);
        if (!setup.IsProgram) throw Exception("its archive offset word at 0x30 is gone");
        CheckArchive(*setup.File);
    });
}

// The first placeholder that stands inside quotes, as the shell reads them; empty for none.
std::string QuotedPlaceholder(const std::string& command) {
    for (const char* placeholder : {kSignInPlaceholder, kSignOutPlaceholder, kSignFilePlaceholder})
        for (std::size_t at = command.find(placeholder); at != std::string::npos;
             at = command.find(placeholder, at + 1))
            if (IsQuotedAt(command, at)) return placeholder;
    return {};
}

std::string Replaced(std::string text, const std::string& mark, const std::string& by) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

bool Holds(const std::string& command, const char* placeholder) {
    return command.find(placeholder) != std::string::npos;
}

bool SignsInPlace(const std::string& command) {
    return Holds(command, kSignFilePlaceholder);
}

void SignOnce(const SignOptions& options, const std::string& what, const std::string& in,
              const std::string& out) {
    const std::string line = SignCommandLine(options.Command, in, out);
    if (SignsInPlace(options.Command))
        fs::copy_file(HostPath(in), HostPath(out), fs::copy_options::overwrite_existing);
    ShellResult result = RunShellCommand(line, options.TimeLimitSeconds);
    if (result.TimedOut)
        SigningFailed(what,
                      "the command did not end within " + std::to_string(options.TimeLimitSeconds) +
                          " s (--sign-timeout) and was stopped",
                      line, result.Output);
    if (!result.Exited)
        SigningFailed(what, "the command was ended by signal " + std::to_string(result.Status), line,
                      result.Output);
    if (result.Status != 0) {
        std::string reason = "the command exited with status " + std::to_string(result.Status);
        const ShellFailure failure = ShellFailureOf(result.Status);
        if (failure == ShellFailure::NotFound) reason += kNotFoundHint;
        if (failure == ShellFailure::NotRunnable) reason += kNotRunnableHint;
        SigningFailed(what, reason, line, result.Output);
    }
    std::error_code error;
    if (!fs::is_regular_file(HostPath(out), error) || fs::file_size(HostPath(out), error) == 0)
        SigningFailed(what, "the command wrote no signed file " + out, line, result.Output);
}

// Does name match one of the blank-separated patterns (* any run, ? one character)?
bool MatchesPattern(const std::string& name, const std::string& pattern) {
    std::size_t n = 0, p = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || SameText(name.substr(n, 1), pattern.substr(p, 1)))) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++, resume = n;
        } else if (star != std::string::npos) {
            p = star + 1, n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool MatchesAny(const std::string& name, const std::string& patterns) {
    std::size_t start = 0;
    while (start < patterns.size()) {
        std::size_t end = patterns.find(' ', start);
        if (end == std::string::npos) end = patterns.size();
        if (end > start && MatchesPattern(name, patterns.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

// The file's extension when it is plain ASCII (signing tools go by it), else ".bin".
std::string WorkExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return ".bin";
    const std::string extension = name.substr(dot);
    for (char c : extension.substr(1))
        if (!std::isalnum(static_cast<unsigned char>(c))) return ".bin";
    return extension;
}

}  // namespace

void CheckSignCommand(const std::string& command) {
    const bool inPlace = Holds(command, kSignFilePlaceholder);
    const bool inOut = Holds(command, kSignInPlaceholder) || Holds(command, kSignOutPlaceholder);
    if (inPlace == inOut ||
        (inOut && !(Holds(command, kSignInPlaceholder) && Holds(command, kSignOutPlaceholder))))
        throw EUsageError(kMissingPlaceholderMessage + command + "'");
    const std::string quoted = QuotedPlaceholder(command);
    if (!quoted.empty())
        throw EUsageError(Replaced(Replaced(kQuotedPlaceholderMessage, "%p", quoted), "%c", command));
}

int SignRetryPause(int attempt) {
    return std::min(60, 2 << std::min(attempt - 1, 5));
}

void SignFile(const SignOptions& options, const std::string& what, const std::string& in,
              const std::string& out, std::ostream& warnings) {
    const int attempts = options.Retries + 1;
    for (int attempt = 1;; ++attempt) {
        try {
            SignOnce(options, what, in, out);
            return;
        } catch (const Exception& error) {
            if (attempt >= attempts) throw;
            const std::string first(error.what(), std::strcspn(error.what(), "\n"));
            char text[1024];
            std::snprintf(text, sizeof text, kRetryWarning, first.c_str(), attempt, attempts,
                          SignRetryPause(attempt));
            warnings << text;
            if (options.Pause) options.Pause(SignRetryPause(attempt));
        }
    }
}

namespace {

// The product's programs that match the patterns, each replaced by its signed copy.
void SignProductFiles(const SignOptions& options, std::vector<SourceEntry>& entries, const WorkFolder& work,
                      std::ostream& warnings, int& count) {
    for (SourceEntry& entry : entries) {
        if (entry.IsDirectory) {
            SignProductFiles(options, entry.Children, work, warnings, count);
            continue;
        }
        if (!MatchesAny(entry.Name, options.FilePatterns)) continue;
        std::vector<std::uint8_t> bytes = entry.Reader ? entry.Reader() : entry.Bytes;
        // A .vst3 or .clap may be anything in name only; only programs are signed.
        if (!FindPeHeaderFields(bytes.data(), bytes.size())) continue;
        const std::string stem = "file-" + std::to_string(++count);
        const std::string in = work.File((stem + WorkExtension(entry.Name)).c_str());
        const std::string out = work.File((stem + "-signed" + WorkExtension(entry.Name)).c_str());
        {
            auto file = HostFile::CreateForWriting(in);
            file->Write(bytes.data(), bytes.size());
            file->Close();
        }
        SignFile(options, "the product's file " + entry.Name, in, out, warnings);
        entry = SourceEntry::File(entry.Name, ReadHostFile(out));
    }
}

}  // namespace

std::string SignCommandLine(const std::string& command, const std::string& in, const std::string& out) {
    // One pass, so a placeholder inside a path that was put in is left alone. In place, the
    // command signs the copy it is given.
    const bool inPlace = SignsInPlace(command);
    const std::pair<const char*, const std::string*> marks[] = {
        {kSignInPlaceholder, &in}, {kSignOutPlaceholder, &out}, {kSignFilePlaceholder, inPlace ? &out : &in}};
    std::string line;
    for (std::size_t at = 0; at < command.size();) {
        bool replaced = false;
        for (const auto& [mark, path] : marks)
            if (command.compare(at, std::strlen(mark), mark) == 0) {
                line += ShellQuoted(*path);
                at += std::strlen(mark);
                replaced = true;
                break;
            }
        if (!replaced) line += command[at++];
    }
    return line;
}

ArchiveWriteResult BuildSignedSetup(const SignOptions& options, const std::vector<std::uint8_t>& stub,
                                    std::vector<SourceEntry> tree, const std::string& output,
                                    const SetupFileWriter& writeSetup, std::ostream& warnings,
                                    int& signedFiles) {
    WorkFolder work(output);
    signedFiles = 0;
    if (!options.FilePatterns.empty()) SignProductFiles(options, tree, work, warnings, signedFiles);

    std::vector<std::uint8_t> uninstaller = UninstallerWithoutRecord(stub);
    MakeUnsignedImage(uninstaller);
    const std::string unsignedUninstaller = work.File("Uninst.exe");
    {
        auto file = HostFile::CreateForWriting(unsignedUninstaller);
        file->Write(uninstaller.data(), uninstaller.size());
        file->Close();
    }
    const std::string signedUninstallerPath = work.File("Uninst-signed.exe");
    SignFile(options, kUninstallerWhat, unsignedUninstaller, signedUninstallerPath, warnings);
    std::vector<std::uint8_t> signedUninstaller = ReadHostFile(signedUninstallerPath);
    CheckSignedUninstaller(signedUninstaller);
    WarnUnlessSigned(CertificateTableIn(signedUninstaller.data(), signedUninstaller.size()), kUninstallerWhat,
                     warnings);
    tree.push_back(SourceEntry::File(kUninstallerEntry, std::move(signedUninstaller)));

    const std::string unsignedSetup = work.File("Setup.exe");
    const std::string signedSetup = work.File("Setup-signed.exe");
    ArchiveWriteResult result = writeSetup(unsignedSetup, tree);
    SignFile(options, kSetupWhat, unsignedSetup, signedSetup, warnings);
    CheckSignedSetup(signedSetup);
    WarnUnlessSigned(ReadCertificateTable(*HostFile::OpenForReading(signedSetup)), kSetupWhat, warnings);
    ReplaceHostFile(signedSetup, output);
    return result;
}
