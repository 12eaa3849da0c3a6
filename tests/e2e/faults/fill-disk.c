/* Another program that takes the free space of a disk at the moment a setup starts to copy:
 * waits until a control of the window captioned TITLE shows TEXT, then writes FILE until the
 * disk is full, and says how much it wrote. Gives up after two minutes.
 *   fill-disk TITLE TEXT FILE */
#include <windows.h>

#include <stdio.h>
#include <string.h>

struct Search {
    const char* text;
    int found;
};

static BOOL CALLBACK LookAt(HWND control, LPARAM param) {
    struct Search* search = (struct Search*)param;
    char text[512] = "";
    DWORD_PTR copied = 0;
    /* Answered only by a window that serves its messages while it copies. */
    if (SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 1000, &copied) &&
        strstr(text, search->text) != NULL)
        search->found = 1;
    return !search->found;
}

int main(int argc, char** argv) {
    static char block[65536];
    struct Search search;
    DWORD sizes[] = {65536, 4096, 512, 1};
    unsigned long long written = 0;
    HANDLE file;
    int i, size;
    if (argc != 4) {
        fprintf(stderr, "usage: fill-disk TITLE TEXT FILE\n");
        return 2;
    }
    search.text = argv[2];
    search.found = 0;
    for (i = 0; i < 12000 && !search.found; i++) {
        HWND window = FindWindowA(NULL, argv[1]);
        if (window) EnumChildWindows(window, LookAt, (LPARAM)&search);
        if (!search.found) Sleep(10);
    }
    if (!search.found) {
        fprintf(stderr, "fill-disk: \"%s\" never showed \"%s\"\n", argv[1], argv[2]);
        return 3;
    }
    file = CreateFileA(argv[3], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "fill-disk: cannot create %s (error %lu)\n", argv[3], GetLastError());
        return 1;
    }
    /* Large blocks first, then ever smaller ones into what is left. */
    for (size = 0; size < 4; size++) {
        DWORD done = 0;
        while (WriteFile(file, block, sizes[size], &done, NULL) && done == sizes[size]) written += done;
        written += done;
    }
    CloseHandle(file);
    printf("filled %llu bytes\n", written);
    return 0;
}
