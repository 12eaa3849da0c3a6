// Running a command line the vendor wrote, through the system's shell: the one place that knows
// how a path is quoted for that shell and how the shell is started.
#pragma once

#include <string>

struct ShellResult {
    bool Exited = false;  // false: ended by a signal
    int Status = 0;       // the exit status, or the signal's number
    std::string Output;   // standard output and standard error, interleaved as written
};

// text quoted so that the shell reads it back as one word, whatever it holds (POSIX sh: in
// single quotes, each ' written as '\'').
std::string ShellQuoted(const std::string& text);

// Runs commandLine with /bin/sh -c, standard input from /dev/null, and waits for it. Raises
// Exception when the shell itself cannot be started.
ShellResult RunShellCommand(const std::string& commandLine);
