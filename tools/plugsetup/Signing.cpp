#include "tools/plugsetup/Signing.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "archive/PeImage.h"
#include "archive/ProgramHeader.h"
#include "install/Installer.h"
#include "archive/SetupData.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/host/ShellCommand.h"
#include "tools/plugsetup/Tool.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMissingPlaceholderMessage[] = "--sign wants a command that holds both {in} and {out}, not '";
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

}  // namespace

void CheckSignCommand(const std::string& command) {
    if (command.find(kSignInPlaceholder) == std::string::npos ||
        command.find(kSignOutPlaceholder) == std::string::npos)
        throw EUsageError(kMissingPlaceholderMessage + command + "'");
}

std::string SignCommandLine(const std::string& command, const std::string& in, const std::string& out) {
    // One pass, so a placeholder inside a path that was put in is left alone.
    const std::string inPlaceholder = kSignInPlaceholder, outPlaceholder = kSignOutPlaceholder;
    std::string line;
    for (std::size_t at = 0; at < command.size();) {
        if (command.compare(at, inPlaceholder.size(), inPlaceholder) == 0) {
            line += ShellQuoted(in);
            at += inPlaceholder.size();
        } else if (command.compare(at, outPlaceholder.size(), outPlaceholder) == 0) {
            line += ShellQuoted(out);
            at += outPlaceholder.size();
        } else {
            line += command[at++];
        }
    }
    return line;
}

void SignFile(const std::string& command, const std::string& what, const std::string& in,
              const std::string& out) {
    const std::string line = SignCommandLine(command, in, out);
    ShellResult result = RunShellCommand(line);
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

ArchiveWriteResult BuildSignedSetup(const std::string& command, const std::vector<std::uint8_t>& stub,
                                    std::vector<SourceEntry> tree, const std::string& output,
                                    const SetupFileWriter& writeSetup, std::ostream& warnings) {
    WorkFolder work(output);

    std::vector<std::uint8_t> uninstaller = UninstallerWithoutRecord(stub);
    MakeUnsignedImage(uninstaller);
    const std::string unsignedUninstaller = work.File("Uninst.exe");
    {
        auto file = HostFile::CreateForWriting(unsignedUninstaller);
        file->Write(uninstaller.data(), uninstaller.size());
        file->Close();
    }
    const std::string signedUninstallerPath = work.File("Uninst-signed.exe");
    SignFile(command, kUninstallerWhat, unsignedUninstaller, signedUninstallerPath);
    std::vector<std::uint8_t> signedUninstaller = ReadHostFile(signedUninstallerPath);
    CheckSignedUninstaller(signedUninstaller);
    WarnUnlessSigned(CertificateTableIn(signedUninstaller.data(), signedUninstaller.size()), kUninstallerWhat,
                     warnings);
    tree.push_back(SourceEntry::File(kUninstallerEntry, std::move(signedUninstaller)));

    const std::string unsignedSetup = work.File("Setup.exe");
    const std::string signedSetup = work.File("Setup-signed.exe");
    ArchiveWriteResult result = writeSetup(unsignedSetup, tree);
    SignFile(command, kSetupWhat, unsignedSetup, signedSetup);
    CheckSignedSetup(signedSetup);
    WarnUnlessSigned(ReadCertificateTable(*HostFile::OpenForReading(signedSetup)), kSetupWhat, warnings);
    ReplaceHostFile(signedSetup, output);
    return result;
}
