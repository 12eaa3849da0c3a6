// The vendor's command through /bin/sh.
#include "tools/plugsetup/host/ShellCommand.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "system/Exceptions.h"

extern char** environ;

namespace {

// What a signing tool prints is a few lines; a runaway one is cut, not held whole.
constexpr std::size_t kOutputLimit = 1 << 20;

class Pipe {
public:
    Pipe() {
        if (pipe2(ends_, O_CLOEXEC) != 0)
            throw Exception(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int Read() const { return ends_[0]; }
    int Write() const { return ends_[1]; }
    void CloseRead() { Close(ends_[0]); }
    void CloseWrite() { Close(ends_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int ends_[2] = {-1, -1};
};

}  // namespace

ShellFailure ShellFailureOf(int status) {
    if (status == 127) return ShellFailure::NotFound;
    if (status == 126) return ShellFailure::NotRunnable;
    return ShellFailure::None;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ShellResult RunShellCommand(const std::string& commandLine) {
    Pipe output;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 1);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 2);
    const char* argv[] = {"sh", "-c", commandLine.c_str(), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw Exception(std::string("cannot start /bin/sh: ") + std::strerror(spawned));
    // Our copy of the writing end closed, the read below ends when the command's last process does.
    output.CloseWrite();

    ShellResult result;
    char buffer[4096];
    for (;;) {
        ssize_t got = read(output.Read(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (result.Output.size() < kOutputLimit) result.Output.append(buffer, static_cast<std::size_t>(got));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.Exited = WIFEXITED(status);
    result.Status = result.Exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}
