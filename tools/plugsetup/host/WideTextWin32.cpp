#include <windows.h>

#include "tools/plugsetup/host/WideText.h"

std::wstring WideFromCodePage(unsigned codePage, const std::string& bytes, bool strict, bool& ok) {
    ok = true;
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        ok = false;
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string CodePageFromWide(unsigned codePage, const std::wstring& wide, bool strict, bool& ok) {
    ok = true;
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes neither flag nor default-character report.
    const bool checked = strict && codePage != CP_UTF8;
    const DWORD flags = checked ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* report = checked ? &usedDefault : nullptr;
    int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, report);
    if (length <= 0 || usedDefault) {
        ok = false;
        return std::string();
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring WideFromUtf8(const std::string& utf8) {
    bool ok = false;
    return WideFromCodePage(CP_UTF8, utf8, false, ok);
}

std::string Utf8FromWide(const std::wstring& wide) {
    bool ok = false;
    return CodePageFromWide(CP_UTF8, wide, false, ok);
}
