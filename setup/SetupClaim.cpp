#include "setup/SetupClaim.h"

#include <windows.h>

#include "system/win32/Win32Text.h"

bool ClaimSetup(const std::string& productKey) {
    // A backslash would name a namespace; everything else may stand in a mutex's name.
    std::string name = "PlugsetupSetup:" + productKey;
    for (char& c : name)
        if (c == '\\') c = '/';
    // Seen by every session of the computer where the system allows it, else by this one.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Wide("Global\\" + name).c_str());
    if (!mutex) mutex = CreateMutexW(nullptr, FALSE, Wide(name).c_str());
    if (!mutex) return true;  // nothing to tell by: the setup runs as it always did
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    // Deliberately left open: the system lets it go when the process ends, however it ends.
    return true;
}
