// Text at the Windows seam: the program's UTF-8 as the UTF-16 of the wide (W) calls and back,
// and text in a Windows code page as UTF-8. Every call into Windows that takes or returns text
// goes through these.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "system/Utf8.h"

// UTF-8 as UTF-16 for a W call (ill-formed bytes become U+FFFD).
std::wstring Wide(const std::string& utf8);
// What a W call returned, as UTF-8 (an unpaired surrogate becomes U+FFFD).
std::string Utf8(const wchar_t* text, std::size_t length);
std::string Utf8(const wchar_t* text);  // NUL-terminated; nullptr gives ""
std::string Utf8(const std::wstring& text);

// Bytes in a Windows code page (CP_ACP: the system's ANSI code page) as UTF-8; nothing when a
// byte sequence is no character of that code page.
std::optional<std::string> Utf8FromCodePage(UINT codePage, const std::string& bytes);
