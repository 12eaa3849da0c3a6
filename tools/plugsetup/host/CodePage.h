// The code page of a setup's names and texts: UTF-8 by default, or one Windows ANSI code page
// (--codepage). plugsetup converts at build time: names of the build machine and UTF-8 texts go
// into the code page, and the archive records which it is. Unmarked archives, which earlier
// tools wrote, are read in the ANSI code page of the customer's Windows that --codepage names.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "system/Exceptions.h"

inline constexpr int kDefaultCodePage = 1252;
inline constexpr const char* kSupportedCodePagesText = "874, 932, 936, 949, 950 or 1250 to 1258";

// A code page number plugsetup does not support, or one the system cannot convert.
class ECodePageError : public Exception {
    using Exception::Exception;
};

// One code page, converted by the system: glibc's iconv on Linux, MultiByteToWideChar and
// WideCharToMultiByte on Windows (CodePageIconv.cpp, CodePageWin32.cpp).
class CodePage {
public:
    virtual ~CodePage() = default;
    int Number() const { return number_; }
    // Double-byte code pages store some characters as a lead byte and a trail byte.
    bool IsDoubleByte() const { return number_ == 932 || number_ == 936 || number_ == 949 || number_ == 950; }

    // UTF-8 text in the code page; false when a character has no form there. Strict: never a
    // best-fit neighbour, never a "?".
    virtual bool Encode(const std::string& utf8, std::string& bytes) const = 0;
    // Bytes in the code page as UTF-8, always valid: a byte that is no character there becomes
    // U+FFFD (iconv), or what Windows makes of it (its own default character).
    virtual std::string Decode(const std::string& bytes) const = 0;
    // The same, but nothing when a byte sequence is no character there.
    virtual std::optional<std::string> DecodeExactly(const std::string& bytes) const = 0;

protected:
    explicit CodePage(int number) : number_(number) {}

private:
    int number_;
};

// ECodePageError for a number outside kSupportedCodePagesText.
std::unique_ptr<CodePage> OpenCodePage(int number);
// UTF-8 (65001), the default of a build: every character has a form, and text that is not
// UTF-8 has none.
inline constexpr int kUtf8CodePageNumber = 65001;
std::unique_ptr<CodePage> OpenUtf8CodePage();
// The system's conversion for a supported number; what OpenCodePage hands out.
std::unique_ptr<CodePage> OpenSystemCodePage(int number);

// Bytes in a supported code page (or UTF-8, 65001) as UTF-8; nothing when a byte sequence is
// no character there or the number is not supported. What the commands that read an archive
// give the memory machine to convert with.
std::optional<std::string> TextInCodePageAsUtf8(std::uint32_t number, const std::string& bytes);

bool IsValidUtf8(const std::string& text);
// text with every byte that is no part of a UTF-8 character replaced by U+FFFD.
std::string ValidUtf8(const std::string& text);
bool IsAscii(const std::string& text);

// A name or text of the product on its way into the code page.
struct EncodedText {
    std::string Bytes;
    // The first character the code page cannot hold, as "'К' (U+041A)"; empty when none.
    std::string Unrepresentable;
    // The first character whose double-byte form ends in a byte the setup's own path code reads
    // as a separator ("\", "/", ":") or an extension dot, with its bytes; empty when none.
    std::string SplitsPaths;
};
// Valid UTF-8 that holds characters beyond ASCII is converted; ASCII and text that is not valid
// UTF-8 (already in a code page) stay as they are. A character has a form only when its bytes
// turn back into it: the systems' converters map some characters one way only (glibc stores
// '¥' as the backslash of code page 932), and the customer's Windows would read another one.
EncodedText EncodeProductText(const CodePage& codePage, const std::string& text);
// How the bytes of an encoded name add up, for a vendor: "23 characters of 3 bytes each" or
// "20 characters of 1 byte, 2 of 2 bytes"; from the name as written (UTF-8).
std::string NameBytesText(const CodePage& codePage, const std::string& utf8);

// What a finding says about a character: "'К' (U+041A) has no form in code page 1252" or
// "'表' (U+8868) is stored as 95 5C in code page 932, and the setup reads 5C as a backslash".
std::string UnrepresentableMessage(const CodePage& codePage, const EncodedText& encoded);
std::string SplitsPathsMessage(const CodePage& codePage, const EncodedText& encoded);
// What a UTF-8 build says of a text that is not UTF-8.
std::string NotUtf8Message();

// Setup.ini, Setup.lic or BundleInfo.ini as the archive holds them: without a UTF-8 byte order
// mark and in the code page. Raises ECodePageError, naming what (the file) and the character,
// when the code page cannot hold the text, and for a UTF-8 build when it is not UTF-8.
std::string SetupTextForArchive(const CodePage& codePage, const std::string& text, const std::string& what);
// A file or folder name of the build machine (UTF-8 on Linux and Windows alike, HostPath.h) in
// the code page; ECodePageError naming what (its path) and the character when it cannot be held,
// or would be split by the setup.
std::string EntryNameForArchive(const CodePage& codePage, const std::string& hostName,
                                const std::string& what);

