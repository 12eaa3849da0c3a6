// The vendor's command through /bin/sh.
#include "tools/plugsetup/host/ShellCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "system/Exceptions.h"

extern char** environ;

namespace {

// What a signing tool prints is a few lines; a runaway one is cut, not held whole.
constexpr std::size_t kOutputLimit = 1 << 20;
// How often a running command is looked at while it prints nothing.
constexpr int kPollMilliseconds = 50;
// After the shell has ended, what its background processes still write is read this long at most.
constexpr int kDrainMilliseconds = 200;

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

bool IsQuotedAt(const std::string& commandLine, std::size_t position) {
    char quote = 0;
    for (std::size_t at = 0; at < position && at < commandLine.size(); ++at) {
        const char c = commandLine[at];
        if (quote != '\'' && c == '\\')
            ++at;
        else if (quote == 0 && (c == '\'' || c == '"'))
            quote = c;
        else if (c == quote)
            quote = 0;
    }
    return quote != 0;
}

ShellResult RunShellCommand(const std::string& commandLine, int timeLimitSeconds) {
    Pipe output;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 1);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 2);
    // A group of its own, so that the time limit stops whatever the command started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const char* argv[] = {"sh", "-c", commandLine.c_str(), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, "/bin/sh", &actions, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) throw Exception(std::string("cannot start /bin/sh: ") + std::strerror(spawned));
    output.CloseWrite();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeLimitSeconds);
    ShellResult result;
    int status = 0;
    // True once the shell has ended; a failed wait (SIGCHLD ignored, say) is an error, never a success.
    auto reaped = [&](int options) {
        for (;;) {
            const pid_t waited = waitpid(child, &status, options);
            if (waited == child) return true;
            if (waited == 0) return false;
            if (errno == EINTR) continue;
            const int reason = errno;
            kill(-child, SIGKILL);
            throw Exception(std::string("cannot learn how the command ended (waitpid: ") +
                            std::strerror(reason) + "); taken as a failure");
        }
    };
    bool ended = false;
    std::chrono::steady_clock::time_point drainEnd;
    char buffer[4096];
    for (;;) {
        if (!ended && reaped(WNOHANG)) {
            ended = true;
            drainEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDrainMilliseconds);
        }
        if (ended && std::chrono::steady_clock::now() >= drainEnd) break;
        if (!ended && std::chrono::steady_clock::now() >= deadline) {
            kill(-child, SIGKILL);
            reaped(0);
            result.TimedOut = true;
            return result;
        }
        // Once the shell has ended, only what is already in the pipe is read.
        pollfd ready{output.Read(), POLLIN, 0};
        const int polled = poll(&ready, 1, ended ? 0 : kPollMilliseconds);
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) {
            if (ended) break;
            continue;
        }
        const ssize_t got = read(output.Read(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            // Every writer gone: the shell's end is near.
            if (!ended) reaped(0);
            break;
        }
        if (result.Output.size() < kOutputLimit) result.Output.append(buffer, static_cast<std::size_t>(got));
    }
    result.Exited = WIFEXITED(status);
    result.Status = result.Exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}
