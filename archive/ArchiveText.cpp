// The mark of an archive's text encoding, and its names and setup texts as UTF-8 (ArchiveText.h).
#include "archive/ArchiveText.h"

#include <cstring>

#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/LittleEndian.h"
#include "system/Stream.h"
#include "system/Utf8.h"

namespace {

constexpr std::size_t kBodyLengthOffset = 68;
const std::string kByteOrderMark = "\xEF\xBB\xBF";
const std::string kReplacementCharacter = "\xEF\xBF\xBD";

[[noreturn]] void Corrupted() {
    throw ESetupError(kCorruptedArchiveMessage);
}

bool IsAsciiText(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string TextMark(std::uint32_t codePage) {
    if (codePage == 0) return std::string();
    std::uint8_t mark[kTextMarkSize];
    std::memcpy(mark, kTextMarkTag, kTextMarkTagSize);
    PutLe32(mark + kTextMarkTagSize, codePage);
    return std::string(reinterpret_cast<const char*>(mark), sizeof mark);
}

std::uint32_t CodePageOfMark(const std::uint8_t* nameField) {
    if (std::memcmp(nameField, kTextMarkTag, kTextMarkTagSize) != 0) return 0;
    return ReadLe32(nameField + kTextMarkTagSize);
}

std::uint32_t ReadTextCodePage(Stream& stream, std::int64_t directoryStart, std::int64_t archiveEnd) {
    std::uint8_t raw[kEntryRecordSize];
    for (std::int64_t at = directoryStart; at + kEntryRecordSize <= archiveEnd;) {
        stream.Seek(at);
        if (stream.Read(raw, sizeof raw) != sizeof raw) return 0;
        if (raw[0] == 0) return CodePageOfMark(raw + 1);
        const std::int32_t bodyLength = ReadLeInt32(raw + kBodyLengthOffset);
        if (bodyLength < 0) return 0;
        at += kEntryRecordSize + bodyLength;
    }
    return 0;
}

std::string AnsiTextAsUtf8(const CodePageConversion& convert, const std::string& bytes) {
    if (IsAsciiText(bytes)) return bytes;
    if (std::optional<std::string> text = convert(0, bytes)) return *text;
    // Character by character; no code page Windows uses for ANSI has more than two bytes.
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            text += bytes[at++];
            continue;
        }
        std::size_t length = 1;
        std::optional<std::string> character = convert(0, bytes.substr(at, 1));
        if (!character && at + 1 < bytes.size()) {
            length = 2;
            character = convert(0, bytes.substr(at, 2));
        }
        if (!character) length = 1;
        text += character ? *character : kReplacementCharacter;
        at += length;
    }
    return text;
}

std::string ArchiveText::AsUtf8(const std::string& stored) const {
    if (IsAsciiText(stored)) return stored;
    if (codePage_ == kUtf8CodePage) {
        if (!IsUtf8(stored)) Corrupted();
        return stored;
    }
    if (!convert_) return stored;
    if (codePage_ == 0) return AnsiTextAsUtf8(convert_, stored);
    std::optional<std::string> text = convert_(codePage_, stored);
    if (!text) Corrupted();
    return *text;
}

std::string ArchiveText::Name(const std::string& stored) const {
    std::string name = AsUtf8(stored);
    // Checked in the form the name takes on the disk; an unconverted name was checked as stored.
    if ((codePage_ == kUtf8CodePage || name != stored) && !IsAsciiText(name) && !IsSafeUtf8EntryName(name))
        Corrupted();
    return name;
}

std::string ArchiveText::Text(const std::string& stored) const {
    if (codePage_ == 0 && stored.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
        return AsUtf8(stored.substr(kByteOrderMark.size()));
    return AsUtf8(stored);
}

bool IsSetupTextName(const std::string& name) {
    // Setup.de.lic and the other licences per language are texts like Setup.lic.
    const bool licence = name.size() > 10 && SameText(name.substr(0, 6), "Setup.") &&
                         SameText(name.substr(name.size() - 4), ".lic");
    return SameText(name, "Setup.ini") || SameText(name, "Setup.lic") || licence ||
           SameText(name, "BundleInfo.ini");
}
