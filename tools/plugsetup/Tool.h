// The plugsetup command line: one entry point, one file per command.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "system/Exceptions.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What the commands take from the world, so tests can run them in-process.
struct ToolEnvironment {
    std::ostream& Out;
    std::ostream& Err;
    // The running plugsetup; the default stub is Setup.exe beside it.
    std::string ExecutablePath;
    std::function<std::optional<std::string>(const std::string& name)> GetEnv;
    // Local time now in the day-count form.
    std::function<double()> Now;
};

// The real process: its own program file, its environment, the clock (HostProcess.h).
ToolEnvironment DefaultEnvironment(std::ostream& out, std::ostream& err);

// Runs "plugsetup ARGS..." (args without the program name); returns the exit status.
int RunPlugsetup(const std::vector<std::string>& args, ToolEnvironment& env);

// A bad command line: the message, then the command's usage line, exit status 2.
class EUsageError : public Exception {
    using Exception::Exception;
};

struct Command {
    const char* Name;
    const char* Usage;    // the arguments after "plugsetup NAME"
    const char* Summary;  // one line for --help
    int (*Run)(const std::vector<std::string>& args, ToolEnvironment& env);
};

int RunBuild(const std::vector<std::string>& args, ToolEnvironment& env);
int RunCheck(const std::vector<std::string>& args, ToolEnvironment& env);
int RunPreview(const std::vector<std::string>& args, ToolEnvironment& env);
int RunVerify(const std::vector<std::string>& args, ToolEnvironment& env);
int RunList(const std::vector<std::string>& args, ToolEnvironment& env);
int RunExtract(const std::vector<std::string>& args, ToolEnvironment& env);
int RunLog(const std::vector<std::string>& args, ToolEnvironment& env);
int RunWinget(const std::vector<std::string>& args, ToolEnvironment& env);

// Runs action; an error it raises comes back with "subject: " before its message, so the
// tool prints "plugsetup: FILE: message".
void WithSubject(const std::string& subject, const std::function<void()>& action);
