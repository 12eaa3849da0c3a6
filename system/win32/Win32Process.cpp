// Process facts, environment, libraries and sleeping through kernel32 and advapi32.
#include <vector>

#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

namespace {

using IsWow64Function = BOOL(WINAPI*)(HANDLE, PBOOL);
using IsWow64Function2 = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
using MachineAttributesFunction = HRESULT(WINAPI*)(USHORT, int*);
using GuestSupportedFunction = HRESULT(WINAPI*)(USHORT, BOOL*);

// The machine types of the image file header, which these functions speak in.
constexpr USHORT kMachineI386 = 0x014C;
constexpr USHORT kMachineAmd64 = 0x8664;
constexpr USHORT kMachineArm64 = 0xAA64;
// GetMachineTypeAttributes: programs of that machine run in user mode.
constexpr int kUserEnabled = 1;

template <class Function>
Function KernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
                  : nullptr;
}

// Whether an Arm64 Windows runs x64 programs: Windows 11 says so through
// GetMachineTypeAttributes, Windows 10 (which has no x64 emulation) through
// IsWow64GuestMachineSupported; with neither it cannot.
bool ArmRunsX64() {
    if (auto attributes = KernelFunction<MachineAttributesFunction>("GetMachineTypeAttributes")) {
        int flags = 0;
        return SUCCEEDED(attributes(kMachineAmd64, &flags)) && (flags & kUserEnabled) != 0;
    }
    if (auto guest = KernelFunction<GuestSupportedFunction>("IsWow64GuestMachineSupported")) {
        BOOL supported = FALSE;
        return SUCCEEDED(guest(kMachineAmd64, &supported)) && supported;
    }
    return false;
}
using ExportFunction = void(WINAPI*)();
using GenRandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);

}  // namespace

bool Win32Platform::ProcessIsWow64() {
    // IsWow64Process is missing on the oldest systems, which are all 32-bit.
    auto isWow64 = KernelFunction<IsWow64Function>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

MachineReport Win32Platform::Machine() {
    // IsWow64Process2 (Windows 10 1511 and later) names the native machine; before it there
    // was no Arm64 Windows, so WOW64 means x64.
    USHORT process = 0, native = 0;
    auto isWow64 = KernelFunction<IsWow64Function2>("IsWow64Process2");
    if (!isWow64 || !isWow64(GetCurrentProcess(), &process, &native)) {
        bool wow64 = ProcessIsWow64();
        return {wow64 ? NativeMachine::X64 : NativeMachine::X86, wow64};
    }
    if (native == kMachineArm64) return {NativeMachine::Arm64, ArmRunsX64()};
    if (native == kMachineI386) return {NativeMachine::X86, false};
    return {NativeMachine::X64, true};
}

int Win32Platform::WindowsMajorVersion() {
    return LOBYTE(LOWORD(GetVersion()));
}

std::uint16_t Win32Platform::UserUiLanguage() {
    return GetUserDefaultUILanguage();
}

std::string Win32Platform::UserName() {
    wchar_t buffer[1024];
    DWORD length = sizeof buffer / sizeof buffer[0];
    if (!GetUserNameW(buffer, &length)) return std::string();
    return Utf8(buffer);
}

std::uint64_t Win32Platform::RandomNumber() {
    std::uint64_t number = 0;
    // RtlGenRandom, exported by advapi32 under this name since Windows XP.
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
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
    const std::wstring wideName = Wide(name);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        DWORD length =
            GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return Utf8(buffer.data(), length);
        buffer.resize(length);
    }
}

void Win32Platform::SetEnvironmentValue(const std::string& name, const std::string& value) {
    const std::wstring wideValue = Wide(value);
    SetEnvironmentVariableW(Wide(name).c_str(), value.empty() ? nullptr : wideValue.c_str());
}

LibraryCall Win32Platform::CallLibraryFunction(const std::string& library, const std::string& function) {
    // By its full path; the altered search finds the library's own dependencies beside it,
    // never beside the setup. Export names are 8-bit, so GetProcAddress has no wide form.
    LibraryHandle module(LoadLibraryExW(Wide(library).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module.Valid()) return LibraryCall::NotLoaded;
    FARPROC address = GetProcAddress(module.Get(), function.c_str());
    if (address) reinterpret_cast<ExportFunction>(reinterpret_cast<void*>(address))();
    return address ? LibraryCall::Called : LibraryCall::NoSuchFunction;
}

void Win32Platform::Pause(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}
