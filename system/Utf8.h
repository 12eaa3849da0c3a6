// UTF-8, the program's own text, and UTF-16, the text of Windows' wide calls. Pure functions,
// the same on every build, so that the conversions at the Windows seam are tested on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The code page number Windows gives UTF-8.
inline constexpr std::uint32_t kUtf8CodePage = 65001;

// Whether text is well-formed UTF-8: no stray or missing continuation byte, no overlong form,
// no surrogate code point, nothing above U+10FFFF.
bool IsUtf8(const std::string& text);

// UTF-8 as UTF-16; every ill-formed sequence becomes U+FFFD, so any bytes convert.
std::u16string Utf16FromUtf8(const std::string& text);

// UTF-16 as UTF-8; an unpaired surrogate (which Windows' names and window texts may hold)
// becomes U+FFFD, so anything Windows returns converts.
std::string Utf8FromUtf16(const char16_t* text, std::size_t length);
std::string Utf8FromUtf16(const std::u16string& text);

// The length Windows counts for a path or text: UTF-16 code units.
std::size_t Utf16Length(const std::string& text);
