// Which programs hold a file: the Restart Manager, loaded when it is asked for, since Windows
// before Vista has none and the setup must still run there. Where it is missing or answers
// nothing, the caller names the files alone.
#include <windows.h>

#include <restartmanager.h>

#include <algorithm>
#include <vector>

#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

namespace {

using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using EndSession = DWORD(WINAPI*)(DWORD);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);

template <class Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::vector<std::string> Win32Platform::ProgramsUsing(const std::vector<std::string>& paths) {
    std::vector<std::string> programs;
    if (paths.empty()) return programs;
    LibraryHandle library(LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library.Valid()) library.Reset(LoadLibraryW(L"rstrtmgr.dll"));
    if (!library.Valid()) return programs;
    auto start = Export<StartSession>(library.Get(), "RmStartSession");
    auto end = Export<EndSession>(library.Get(), "RmEndSession");
    auto registerFiles = Export<RegisterResources>(library.Get(), "RmRegisterResources");
    auto list = Export<GetList>(library.Get(), "RmGetList");
    if (!start || !end || !registerFiles || !list) return programs;

    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (start(&session, 0, key) != ERROR_SUCCESS) return programs;
    std::vector<std::wstring> names;
    for (const std::string& path : paths) names.push_back(Wide(path));
    std::vector<LPCWSTR> files;
    for (const std::wstring& name : names) files.push_back(name.c_str());
    std::vector<RM_PROCESS_INFO> found;
    if (registerFiles(session, static_cast<UINT>(files.size()), files.data(), 0, nullptr, 0, nullptr) ==
        ERROR_SUCCESS) {
        // The list may grow between the two calls; a few rounds settle it.
        for (int round = 0; round < 4; ++round) {
            UINT needed = 0, count = static_cast<UINT>(found.size());
            DWORD reasons = 0;
            DWORD result = list(session, &needed, &count, found.empty() ? nullptr : found.data(), &reasons);
            if (result == ERROR_SUCCESS) {
                found.resize(std::min<std::size_t>(count, found.size()));
                break;
            }
            found.clear();
            if (result != ERROR_MORE_DATA || needed == 0) break;
            found.resize(needed);
        }
    }
    end(session);
    for (const RM_PROCESS_INFO& process : found) {
        std::string name = Utf8(process.strAppName);
        if (!name.empty() && std::find(programs.begin(), programs.end(), name) == programs.end())
            programs.push_back(name);
    }
    return programs;
}
