// The tool's process on Windows: the wide calls, their text as UTF-8.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>

#include "tools/plugsetup/host/HostProcess.h"
#include "tools/plugsetup/host/WideText.h"

std::vector<std::string> HostArguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

std::string OwnProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) return Utf8FromWide(path.substr(0, length));
        path.resize(path.size() * 2);  // cut off: a long path
    }
}

std::optional<std::string> HostEnvironmentVariable(const std::string& name) {
    const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
    if (!value) return std::nullopt;
    return Utf8FromWide(value);
}

std::tm LocalTimeOf(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

namespace {

// Collects UTF-8 and hands whole characters to the console as UTF-16, at the end of each line.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { Flush(); }

protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        pending_ += static_cast<char>(c);
        if (c == '\n') Flush();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        if (pending_.find('\n') != std::string::npos || pending_.size() > 4096) Flush();
        return count;
    }
    int sync() override {
        Flush();
        return 0;
    }

private:
    // Up to the last whole character: a character cut between two writes waits for its rest.
    void Flush() {
        std::size_t end = pending_.size();
        std::size_t back = 0;
        while (back < 4 && back < end &&
               (static_cast<unsigned char>(pending_[end - 1 - back]) & 0xC0) == 0x80)
            ++back;
        if (back < end) {
            const unsigned char lead = static_cast<unsigned char>(pending_[end - 1 - back]);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (length > back + 1) end -= back + 1;
        }
        if (end == 0) return;
        const std::wstring wide = WideFromUtf8(pending_.substr(0, end));
        DWORD written = 0;
        WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        pending_.erase(0, end);
    }

    HANDLE console_;
    std::string pending_;
};

std::unique_ptr<ConsoleBuffer> ConsoleFor(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !handle || !GetConsoleMode(handle, &mode)) return nullptr;
    return std::make_unique<ConsoleBuffer>(handle);
}

}  // namespace

int StandardErrorColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

struct Utf8Console::Streams {
    std::unique_ptr<ConsoleBuffer> out, err;
    std::streambuf* oldOut = nullptr;
    std::streambuf* oldErr = nullptr;
};

Utf8Console::Utf8Console() : streams_(std::make_unique<Streams>()) {
    streams_->out = ConsoleFor(STD_OUTPUT_HANDLE);
    streams_->err = ConsoleFor(STD_ERROR_HANDLE);
    if (streams_->out) streams_->oldOut = std::cout.rdbuf(streams_->out.get());
    if (streams_->err) streams_->oldErr = std::cerr.rdbuf(streams_->err.get());
}

Utf8Console::~Utf8Console() {
    std::cout.flush();
    std::cerr.flush();
    if (streams_->out) std::cout.rdbuf(streams_->oldOut);
    if (streams_->err) std::cerr.rdbuf(streams_->oldErr);
}
