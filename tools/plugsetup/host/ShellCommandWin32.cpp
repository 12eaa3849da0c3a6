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

ShellResult RunShellCommand(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherited, 0)) CannotStart("no pipe");
    // Only the child's ends are inherited.
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    Handle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             OPEN_EXISTING, 0, nullptr));
    if (!input.Get()) CannotStart("no null device");

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
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        CannotStart(Utf8FromWide(interpreter));
    Handle processHandle(process.hProcess), threadHandle(process.hThread);
    // Our copy of the writing end closed, the read below ends when the command's last process does.
    writeEnd.Close();
    input.Close();

    ShellResult result;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        if (result.Output.size() < kOutputLimit) result.Output.append(buffer, got);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(processHandle.Get(), &status);
    result.Exited = true;
    result.Status = static_cast<int>(status);
    return result;
}
