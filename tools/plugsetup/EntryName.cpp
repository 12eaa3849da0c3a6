#include "tools/plugsetup/EntryName.h"

#include <map>

#include "archive/SetupData.h"
#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "tools/plugsetup/host/CodePage.h"

namespace {

constexpr const char* kForbiddenCharacters = "\\/:*?\"<>|";

constexpr const char* kReservedEntryMessage =
    "the name is reserved at the top of a product folder: the setup carries its signed uninstaller under it";

// The code points of valid UTF-8 text; false for anything else.
bool DecodeUtf8(const std::string& text, std::vector<char32_t>& out) {
    if (!IsValidUtf8(text)) return false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(c);
        i += static_cast<std::size_t>(length);
    }
    return true;
}

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | c >> 18);
        text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A run of letters in which the upper-case letter comes first and its lower-case form at an
// odd distance after it (pairs: Āā Ăă ...).
bool InPairRun(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

// The simple upper-case form of the letters the Windows code pages hold.
char32_t UpperLetter(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;  // à..þ
    if (c == 0xFF) return 0x178;                                 // ÿ
    if (c == 0xB5) return 0x39C;                                 // µ
    // Latin Extended-A: upper case on even code points, except the runs that start on odd ones.
    if (InPairRun(c, 0x100, 0x137) || InPairRun(c, 0x14A, 0x177)) return (c & 1) ? c - 1 : c;
    if (InPairRun(c, 0x139, 0x148) || InPairRun(c, 0x179, 0x17E)) return (c & 1) ? c : c - 1;
    if (c == 0x131) return 'I';  // dotless i
    if (c == 0x17F) return 'S';  // long s
    if (c == 0x192) return 0x191;
    if (c == 0x1A1 || c == 0x1B0) return c - 1;  // Vietnamese ơ, ư
    // Greek.
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (InPairRun(c, 0x460, 0x481) || InPairRun(c, 0x48A, 0x4BF) || InPairRun(c, 0x4D0, 0x52F))
        return (c & 1) ? c - 1 : c;
    // Full-width Latin of the East Asian code pages.
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
    return c;
}

bool IsDeviceStem(const std::string& stem) {
    static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (SameText(stem, device)) return true;
    const std::string port = stem.substr(0, 3);
    if (!SameText(port, "COM") && !SameText(port, "LPT")) return false;
    const std::string number = stem.substr(3);
    // Windows counts the superscript digits as port numbers too.
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

}  // namespace

std::string WindowsNameProblem(const std::string& name) {
    if (name.empty()) return "the name is empty";
    std::string forbidden;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) return "the name holds a control character, which Windows does not allow in names";
        if (std::string(kForbiddenCharacters).find(c) != std::string::npos &&
            forbidden.find(c) == std::string::npos)
            forbidden += c;
    }
    if (!forbidden.empty()) {
        std::string list;
        for (std::size_t i = 0; i < forbidden.size(); ++i)
            list += (i == 0                      ? ""
                     : i + 1 == forbidden.size() ? " and "
                                                 : ", ") +
                    Quoted(forbidden.substr(i, 1));
        return "the name holds " + list + ", which Windows does not allow in names (\\ / : * ? \" < > |)";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "the name ends in a dot or a blank, which Windows drops, so it would not be the name you "
               "wrote";
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    if (IsDeviceStem(stem))
        return Quoted(stem) +
               " is a device name on Windows, with any extension: the file would be the device";
    return "";
}

std::string FoldedNameCase(const std::string& name) {
    std::vector<char32_t> characters;
    if (!DecodeUtf8(name, characters)) return UpperAscii(name);
    std::string folded;
    for (char32_t c : characters) AppendUtf8(folded, UpperLetter(c));
    return folded;
}

std::vector<EncodedEntryName> EncodeFolderNames(const CodePage& codePage,
                                                const std::vector<std::string>& names,
                                                const std::vector<bool>& isFile, bool top) {
    std::vector<EncodedEntryName> result(names.size());
    std::map<std::string, std::size_t> folded;  // upper case as Windows sees it -> the first such name
    for (std::size_t i = 0; i < names.size(); ++i) {
        const EncodedText name = EncodeProductText(codePage, names[i]);
        std::vector<std::string>& problems = result[i].Problems;
        result[i].Encoded = name.Bytes;
        if (!name.Unrepresentable.empty())
            problems.push_back("in the name, " + UnrepresentableMessage(codePage, name) +
                               ": rename it, or build with the --codepage of your customers' Windows");
        else if (!name.SplitsPaths.empty())
            problems.push_back("in the name, " + SplitsPathsMessage(codePage, name) + ": rename it");
        if (codePage.Number() == kUtf8CodePageNumber && !IsValidUtf8(names[i]))
            problems.push_back("the name is not UTF-8, so no Windows could read it: rename it");
        if (name.Bytes.size() > static_cast<std::size_t>(kMaxNameLength))
            problems.push_back("the name is " + std::to_string(name.Bytes.size()) + " bytes long in the setup (at most " +
                               std::to_string(kMaxNameLength) + "): " + NameBytesText(codePage, names[i]) +
                               ": shorten it");
        // What the customer's Windows makes of the name is what the code page turns it back into.
        const std::string onWindows = name.Unrepresentable.empty() ? codePage.Decode(name.Bytes) : names[i];
        if (std::string problem = WindowsNameProblem(onWindows); !problem.empty())
            problems.push_back(problem + ": rename it");
        else if (!IsSafeEntryName(name.Bytes) &&
                 name.Bytes.size() <= static_cast<std::size_t>(kMaxNameLength))
            problems.push_back("the setup would refuse the name in its archive: rename it");
        if (top && isFile[i] && SameText(names[i], kUninstallerEntry))
            problems.push_back(kReservedEntryMessage);
        auto [found, added] = folded.emplace(FoldedNameCase(onWindows), i);
        if (!added)
            problems.push_back(Quoted(names[found->second]) + " and " + Quoted(names[i]) +
                               " differ only in the case of letters, and Windows sees one name: rename one");
    }
    return result;
}
