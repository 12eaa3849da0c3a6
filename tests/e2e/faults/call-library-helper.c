/* The dependency of the product's library: leaves a marker file where it is told. */
#include <windows.h>

__declspec(dllexport) void HelperMark(const char* path) {
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}
