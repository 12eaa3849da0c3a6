// The code page through Windows' own conversion, for the tool built with MinGW.
#include <windows.h>

#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/WideText.h"

namespace {

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
        std::wstring wide = WideFromCodePage(CP_UTF8, utf8, true, ok);
        if (!ok) return false;
        bytes = CodePageFromWide(static_cast<UINT>(Number()), wide, true, ok);
        return ok;
    }

    std::string Decode(const std::string& bytes) const override {
        bool ok = false;
        // Not strict: a byte that is no character becomes U+FFFD or its code page's default
        // character.
        return Utf8FromWide(WideFromCodePage(static_cast<UINT>(Number()), bytes, false, ok));
    }

    std::optional<std::string> DecodeExactly(const std::string& bytes) const override {
        bool ok = false;
        std::wstring wide = WideFromCodePage(static_cast<UINT>(Number()), bytes, true, ok);
        if (!ok) return std::nullopt;
        return Utf8FromWide(wide);
    }
};

}  // namespace

std::unique_ptr<CodePage> OpenSystemCodePage(int number) {
    return std::make_unique<Win32CodePage>(number);
}
