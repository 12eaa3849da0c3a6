// plugsetup build --sign COMMAND: the vendor's own signing command, run on the uninstaller that
// the setup carries and then on the finished setup. COMMAND is one shell command line in which
// {in} stands for the file to sign and {out} for the signed file to write.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

inline constexpr char kSignInPlaceholder[] = "{in}";
inline constexpr char kSignOutPlaceholder[] = "{out}";

// EUsageError unless command holds both {in} and {out}.
void CheckSignCommand(const std::string& command);
// command with every {in} and {out} replaced by the quoted paths.
std::string SignCommandLine(const std::string& command, const std::string& in, const std::string& out);

// Signs in into out with command. Raises Exception, naming what was signed, the command line
// and what it printed, when the command cannot be run, exits with a status other than 0, or
// leaves no (or an empty) out.
void SignFile(const std::string& command, const std::string& what, const std::string& in,
              const std::string& out);

// Writes a setup program (the stub, then the archive of tree) at path.
using SetupFileWriter =
    std::function<ArchiveWriteResult(const std::string& path, const std::vector<SourceEntry>& tree)>;

// The signed build: the uninstaller made from stub and signed, carried in tree as
// kUninstallerEntry, the setup written and signed, and the result renamed to output. Everything
// happens in a folder beside output that is removed at the end, so a failure leaves output as
// it was. A signed file without a certificate table is only warned about, on warnings.
ArchiveWriteResult BuildSignedSetup(const std::string& command, const std::vector<std::uint8_t>& stub,
                                    std::vector<SourceEntry> tree, const std::string& output,
                                    const SetupFileWriter& writeSetup, std::ostream& warnings);
