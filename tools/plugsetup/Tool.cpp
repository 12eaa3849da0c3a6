#include "tools/plugsetup/Tool.h"

#include <ctime>

#include "archive/SetupData.h"
#include "tools/plugsetup/host/HostProcess.h"

namespace {

// Add a command here and in its own file.
const Command kCommands[] = {
    {"build",
     "--version MAJOR.MINOR.RELEASE [--beta N] [--press-preview] [--build-time YYYY-MM-DDTHH:MM:SS] "
     "[--stub Setup.exe | --data-file] [--sign 'COMMAND {in} {out}'] [--no-check] [--codepage N] -o OUTPUT "
     "PRODUCT_DIR",
     "check a product folder, then build a setup program (or Setup.dat) from it; --sign signs it and its "
     "uninstaller",
     RunBuild},
    {"check",
     "[--version MAJOR.MINOR.RELEASE] [--beta N] [--press-preview] [--codepage N] [--format "
     "text|github|json] "
     "PRODUCT_DIR",
     "report what in a product folder would make its setup fail or misbehave (file:line: message, GitHub "
     "annotations or JSON)",
     RunCheck},
    {"preview",
     "[--version MAJOR.MINOR.RELEASE] [--beta N] [--press-preview] [--build-time T] [--64bit-windows | "
     "--32bit-windows] "
     "[--set NAME=VALUE ...] [--json] [--codepage N] PRODUCT_DIR|SETUP",
     "install on a simulated Windows and print every folder, file, registry value and shortcut written",
     RunPreview},
    {"verify", "FILE", "check a setup program or Setup.dat: signature, checksum, entries, bodies", RunVerify},
    {"list", "[--codepage N] FILE",
     "show the version, build time and entry tree of a setup program or Setup.dat", RunList},
    {"extract", "[--codepage N] FILE [ENTRY] DEST",
     "extract every top-level entry (folders into DEST/NAME), or one entry (a folder's contents into DEST)",
     RunExtract},
    {"log", "[--codepage N] FILE",
     "show the product, version and item lines of an uninstaller (Uninst.exe or Uninstall.dat)", RunLog},
    {"winget", "[--id PUBLISHER.PRODUCT] [--url URL] [--codepage N] SETUP",
     "print a winget installer manifest for a setup program: switches, return codes, SHA-256, Uninstall key",
     RunWinget},
};

constexpr const char* kToolName = "plugsetup";
// From the top-level project() of the build.
constexpr const char* kToolVersion = PLUGSETUP_VERSION;

class SubjectError : public Exception {
    using Exception::Exception;
};

const Command* FindCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.Name) return &command;
    return nullptr;
}

// The commands with their summaries; with full, every command's arguments too, so --help names
// every command and every option.
void PrintUsage(std::ostream& out, bool full) {
    out << "usage: " << kToolName << " COMMAND ARGS...\n";
    out << "       " << kToolName << " COMMAND --help\n";
    out << "       " << kToolName << " --version\n\ncommands:\n";
    for (const Command& command : kCommands) {
        std::string name = command.Name;
        out << "  " << name << std::string(name.size() < 8 ? 8 - name.size() : 1, ' ') << command.Summary
            << "\n";
        if (full) out << "           " << kToolName << " " << command.Name << " " << command.Usage << "\n";
    }
}

void PrintCommandUsage(std::ostream& out, const Command& command) {
    out << "usage: " << kToolName << " " << command.Name << " " << command.Usage << "\n";
}

double LocalNow() {
    const std::tm local = LocalTimeOf(std::time(nullptr));
    DateTimeParts parts;
    parts.Year = local.tm_year + 1900;
    parts.Month = local.tm_mon + 1;
    parts.Day = local.tm_mday;
    parts.Hour = local.tm_hour;
    parts.Minute = local.tm_min;
    parts.Second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
    return EncodeDateTime(parts).value_or(0);
}

}  // namespace

ToolEnvironment DefaultEnvironment(std::ostream& out, std::ostream& err) {
    return ToolEnvironment{out, err, OwnProgramPath(), HostEnvironmentVariable, LocalNow};
}

void WithSubject(const std::string& subject, const std::function<void()>& action) {
    try {
        action();
    } catch (const EUsageError&) {
        throw;
    } catch (const std::exception& error) {
        throw SubjectError(subject + ": " + error.what());
    }
}

int RunPlugsetup(const std::vector<std::string>& args, ToolEnvironment& env) {
    if (args.empty()) {
        PrintUsage(env.Err, false);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(env.Out, true);
        return kExitOk;
    }
    if (args[0] == "--version") {
        env.Out << kToolName << " " << kToolVersion << "\n";
        return kExitOk;
    }
    const Command* command = FindCommand(args[0]);
    if (!command) {
        env.Err << kToolName << ": unknown command '" << args[0] << "'\n";
        PrintUsage(env.Err, false);
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& arg : rest) {
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") {
            PrintCommandUsage(env.Out, *command);
            return kExitOk;
        }
    }
    try {
        return command->Run(rest, env);
    } catch (const EUsageError& error) {
        env.Err << kToolName << ": " << error.what() << "\n";
        PrintCommandUsage(env.Err, *command);
        return kExitUsage;
    } catch (const std::exception& error) {
        env.Err << kToolName << ": " << error.what() << "\n";
        return kExitFailure;
    }
}
