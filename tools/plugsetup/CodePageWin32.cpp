// The code page through Windows' own conversion, for the tool built with MinGW.
#include <windows.h>

#include "tools/plugsetup/CodePage.h"

namespace {

std::wstring Wide(UINT codePage, DWORD flags, const std::string& bytes, bool& ok) {
    ok = true;
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        ok = false;
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide, bool strict, bool& ok) {
    ok = true;
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes neither flag nor default-character report.
    const DWORD flags = strict && codePage != CP_UTF8 ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* report = strict && codePage != CP_UTF8 ? &usedDefault : nullptr;
    int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, report);
    if (length <= 0 || usedDefault) {
        ok = false;
        return std::string();
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

class Win32CodePage : public CodePage {
public:
    explicit Win32CodePage(int number) : CodePage(number) {
        CPINFO info;
        if (!GetCPInfo(static_cast<UINT>(number), &info))
            throw ECodePageError("code page " + std::to_string(number) +
                                 " cannot be converted on this system");
    }

    bool Encode(const std::string& utf8, std::string& bytes) const override {
        bool ok = false;
        std::wstring wide = Wide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, ok);
        if (!ok) return false;
        bytes = Narrow(static_cast<UINT>(Number()), wide, true, ok);
        return ok;
    }

    std::string Decode(const std::string& bytes) const override {
        bool ok = false;
        // Without MB_ERR_INVALID_CHARS a byte that is no character becomes U+FFFD or its
        // code page's default character.
        std::wstring wide = Wide(static_cast<UINT>(Number()), 0, bytes, ok);
        return Narrow(CP_UTF8, wide, false, ok);
    }
};

}  // namespace

std::unique_ptr<CodePage> OpenSystemCodePage(int number) {
    return std::make_unique<Win32CodePage>(number);
}

std::string HostNameAsUtf8(const std::string& name) {
    bool ok = false;
    std::wstring wide = Wide(CP_ACP, 0, name, ok);
    return ok ? Narrow(CP_UTF8, wide, false, ok) : name;
}
