/* Another program that keeps files as a host application keeps a plug-in: a .dll is loaded
 * with LoadLibrary, any other file is opened without sharing. Says so by creating READY, and
 * lets go once RELEASE exists (or after two minutes, so a failed scenario never leaves it
 * behind). With --when, it takes the files only once a control of the window captioned TITLE
 * shows TEXT (a setup that has begun to copy).
 *   hold-file [--when TITLE TEXT] FILE... READY RELEASE */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static int IsLibrary(const char* path) {
    size_t length = strlen(path);
    return length > 4 && lstrcmpiA(path + length - 4, ".dll") == 0;
}

struct Search {
    const char* text;
    int found;
};

static BOOL CALLBACK LookAt(HWND control, LPARAM param) {
    struct Search* search = (struct Search*)param;
    char text[512] = "";
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 1000, &copied) &&
        strstr(text, search->text) != NULL)
        search->found = 1;
    return !search->found;
}

static int WaitForText(const char* title, const char* text) {
    struct Search search = {text, 0};
    for (int i = 0; i < 12000 && !search.found; i++) {
        HWND window = FindWindowA(NULL, title);
        if (window) EnumChildWindows(window, LookAt, (LPARAM)&search);
        if (!search.found) Sleep(10);
    }
    return search.found;
}

int main(int argc, char** argv) {
    HANDLE files[16];
    HMODULE libraries[16];
    HANDLE ready;
    int count = argc - 3;
    int i;
    if (argc > 4 && strcmp(argv[1], "--when") == 0) {
        if (!WaitForText(argv[2], argv[3])) {
            fprintf(stderr, "hold-file: \"%s\" never showed \"%s\"\n", argv[2], argv[3]);
            return 3;
        }
        argv += 3;
        argc -= 3;
        count = argc - 3;
    }
    if (argc < 4 || count > 16) {
        fprintf(stderr, "usage: hold-file [--when TITLE TEXT] FILE... READY RELEASE\n");
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
