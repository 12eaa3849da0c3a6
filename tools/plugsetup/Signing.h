// plugsetup build --sign COMMAND: the vendor's own signing command, run on the product's own
// programs (--sign-files), on the uninstaller that the setup carries and then on the finished
// setup. COMMAND is one shell command line in which either {in} stands for the file to sign and
// {out} for the signed file to write, or {file} for the file it signs in place. Every file it
// gets is a copy in the work folder, never one of the vendor's.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

inline constexpr char kSignInPlaceholder[] = "{in}";
inline constexpr char kSignOutPlaceholder[] = "{out}";
inline constexpr char kSignFilePlaceholder[] = "{file}";
inline constexpr int kDefaultSignTimeLimit = 600;
inline constexpr char kDefaultSignPatterns[] = "*.exe *.dll *.vst3 *.clap";

struct SignOptions {
    std::string Command;
    int Retries = 0;  // further attempts after a failed one, each after a longer pause
    int TimeLimitSeconds = kDefaultSignTimeLimit;
    // --sign-files: the names of the product's files to sign (blank-separated patterns with * and
    // ?, ASCII case folded); empty signs none of them.
    std::string FilePatterns;
    std::function<void(int seconds)> Pause;
};

// EUsageError unless command holds {file} alone or both {in} and {out}, none of them inside
// quotes (the paths are quoted when they are put in, and quotes around them would undo that).
void CheckSignCommand(const std::string& command);
// command with every {in}, {out} and {file} replaced by the quoted paths ({file} by in).
std::string SignCommandLine(const std::string& command, const std::string& in, const std::string& out);

// Signs in into out with the command (in place: out is a copy of in that the command signs).
// Raises Exception, naming what was signed, the command line and what it printed, when the
// command cannot be run, exits with a status other than 0, runs out of time, or leaves no (or an
// empty) out, once every attempt has failed; each failed attempt before is told on warnings.
void SignFile(const SignOptions& options, const std::string& what, const std::string& in,
              const std::string& out, std::ostream& warnings);
// The pause before attempt number attempt (1 for the first retry), in seconds.
int SignRetryPause(int attempt);

// Writes a setup program (the stub, then the archive of tree) at path.
using SetupFileWriter =
    std::function<ArchiveWriteResult(const std::string& path, const std::vector<SourceEntry>& tree)>;

// The signed build: the product's programs that match FilePatterns replaced in tree by signed
// copies, the uninstaller made from stub and signed, carried in tree as kUninstallerEntry, the
// setup written and signed, and the result renamed to output. Everything happens in a folder
// beside output that is removed at the end, so a failure leaves output as it was. A signed file
// without a certificate table is only warned about, on warnings. signedFiles counts the
// product's files signed.
ArchiveWriteResult BuildSignedSetup(const SignOptions& options, const std::vector<std::uint8_t>& stub,
                                    std::vector<SourceEntry> tree, const std::string& output,
                                    const SetupFileWriter& writeSetup, std::ostream& warnings,
                                    int& signedFiles);
