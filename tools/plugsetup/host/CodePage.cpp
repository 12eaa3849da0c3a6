// What plugsetup does with the code page, above the system's conversion: which names and texts
// are converted, character by character where a finding must name the character.
#include "tools/plugsetup/host/CodePage.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "system/CommonUtils.h"

namespace {

// The length of the UTF-8 sequence at text[at], and its code point; 0 when it is none
// (a stray continuation byte, an overlong form, a surrogate or a value beyond U+10FFFF).
std::size_t Utf8Sequence(const std::string& text, std::size_t at, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    std::size_t length = first < 0x80           ? 1
                         : (first >> 5) == 0x6  ? 2
                         : (first >> 4) == 0xE  ? 3
                         : (first >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || at + length > text.size()) return 0;
    codePoint = length == 1 ? first : first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (byte(at + i) & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

std::string CodePointText(const std::string& character) {
    char32_t codePoint = 0;
    Utf8Sequence(character, 0, codePoint);
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(codePoint));
    return "'" + character + "' (" + text + ")";
}

std::string HexBytes(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X", byte);
        text += (text.empty() ? "" : " ") + std::string(two);
    }
    return text;
}

// The trail bytes that the setup's path code would take for a separator or an extension dot:
// it splits at backslashes and looks for ":" and "." byte by byte. The archive reader refuses
// "\", "/" and ":" in a name outright.
bool SplitsPaths(const std::string& encoded) {
    if (encoded.size() < 2) return false;
    const char last = encoded.back();
    return last == '\\' || last == '/' || last == ':' || last == '.';
}

// UTF-8 is the program's own text: nothing to convert.
class Utf8CodePage : public CodePage {
public:
    Utf8CodePage() : CodePage(kUtf8CodePageNumber) {}
    bool Encode(const std::string& utf8, std::string& bytes) const override {
        bytes = utf8;
        return IsValidUtf8(utf8);
    }
    std::string Decode(const std::string& bytes) const override { return ValidUtf8(bytes); }
    std::optional<std::string> DecodeExactly(const std::string& bytes) const override {
        return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    }
};

// The character's form in the code page, when it has one that reads back as the character.
bool EncodeCharacter(const CodePage& codePage, const std::string& character, std::string& bytes) {
    return codePage.Encode(character, bytes) && codePage.DecodeExactly(bytes) == character;
}

}  // namespace

std::unique_ptr<CodePage> OpenUtf8CodePage() {
    return std::make_unique<Utf8CodePage>();
}

std::unique_ptr<CodePage> OpenCodePage(int number) {
    const bool supported = number == 874 || (number >= 1250 && number <= 1258) || number == 932 ||
                           number == 936 || number == 949 || number == 950;
    if (!supported)
        throw ECodePageError("code page " + std::to_string(number) + " is not supported; choose " +
                             kSupportedCodePagesText);
    return OpenSystemCodePage(number);
}

std::optional<std::string> TextInCodePageAsUtf8(std::uint32_t number, const std::string& bytes) {
    if (number == 65001) return IsValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    // Opened once per number: iconv's descriptors cost more than a name's conversion.
    static std::mutex mutex;
    static std::map<std::uint32_t, std::unique_ptr<CodePage>> opened;
    const CodePage* codePage = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = opened.find(number);
        if (it == opened.end()) {
            std::unique_ptr<CodePage> made;
            try {
                made = OpenCodePage(static_cast<int>(number));
            } catch (const ECodePageError&) {
            }
            it = opened.emplace(number, std::move(made)).first;
        }
        codePage = it->second.get();
    }
    if (!codePage) return std::nullopt;
    return codePage->DecodeExactly(bytes);
}

bool IsValidUtf8(const std::string& text) {
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = Utf8Sequence(text, at, codePoint);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string ValidUtf8(const std::string& text) {
    static const std::string kReplacement = "\xEF\xBF\xBD";
    std::string valid;
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Sequence(text, at, codePoint);
        valid += length == 0 ? kReplacement : text.substr(at, length);
        at += length == 0 ? 1 : length;
    }
    return valid;
}

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

