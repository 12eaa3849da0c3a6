/* Another program that keeps a file open without sharing, as an editor or a running host
 * keeps a plug-in: opens the file, says so by creating READY, and lets go once RELEASE
 * exists (or after two minutes, so a failed scenario never leaves it behind).
 *   hold-file FILE READY RELEASE */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    HANDLE file;
    HANDLE ready;
    int i;
    if (argc != 4) {
        fprintf(stderr, "usage: hold-file FILE READY RELEASE\n");
        return 2;
    }
    file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "hold-file: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(ready);
    for (i = 0; i < 1200 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; i++) Sleep(100);
    CloseHandle(file);
    return i < 1200 ? 0 : 3;
}
