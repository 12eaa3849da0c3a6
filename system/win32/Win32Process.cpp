// Process facts, environment, libraries and sleeping through kernel32 and advapi32.
#include <vector>

#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"

namespace {

using IsWow64Function = BOOL(WINAPI*)(HANDLE, PBOOL);
using ExportFunction = void(WINAPI*)();
using GenRandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);

}  // namespace

bool Win32Platform::ProcessIsWow64() {
    // IsWow64Process is missing on the oldest systems, which are all 32-bit.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64 = kernel ? reinterpret_cast<IsWow64Function>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                          : nullptr;
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

int Win32Platform::WindowsMajorVersion() {
    return LOBYTE(LOWORD(GetVersion()));
}

std::string Win32Platform::UserName() {
    char buffer[1024];
    DWORD length = sizeof buffer;
    if (!GetUserNameA(buffer, &length)) return std::string();
    return buffer;
}

std::uint64_t Win32Platform::RandomNumber() {
    std::uint64_t number = 0;
    // RtlGenRandom, exported by advapi32 under this name since Windows XP.
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    auto generate = advapi ? reinterpret_cast<GenRandomFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(advapi, "SystemFunction036")))
                           : nullptr;
    if (generate && generate(&number, sizeof number)) return number;
    // Without it, what only this moment of this process has: still no fixed name.
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<std::uint64_t>(counter.QuadPart) * 0x9E3779B97F4A7C15ull ^ GetCurrentProcessId() ^
           static_cast<std::uint64_t>(GetTickCount()) << 32;
}

std::string Win32Platform::EnvironmentVariable(const std::string& name) {
    std::vector<char> buffer(256);
    for (;;) {
        DWORD length =
            GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);
    }
}

void Win32Platform::SetEnvironmentValue(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

LibraryCall Win32Platform::CallLibraryFunction(const std::string& library, const std::string& function) {
    // By its full path; the altered search finds the library's own dependencies beside it,
    // never beside the setup.
    LibraryHandle module(LoadLibraryExA(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module.Valid()) return LibraryCall::NotLoaded;
    FARPROC address = GetProcAddress(module.Get(), function.c_str());
    if (address) reinterpret_cast<ExportFunction>(reinterpret_cast<void*>(address))();
    return address ? LibraryCall::Called : LibraryCall::NoSuchFunction;
}

void Win32Platform::Pause(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}
