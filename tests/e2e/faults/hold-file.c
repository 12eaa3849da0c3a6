/* Another program that keeps files as a host application keeps a plug-in: a .dll is loaded
 * with LoadLibrary, any other file is opened without sharing. Says so by creating READY, and
 * lets go once RELEASE exists (or after two minutes, so a failed scenario never leaves it
 * behind).
 *   hold-file FILE... READY RELEASE */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static int IsLibrary(const char* path) {
    size_t length = strlen(path);
    return length > 4 && lstrcmpiA(path + length - 4, ".dll") == 0;
}

int main(int argc, char** argv) {
    HANDLE files[16];
    HMODULE libraries[16];
    HANDLE ready;
    int count = argc - 3;
    int i;
    if (argc < 4 || count > 16) {
        fprintf(stderr, "usage: hold-file FILE... READY RELEASE\n");
        return 2;
    }
    for (i = 0; i < count; i++) {
        const char* path = argv[1 + i];
        files[i] = INVALID_HANDLE_VALUE;
        libraries[i] = NULL;
        if (IsLibrary(path))
            libraries[i] = LoadLibraryA(path);
        else
            files[i] = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (!libraries[i] && files[i] == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "hold-file: cannot hold %s (error %lu)\n", path, GetLastError());
            return 1;
        }
    }
    ready = CreateFileA(argv[argc - 2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(ready);
    for (i = 0; i < 1200 && GetFileAttributesA(argv[argc - 1]) == INVALID_FILE_ATTRIBUTES; i++) Sleep(100);
    for (int j = 0; j < count; j++) {
        if (libraries[j]) FreeLibrary(libraries[j]);
        if (files[j] != INVALID_HANDLE_VALUE) CloseHandle(files[j]);
    }
    return i < 1200 ? 0 : 3;
}
