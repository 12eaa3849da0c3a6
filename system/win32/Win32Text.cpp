#include "system/win32/Win32Text.h"

#include <cwchar>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8(const wchar_t* text, std::size_t length) {
    const std::u16string units(text, text + length);
    return Utf8FromUtf16(units);
}

std::string Utf8(const wchar_t* text) { return text ? Utf8(text, std::wcslen(text)) : std::string(); }

std::string Utf8(const std::wstring& text) { return Utf8(text.data(), text.size()); }

std::optional<std::string> Utf8FromCodePage(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return Utf8(wide);
}
