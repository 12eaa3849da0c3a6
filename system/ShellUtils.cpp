#include "system/ShellUtils.h"

#include <climits>
#include <cstdint>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/WindowsEx.h"

namespace {

const char* const kCurrentVersionKey = "\\Software\\Microsoft\\Windows\\CurrentVersion";

// Decimal with an optional sign, or hexadecimal after "$" or "0x"; false unless the whole
// text is one number that fits 32 bits.
bool ParseInt32(const std::string& text, int& result) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = FoldAscii(text[i]);
        int digit = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        value = value * base + digit;
        if (value > (std::int64_t{1} << 32)) return false;
    }
    if (negative) value = -value;
    // Hexadecimal may spell a negative number through its top bit, as in $FFFFFFFF.
    if (base == 16 && value > INT_MAX && value <= UINT32_MAX) value -= std::int64_t{1} << 32;
    if (value < INT_MIN || value > INT_MAX) return false;
    result = static_cast<int>(value);
    return true;
}

std::string FolderWithFallback(Platform& platform, SpecialFolderKind kind, const char* valueName,
                               const char* fixedDefault) {
    std::string result = SpecialFolder(platform, kind);
    if (!result.empty()) return result;
    result = fixedDefault;
    try {
        TRegistry registry(platform);
        registry.SetRootKey(RootKey::LocalMachine);
        if (registry.OpenKeyReadOnly(kCurrentVersionKey)) {
            // A missing value must not turn the default into an empty folder.
            std::string value = registry.ReadString(valueName);
            if (!value.empty()) result = value;
        }
    } catch (const Exception&) {
    }
    return result;
}

}  // namespace

int SpecialFolderCsidl(SpecialFolderKind kind) {
    switch (kind) {
        case SpecialFolderKind::Desktop:
            return kCsidlDesktopDirectory;
        case SpecialFolderKind::Documents:
            return kCsidlPersonal;
        case SpecialFolderKind::Programs:
            return kCsidlPrograms;
        case SpecialFolderKind::AppData:
            return kCsidlAppData;
        case SpecialFolderKind::ProgramFiles:
            return kCsidlProgramFiles;
        case SpecialFolderKind::CommonFiles:
            return kCsidlProgramFilesCommon;
    }
    return kCsidlPersonal;
}

std::string SpecialFolder(Platform& platform, SpecialFolderKind kind) {
    return platform.SpecialFolderPath(SpecialFolderCsidl(kind));
}

std::string GetProgramFilesFolder(Platform& platform) {
    return FolderWithFallback(platform, SpecialFolderKind::ProgramFiles, "ProgramFilesDir",
                              "C:\\Program Files");
}

std::string GetCommonFilesFolder(Platform& platform) {
    return FolderWithFallback(platform, SpecialFolderKind::CommonFiles, "CommonFilesDir",
                              "C:\\Program Files\\Common Files");
}

std::string GetDocumentsFolder(Platform& platform) {
    std::string folder = SpecialFolder(platform, SpecialFolderKind::Documents);
    return folder.empty() ? "C:\\My Documents" : folder;
}

std::string GetAppDataFolder(Platform& platform) {
    std::string folder = SpecialFolder(platform, SpecialFolderKind::AppData);
    return folder.empty() ? GetProgramFilesFolder(platform) : folder;
}

IconLocation FileTypeIcon(Platform& platform, const std::string& file) {
    IconLocation result{file, 0};
    std::string name = ExtractFileName(file);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return result;
    std::string extension = name.substr(dot);
    if (SameText(extension, ".ico") || SameText(extension, ".exe")) return result;
    try {
        TRegistry registry(platform);
        registry.SetRootKey(RootKey::ClassesRoot);
        if (!registry.OpenKeyReadOnly("\\" + extension)) return result;
        std::string typeName = registry.ReadString("");
        if (!registry.OpenKeyReadOnly("\\" + typeName + "\\DefaultIcon")) return result;
        result.file = Trim(registry.ReadString(""));
        SplitResult parts = SplitAt(result.file, ',');
        if (parts.found) {
            int index = 0;
            // A number that does not read leaves the whole text as the icon file.
            if (!ParseInt32(Trim(parts.right), index)) return result;
            result.index = index;
            result.file = parts.left;
        }
    } catch (const Exception&) {
    }
    return result;
}

bool CreateShortcut(Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, int iconIndex) {
    IconLocation icon = iconIndex != 0 ? IconLocation{target, iconIndex} : FileTypeIcon(platform, target);
    ShellLink link{target, arguments, ExtractFilePath(target), icon.file, icon.index};
    return platform.SaveShellLink(linkFile, link);
}

ShortcutTarget ReadShortcut(Platform& platform, const std::string& linkFile) {
    std::optional<ShellLink> link = platform.LoadShellLink(linkFile);
    if (!link) return ShortcutTarget{};
    return ShortcutTarget{true, link->target, link->arguments};
}

std::string BrowseForFolder(Platform& platform, WindowRef owner, const std::string& title,
                            const std::string& initial) {
    std::optional<std::string> chosen = platform.PickFolder(owner, title, initial);
    return chosen ? *chosen : initial;
}

std::string FolderPickerSelection(const std::string& initial) {
    if (!initial.empty() && initial.back() == '\\') return initial.substr(0, initial.size() - 1);
    return initial;
}

UiFontChoice ChooseUiFont(Platform& platform) {
    UiFontChoice candidate =
        platform.WindowsMajorVersion() >= 6 ? UiFontChoice{"Segoe UI", 9} : UiFontChoice{"Tahoma", 8};
    return platform.FontInstalled(candidate.name) ? candidate : UiFontChoice{};
}

int UiFontHeight(const UiFontChoice& font, int dpi) {
    return -MulDivRound(font.points, dpi, 72);
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    bool negative = ((a < 0) != (b < 0)) != (c < 0);
    std::int64_t result = negative ? (product - c / 2) / c : (product + c / 2) / c;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}

int DesignScale::Height() {
    if (height_ == 0) {
        int dpi = platform_.ScreenDpi();
        height_ = dpi == 96 ? 13 : platform_.MeasureScalingHeight();
        // A failed measurement would collapse every value to 0; the DPI ratio is the next best.
        if (height_ <= 0) height_ = MulDivRound(13, dpi > 0 ? dpi : 96, 96);
    }
    return height_;
}
