// The vendor's command through cmd.exe.
#include <windows.h>

#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/host/ShellCommand.h"
#include "tools/plugsetup/host/WideText.h"

namespace {

// What a signing tool prints is a few lines; a runaway one is cut, not held whole.
constexpr std::size_t kOutputLimit = 1 << 20;
// cmd.exe's status for a command it does not know.
constexpr int kCommandNotFound = 9009;
// How often a running command is looked at while it prints nothing.
constexpr DWORD kPollMilliseconds = 50;
// After the shell has ended, what its background processes still write is read this long at most.
constexpr ULONGLONG kDrainMilliseconds = 200;

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }
    HANDLE* Out() { return &handle_; }
    void Close() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

[[noreturn]] void CannotStart(const std::string& what) {
    throw Exception("cannot start cmd.exe: " + what + ": " + SystemErrorText(GetLastError()));
}

std::wstring CommandInterpreter() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"ComSpec", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return path;
    length = GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length) + L"\\cmd.exe";
}

}  // namespace

ShellFailure ShellFailureOf(int status) {
    return status == kCommandNotFound ? ShellFailure::NotFound : ShellFailure::None;
}

std::string ShellQuoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool IsQuotedAt(const std::string& commandLine, std::size_t position) {
    bool quoted = false;
    for (std::size_t at = 0; at < position && at < commandLine.size(); ++at) {
        const char c = commandLine[at];
        if (!quoted && c == '^')
            ++at;
        else if (c == '"')
            quoted = !quoted;
    }
    return quoted;
}

ShellResult RunShellCommand(const std::string& commandLine, int timeLimitSeconds) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherited, 0)) CannotStart("no pipe");
    // Only the child's ends are inherited.
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    Handle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             OPEN_EXISTING, 0, nullptr));
    if (!input.Get()) CannotStart("no null device");
    // A job, so that the time limit stops whatever the command started.
    Handle job(CreateJobObjectW(nullptr, nullptr));
    if (!job.Get()) CannotStart("no job object");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    // /s: the quotes around the line are taken off and nothing else, so quotes inside it stay.
    std::wstring line = L"cmd.exe /d /s /c \"" + WideFromUtf8(commandLine) + L"\"";
    PROCESS_INFORMATION process{};
    const std::wstring interpreter = CommandInterpreter();
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process))
        CannotStart(Utf8FromWide(interpreter));
    Handle processHandle(process.hProcess), threadHandle(process.hThread);
    AssignProcessToJobObject(job.Get(), processHandle.Get());
    ResumeThread(threadHandle.Get());
    writeEnd.Close();
    input.Close();

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeLimitSeconds) * 1000;
    ULONGLONG drainEnd = 0;
    bool ended = false;
    ShellResult result;
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &available, nullptr)) {
            // Every writer gone.
            if (!ended) WaitForSingleObject(processHandle.Get(), INFINITE);
            break;
        }
        if (available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) || got == 0) break;
            if (result.Output.size() < kOutputLimit) result.Output.append(buffer, got);
            continue;
        }
        if (ended) {
            // What background processes still write is read a short while, no longer.
            if (GetTickCount64() >= drainEnd) break;
            Sleep(10);
            continue;
        }
        if (WaitForSingleObject(processHandle.Get(), kPollMilliseconds) == WAIT_OBJECT_0) {
            ended = true;
            drainEnd = GetTickCount64() + kDrainMilliseconds;
        } else if (GetTickCount64() >= deadline) {
            TerminateJobObject(job.Get(), 1);
            WaitForSingleObject(processHandle.Get(), INFINITE);
            result.TimedOut = true;
            return result;
        }
    }
    DWORD status = 0;
    if (!GetExitCodeProcess(processHandle.Get(), &status))
        throw Exception("cannot learn how the command ended: " + SystemErrorText(GetLastError()) +
                        "; taken as a failure");
    result.Exited = true;
    result.Status = static_cast<int>(status);
    return result;
}