EncodedText EncodeProductText(const CodePage& codePage, const std::string& text) {
    EncodedText result;
    if (IsAscii(text) || !IsValidUtf8(text)) {
        result.Bytes = text;
        return result;
    }
    // A single-byte code page has no trail bytes: the whole text at once, unless it fails.
    if (!codePage.IsDoubleByte() && EncodeCharacter(codePage, text, result.Bytes)) return result;
    result.Bytes.clear();
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Sequence(text, at, codePoint);
        const std::string character = text.substr(at, length);
        at += length;
        if (length == 1) {
            result.Bytes += character;
            continue;
        }
        std::string bytes;
        if (!EncodeCharacter(codePage, character, bytes)) {
            if (result.Unrepresentable.empty()) result.Unrepresentable = character;
            continue;
        }
        if (SplitsPaths(bytes) && result.SplitsPaths.empty()) result.SplitsPaths = character;
        result.Bytes += bytes;
    }
    return result;
}

std::string UnrepresentableMessage(const CodePage& codePage, const EncodedText& encoded) {
    return CodePointText(encoded.Unrepresentable) + " has no form in code page " +
           std::to_string(codePage.Number());
}

std::string SplitsPathsMessage(const CodePage& codePage, const EncodedText& encoded) {
    std::string bytes;
    codePage.Encode(encoded.SplitsPaths, bytes);
    return CodePointText(encoded.SplitsPaths) + " is stored as " + HexBytes(bytes) + " in code page " +
           std::to_string(codePage.Number()) + ", and the setup reads " + HexBytes(bytes.substr(1)) +
           " as '" + bytes.substr(1) + "' in paths";
}

std::string SetupTextForArchive(const CodePage& codePage, const std::string& text, const std::string& what) {
    static const std::string kByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    const std::string unmarked = marked ? text.substr(kByteOrderMark.size()) : text;
    if (codePage.Number() == kUtf8CodePageNumber && !IsValidUtf8(unmarked))
        throw ECodePageError(what + ": " + NotUtf8Message());
    EncodedText encoded = EncodeProductText(codePage, unmarked);
    if (!encoded.Unrepresentable.empty())
        throw ECodePageError(what + ": " + UnrepresentableMessage(codePage, encoded) +
                             "; build with the --codepage of your customers' Windows");
    return encoded.Bytes;
}

std::string NotUtf8Message() {
    return "the text is not UTF-8; save it as UTF-8, or build with the --codepage it is saved in";
}

std::string NameBytesText(const CodePage& codePage, const std::string& utf8) {
    std::map<std::size_t, int> counts;  // bytes of a character in the code page -> characters
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t length = Utf8Sequence(utf8, at, codePoint);
        if (length == 0) length = 1;
        std::string bytes;
        codePage.Encode(utf8.substr(at, length), bytes);
        ++counts[bytes.empty() ? length : bytes.size()];
        at += length;
    }
    std::string text;
    for (auto it = counts.rbegin(); it != counts.rend(); ++it) {
        const bool first = text.empty();
        text += (first ? "" : ", ") + std::to_string(it->second) +
                (first ? (it->second == 1 ? " character" : " characters") : "") + " of " +
                std::to_string(it->first) + (it->first == 1 ? " byte" : " bytes") +
                (counts.size() == 1 && it->second > 1 ? " each" : "");
    }
    return text;
}

std::string EntryNameForArchive(const CodePage& codePage, const std::string& hostName,
                                const std::string& what) {
    EncodedText encoded = EncodeProductText(codePage, hostName);
    if (!encoded.Unrepresentable.empty())
        throw ECodePageError(what + ": " + UnrepresentableMessage(codePage, encoded) +
                             "; rename it, or build with the --codepage of your customers' Windows");
    if (!encoded.SplitsPaths.empty())
        throw ECodePageError(what + ": " + SplitsPathsMessage(codePage, encoded) + "; rename it");
    return encoded.Bytes;
}
