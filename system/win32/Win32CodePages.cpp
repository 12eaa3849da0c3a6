// Text in a Windows code page, converted by Windows itself.
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

std::optional<std::string> Win32Platform::TextAsUtf8(std::uint32_t codePage, const std::string& bytes) {
    return Utf8FromCodePage(codePage == 0 ? CP_ACP : static_cast<UINT>(codePage), bytes);
}
