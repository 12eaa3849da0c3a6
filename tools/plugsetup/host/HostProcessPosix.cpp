// The tool's process on Linux.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "tools/plugsetup/host/HostProcess.h"

std::vector<std::string> HostArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string OwnProgramPath() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::optional<std::string> HostEnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

std::tm LocalTimeOf(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

int StandardErrorColumns() {
    if (!isatty(STDERR_FILENO)) return 0;
    winsize size{};
    // A terminal that does not tell its size (some pseudo-terminals) gets the usual 80.
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
    return size.ws_col;
}

struct Utf8Console::Streams {};

Utf8Console::Utf8Console() = default;

Utf8Console::~Utf8Console() = default;
