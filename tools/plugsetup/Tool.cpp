#include "tools/plugsetup/Tool.h"

#include <cstring>
#include <ctime>

#include "archive/SetupData.h"
#include "tools/plugsetup/host/HostProcess.h"

namespace {

// Options every command that reads a version or names takes.
#define PLUGSETUP_VERSION_OPTIONS                                                               \
    "  --version MAJOR.MINOR.RELEASE  the product version (minor and release one digit each)\n" \
    "  --beta N                       a beta of that version\n"                                 \
    "  --press-preview                a press preview\n"
#define PLUGSETUP_CODEPAGE_OPTION                                                                   \
    "  --codepage N                   a Windows code page for names and texts instead of UTF-8\n" \
    "                                 (build); for setups that record none, the customers' (1252)\n"
#define PLUGSETUP_PROGRESS_OPTIONS                                                                    \
    "  --progress auto|plain|none     a line in place on a terminal (auto), a plain line every few\n" \
    "                                 seconds (plain), or none\n"                                     \
    "  --quiet                        print only errors\n"

// Add a command here and in its own file.
const Command kCommands[] = {
    {"build",
     "--version MAJOR.MINOR.RELEASE [--beta N] [--press-preview] [--build-time YYYY-MM-DDTHH:MM:SS] "
     "[--stub Setup.exe | --data-file] [--sign 'COMMAND {in} {out}' | --sign 'COMMAND {file}' "
     "[--sign-retries N] [--sign-timeout SECONDS] [--sign-files [--sign-pattern 'PATTERNS']]] [--level 9..12] "
     "[--no-check] [--strict] [--allow-outside-links] [--codepage N] "
     "[--progress auto|plain|none] [--quiet] -o OUTPUT PRODUCT_DIR",
     "check a product folder, then build a setup program (or Setup.dat) from it; --sign signs it and its "
     "uninstaller, --sign-files also the product's programs",
     PLUGSETUP_VERSION_OPTIONS
     "  --build-time T                 the files' time stamp (else SOURCE_DATE_EPOCH, else now)\n"
     "  --stub Setup.exe               the setup program to build from (else beside plugsetup, else\n"
     "                                 ../share/plugsetup/)\n"
     "  --data-file                    write the archive alone, a Setup.dat for an unmodified Setup.exe\n"
     "  -o OUTPUT                      the setup to write; a failed build leaves what was there\n"
     "  --level 9..12                  how hard to compress (10); higher is smaller and slower\n"
     "  --no-check                     build even when the check finds errors (never with names,\n"
     "                                 links or sizes no setup can hold)\n"
     "  --strict                       treat the check's warnings as errors\n"
     "  --allow-outside-links          pack what links lead to outside the product folder\n"
     "  --sign COMMAND                 sign the uninstaller and the setup: {in} the file, {out} the\n"
     "                                 signed file, or {file} alone for a file signed in place; write\n"
     "                                 them bare, never in quotes\n"
     "  --sign-retries N               try a failed signing command N more times, after 2, 4, 8... s\n"
     "  --sign-timeout SECONDS         stop a signing command after this long (600)\n"
     "  --sign-files                   also sign the product's programs, on copies\n"
     "  --sign-pattern 'PATTERNS'      the names --sign-files signs ('*.exe *.dll *.vst3 "
     "*.clap')\n" PLUGSETUP_CODEPAGE_OPTION PLUGSETUP_PROGRESS_OPTIONS,
     RunBuild},
    {"check",
     "[--version MAJOR.MINOR.RELEASE] [--beta N] [--press-preview] [--codepage N] [--format "
     "text|github|json] [--strict] [--allow-outside-links] [--progress auto|plain|none] [--quiet] "
     "PRODUCT_DIR",
     "report what in a product folder would make its setup fail or misbehave (file:line: message, GitHub "
     "annotations or JSON)",
     PLUGSETUP_VERSION_OPTIONS PLUGSETUP_CODEPAGE_OPTION
     "  --format text|github|json      one finding a line, GitHub annotations, or one JSON document\n"
     "  --strict                       treat warnings as errors\n"
     "  --allow-outside-links          accept links that lead outside the product "
     "folder\n" PLUGSETUP_PROGRESS_OPTIONS,
     RunCheck},
    {"preview",
     "[--version MAJOR.MINOR.RELEASE] [--beta N] [--press-preview] [--build-time T] [--64bit-windows | "
     "--32bit-windows] "
     "[--machine x64|arm64|arm64-no-x64] [--set NAME=VALUE ...] [--language CODE] [--json] [--codepage N] "
     "PRODUCT_DIR|SETUP",
     "install on a simulated Windows and print every folder, file, registry value and shortcut written",
     PLUGSETUP_VERSION_OPTIONS
     "  --build-time T                 the files' time stamp\n"
     "  --64bit-windows                a 64-bit Windows (the default)\n"
     "  --32bit-windows                a 32-bit Windows\n"
     "  --set NAME=VALUE               a wizard answer: vst2, vst3, clap, aax, rtas, photoshop,\n"
     "                                 destination, user, shortcuts or items\n"
     "  --language CODE                a Windows in that language (de, ja, ...); the texts its\n"
     "                                 customer reads follow the plan\n"
     "  --json                         one JSON document instead of lines\n" PLUGSETUP_CODEPAGE_OPTION,
     RunPreview},
    {"verify", "[--progress auto|plain|none] [--quiet] FILE",
     "check a setup program or Setup.dat: signatures (each digest against its file; the certificate chain "
     "is not judged), checksum, entries, bodies",
     PLUGSETUP_PROGRESS_OPTIONS, RunVerify},
    {"list", "[--codepage N] FILE",
     "show the version, build time, icon, version information and entry tree of a setup program or Setup.dat",
     PLUGSETUP_CODEPAGE_OPTION, RunList},
    {"extract", "[--codepage N] [--progress auto|plain|none] [--quiet] FILE [ENTRY] DEST",
     "extract every top-level entry (folders into DEST/NAME), or one entry (a folder's contents into DEST)",
     PLUGSETUP_CODEPAGE_OPTION PLUGSETUP_PROGRESS_OPTIONS, RunExtract},
    {"log", "[--codepage N] FILE",
     "show the product, version and item lines of an uninstaller (Uninst.exe or Uninstall.dat)",
     PLUGSETUP_CODEPAGE_OPTION, RunLog},
    {"winget", "[--id PUBLISHER.PRODUCT] [--url URL] [--codepage N] SETUP",
     "print a winget installer manifest for a setup program: switches, return codes, SHA-256, Uninstall key",
     "  --id PUBLISHER.PRODUCT         the package identifier\n"
     "  --url URL                      where the setup is downloaded from\n" PLUGSETUP_CODEPAGE_OPTION,
     RunWinget},
};

constexpr const char* kExitStatuses =
    "exit status:\n"
    "  0  done (check: no errors)\n"
    "  1  the command failed: a bad product, file or setup, a failed signing command; the message\n"
    "     names what and why\n"
    "  2  a bad command line: the message, then the command's usage\n";

constexpr const char* kExamples =
    "examples:\n"
    "  plugsetup check gadget/\n"
    "  plugsetup build --version 1.2.0 -o GadgetSetup.exe gadget/\n"
    "  plugsetup build --version 1.2.0 --sign 'osslsigncode sign -certs vendor.pem -key vendor.key -in {in} "
    "-out "
    "{out}' \\\n"
    "      --sign-files --sign-retries 3 -o GadgetSetup.exe gadget/\n"
    "  plugsetup verify GadgetSetup.exe\n";

#undef PLUGSETUP_VERSION_OPTIONS
#undef PLUGSETUP_CODEPAGE_OPTION
#undef PLUGSETUP_PROGRESS_OPTIONS

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
        if (full) {
            out << "           " << kToolName << " " << command.Name << " " << command.Usage << "\n";
            // Under the usage line they belong to.
            for (const char* line = command.Options; *line;) {
                const char* end = std::strchr(line, '\n');
                out << "         " << std::string(line, end - line) << "\n";
                line = end + 1;
            }
        }
    }
    if (full) out << "\n" << kExitStatuses << "\n" << kExamples;
}

void PrintCommandUsage(std::ostream& out, const Command& command, bool withOptions = false) {
    out << "usage: " << kToolName << " " << command.Name << " " << command.Usage << "\n";
    if (withOptions && *command.Options) out << "options:\n" << command.Options;
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
            PrintCommandUsage(env.Out, *command, true);
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
