// Running a command line the vendor wrote, through the system's shell: the one place that knows
// how a path is quoted for that shell and how the shell is started. /bin/sh on Linux
// (ShellCommandPosix.cpp), cmd.exe on Windows (ShellCommandWin32.cpp).
#pragma once

#include <string>

struct ShellResult {
    bool Exited = false;    // false: ended by a signal (never on Windows) or stopped at its time limit
    bool TimedOut = false;  // stopped, with every process it started, when its time was up
    int Status = 0;         // the exit status, or the signal's number
    std::string Output;     // standard output and standard error, interleaved as written
};

// What the shell's own exit status says went wrong before the command could run.
enum class ShellFailure { None, NotFound, NotRunnable };
ShellFailure ShellFailureOf(int status);

// text quoted so that the shell reads it back as one word. POSIX sh: in single quotes, each '
// written as '\'', so nothing in it is special. cmd.exe: in double quotes, which keep blanks,
// & | < > ^ and parentheses as they are (a Windows path holds no double quote; a %NAME% in it
// is still expanded when NAME is set).
std::string ShellQuoted(const std::string& text);

// Whether the character at position of commandLine stands inside quotes as the shell reads
// them. POSIX sh: single and double quotes, a backslash outside single quotes taking the next
// character as it is. cmd.exe: double quotes, a caret outside them taking the next character.
bool IsQuotedAt(const std::string& commandLine, std::size_t position);

// Runs commandLine (UTF-8) with /bin/sh -c or cmd.exe /d /s /c, standard input from the null
// device, and waits for it at most timeLimitSeconds. Output is collected until the shell has
// ended (a background process that keeps the pipe open does not hold the caller). Raises
// Exception when the shell cannot be started or how it ended cannot be learnt.
ShellResult RunShellCommand(const std::string& commandLine, int timeLimitSeconds);
