/* A product's library named in [CallLibraries]: its export Register needs a function of
 * Helper.dll, which the product installs beside it. */
#include <windows.h>

__declspec(dllimport) void HelperMark(const char* path);

__declspec(dllexport) void WINAPI Register(void) {
    HelperMark("C:\\call-library-ran");
}
