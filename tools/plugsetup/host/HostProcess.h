// The running tool's process on the build machine: its arguments, its own path, its
// environment, the local time and its standard output. All text is UTF-8 on both systems
// (HostProcessPosix.cpp, HostProcessWin32.cpp).
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The arguments after the program name. Windows hands them over as UTF-16, whatever the code
// page of the console.
std::vector<std::string> HostArguments(int argc, char** argv);
// The running program's own file; empty when the system does not tell.
std::string OwnProgramPath();
std::optional<std::string> HostEnvironmentVariable(const std::string& name);
// The calendar time of the build machine's time zone.
std::tm LocalTimeOf(std::time_t time);
// The width of the terminal that standard error writes to, or 0 when it writes elsewhere (a
// file, a pipe).
int StandardErrorColumns();

// While it lives, what the tool prints to a Windows console shows as the UTF-8 it is (the
// console would read it in its own code page); output to a file or a pipe stays as written.
// Nothing to do on Linux.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
};
