// What the bytes of an archive's names and setup texts mean. A mark in the name field of the
// top-level list's end record, which readers of the plain format never look at, records their
// code page: UTF-8 (65001) or a Windows code page. An archive without it holds them in the ANSI
// code page of the Windows that reads it, as archives always did. Everything the reader hands
// out is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class Stream;
struct ArchiveInfo;

// "Codepage" and the code page as a little-endian uint32, at the start of the end record's
// name field (whose name length stays 0).
inline constexpr char kTextMarkTag[] = "Codepage";
inline constexpr std::size_t kTextMarkTagSize = 8;
inline constexpr std::size_t kTextMarkSize = kTextMarkTagSize + 4;

// The name field's first bytes that record codePage (0: no mark, an empty text).
std::string TextMark(std::uint32_t codePage);
// The code page a name field of at least kTextMarkSize bytes records; 0 when it holds no mark.
std::uint32_t CodePageOfMark(const std::uint8_t* nameField);

// Follows the top-level list of a checked archive by its body lengths to the end record and
// reads its mark; 0 when there is none, or when the list does not lead to an end record inside
// the archive (the checked walks report that as they always did).
std::uint32_t ReadTextCodePage(Stream& stream, std::int64_t directoryStart, std::int64_t archiveEnd);

// Bytes in a code page (0: the system's ANSI code page) as UTF-8; nothing when they are no text
// there. The platform's TextAsUtf8.
using CodePageConversion = std::function<std::optional<std::string>(std::uint32_t, const std::string&)>;

// Bytes in the system's ANSI code page as UTF-8 through convert, where a byte sequence that is no
// character there becomes U+FFFD (Windows took such bytes as they were): what every unmarked
// archive and uninstall record holds.
std::string AnsiTextAsUtf8(const CodePageConversion& convert, const std::string& bytes);

// The archive's names and setup texts as UTF-8, by its mark:
//  - UTF-8: checked, and refused when ill-formed;
//  - code page N: converted from N, and refused when a byte sequence is no character of N;
//  - none: converted from the system's ANSI code page, where a byte sequence that is none
//    becomes U+FFFD (Windows took such bytes as they were).
// Refused means ESetupError with kCorruptedArchiveMessage. ASCII never changes. Without a
// conversion, only the UTF-8 check is made and other bytes come back as stored.
class ArchiveText {
public:
    ArchiveText() = default;
    ArchiveText(std::uint32_t recordedCodePage, CodePageConversion convert)
        : codePage_(recordedCodePage), convert_(std::move(convert)) {}

    std::uint32_t RecordedCodePage() const { return codePage_; }
    // An entry name, which must still be one safe path component once converted.
    std::string Name(const std::string& stored) const;
    // Setup.ini, Setup.lic or BundleInfo.ini. Without a mark, a UTF-8 byte order mark is passed
    // over as the setup always did, and the rest read in the ANSI code page.
    std::string Text(const std::string& stored) const;

private:
    std::string AsUtf8(const std::string& stored) const;

    std::uint32_t codePage_ = 0;
    CodePageConversion convert_;
};

// The setup texts (Setup.ini, Setup.lic and the licences per language such as Setup.de.lic,
// BundleInfo.ini), found as the setup finds them (ASCII case folding).
bool IsSetupTextName(const std::string& name);
