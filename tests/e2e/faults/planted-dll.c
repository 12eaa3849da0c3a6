/* A DLL that nobody should load: left beside the setup under a name that a program or the
 * system looks up by plain name. When it is loaded, it leaves NAME.dll.loaded beside itself.
 * It offers what the product's library imports, so that a wrong load shows in the marker
 * rather than in a crash. */
#include <windows.h>

__declspec(dllexport) void HelperMark(const char* path) {
    (void)path;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char path[MAX_PATH + 8];
    DWORD length;
    HANDLE marker;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcpyA(path + length, ".loaded");
    marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
