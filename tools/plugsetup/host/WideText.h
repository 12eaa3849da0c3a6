// Text between Windows' UTF-16 calls and the tool's UTF-8 or a code page (WideTextWin32.cpp;
// the Windows build only).
#pragma once

#include <string>

// bytes in codePage as UTF-16; ok is false when strict and a byte is no character there.
std::wstring WideFromCodePage(unsigned codePage, const std::string& bytes, bool strict, bool& ok);
// UTF-16 in codePage; ok is false when strict and a character has no form there (never a
// best-fit neighbour, never the default character).
std::string CodePageFromWide(unsigned codePage, const std::wstring& wide, bool strict, bool& ok);

// UTF-8 both ways; what is not UTF-8 (or not UTF-16) becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
