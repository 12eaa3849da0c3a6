#include "texts/Languages.h"

#include <array>
#include <string>

#include <zlib.h>

namespace {

// Listed in TextId order; TextName() relies on it and the tests check it.
constexpr std::array<const char*, kTextCount> kTextNames = {
    "WindowCaption", "BitSuffix", "SetupTitle", "UninstallerTitleSuffix", "WarningCaption", "ConfirmCaption",
    "InformationCaption", "BackButton", "NextButton", "CancelButton", "YesButton", "NoButton", "InstallButton",
    "FinishButton", "BrowseButton", "WelcomeHeading", "WelcomeDescription", "WelcomeStep", "LicenseHeading",
    "LicenseStep", "BundleHeading", "BundleDescription", "SelectAllButton", "SelectNoneButton", "VstHeading",
    "Vst2Description", "Vst2InstallCheck", "Vst2FolderLabel", "Vst2BrowseTitle", "Vst3InstallCheck",
    "OnlyForList", "Vst3Description", "Vst3SharedDescription", "ClapInstallCheck", "ClapDescription",
    "ClapSharedDescription", "PluginsForProduct", "PluginVersionOfProduct", "DigiHeading", "DigiDescription",
    "RtasInstallCheck", "RtasDescription", "AaxInstallCheck", "AaxDescription", "Aax64Info", "Aax32Info",
    "PhotoshopHeading", "PhotoshopInfo", "PhotoshopInstallCheck", "PhotoshopFolderLabel", "PhotoshopBrowseTitle",
    "DestHeading", "DestDescription", "DestStep", "DestFolderLabel", "DestBrowseTitle", "NameHeading",
    "NameInfo", "NameLabel", "IconHeading", "IconStartMenuQuestion", "IconStartMenuCheck", "IconDesktopQuestion",
    "IconDesktopCheck", "InstallStep", "CopyHeading", "CopyDescription", "ReadyHeading",
    "DefaultCompleteMessage", "ReadyReadmeQuestion", "ReadyReadmeCheck", "ReadyStartQuestion",
    "ReadyStartCheck", "NoBundleItemWarning", "FolderErrorWarning", "NoNameWarning", "CancelQuestion",
    "SameMajorQuestion", "NewMajorQuestion", "AlreadyRunningError", "PreparingStatus", "CopyingStatus",
    "InitializingStatus", "CreatingSettingsStatus", "CreatingShortcutsStatus", "NoAdminRightsMessage",
    "Need64BitWindowsMessage", "NeedX64EmulationMessage", "NotEnoughSpaceMessage", "PathTooLongMessage",
    "CannotInstallFileMessage", "FilesInUseMessage", "ProgramsUsingFilesMessage", "MoreFilesInUseLine",
    "CloseProgramsMessage", "UninstallNoRightsMessage", "ConfirmRemovalQuestion", "UninstalledMessage",
    "UninstalledWithLeftoversMessage", "ForeignRecordMessage", "NoBatchFolderMessage", "ApplicationErrorCaption",
    "ShutdownBlockedReason", "CannotOpenFileMessage", "CannotCreateFileMessage", "CannotReadFileMessage",
    "CannotSeekFileMessage", "CannotWriteFileMessage",
};

constexpr std::size_t kLanguageCount = 11;

const std::array<LanguageRow, kLanguageCount>& Rows() {
    static const std::array<LanguageRow, kLanguageCount> rows{{
        {"en", 0x0409, "English", &kEnglishPacked},
        {"de", 0x0407, "German", &kGermanPacked},
        {"fr", 0x040C, "French", &kFrenchPacked},
        {"es", 0x0C0A, "Spanish", &kSpanishPacked},
        {"it", 0x0410, "Italian", &kItalianPacked},
        {"pt-BR", 0x0416, "Brazilian Portuguese", &kBrazilianPortuguesePacked},
        {"nl", 0x0413, "Dutch", &kDutchPacked},
        {"ja", 0x0411, "Japanese", &kJapanesePacked},
        {"zh-CN", 0x0804, "Simplified Chinese", &kSimplifiedChinesePacked},
        {"ko", 0x0412, "Korean", &kKoreanPacked},
        {"ru", 0x0419, "Russian", &kRussianPacked},
    }};
    return rows;
}

struct UnpackedTable {
    bool unpacked = false;
    std::string rows;
    std::vector<TextEntry> entries;
};

// The rows of a packed table (PackedTexts.h). A table that does not unpack (a damaged program)
// has no rows, and its texts fall back to English.
void Unpack(const PackedTexts& packed, UnpackedTable& table) {
    table.unpacked = true;
    table.rows.resize(packed.UnpackedSize);
    uLongf size = packed.UnpackedSize;
    if (uncompress(reinterpret_cast<Bytef*>(table.rows.data()), &size, packed.Bytes, packed.Size) != Z_OK ||
        size != packed.UnpackedSize || (size != 0 && table.rows.back() != '\0')) {
        table.rows.clear();
        return;
    }
    for (std::size_t at = 0; at < table.rows.size();) {
        const char* text = table.rows.data() + at + 1;
        table.entries.push_back({static_cast<TextId>(static_cast<unsigned char>(table.rows[at])), text});
        at += 1 + std::char_traits<char>::length(text) + 1;
    }
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The part of a code before its region: "pt" of "pt-BR".
std::string_view BaseCode(std::string_view code) {
    return code.substr(0, code.find('-'));
}

// The low ten bits of a language id name its primary language.
constexpr std::uint16_t PrimaryLanguage(std::uint16_t langId) {
    return langId & 0x3FF;
}

bool Carries(const std::vector<const LanguageRow*>& carried, const LanguageRow* language) {
    if (carried.empty()) return true;
    for (const LanguageRow* row : carried)
        if (row == language) return true;
    return false;
}

}  // namespace

std::span<const TextEntry> LanguageRow::Texts() const {
    static std::array<UnpackedTable, kLanguageCount> tables;
    for (std::size_t i = 0; i < kLanguageCount; ++i) {
        if (Rows()[i].Packed != Packed) continue;
        if (!tables[i].unpacked) Unpack(*Packed, tables[i]);
        return tables[i].entries;
    }
    return {};
}

std::span<const LanguageRow> Languages() {
    return Rows();
}

const LanguageRow& EnglishLanguage() {
    return Rows().front();
}

const LanguageRow* FindLanguage(std::string_view code) {
    if (code.empty()) return nullptr;
    for (const LanguageRow& row : Rows())
        if (SameAscii(row.Code, code)) return &row;
    for (const LanguageRow& row : Rows())
        if (SameAscii(BaseCode(row.Code), code)) return &row;
    return nullptr;
}

const char* TableText(const LanguageRow& language, TextId id) {
    for (const TextEntry& entry : language.Texts())
        if (entry.Id == id) return entry.Text;
    return nullptr;
}

const char* TextIn(const LanguageRow& language, TextId id) {
    const char* text = TableText(language, id);
    if (text == nullptr) text = TableText(EnglishLanguage(), id);
    return text != nullptr ? text : "";
}

const char* TextName(TextId id) {
    const auto index = static_cast<std::size_t>(id);
    return index < kTextCount ? kTextNames[index] : "";
}

TextId TextNamed(std::string_view name) {
    for (std::size_t i = 0; i < kTextCount; ++i)
        if (SameAscii(kTextNames[i], name)) return static_cast<TextId>(i);
    return TextId::None;
}

const LanguageRow& ChooseLanguage(std::string_view requested, std::uint16_t uiLanguage,
                                  const std::vector<const LanguageRow*>& carried) {
    const LanguageRow* asked = FindLanguage(requested);
    if (asked != nullptr && Carries(carried, asked)) return *asked;
    for (const LanguageRow& row : Rows())
        if (row.LangId == uiLanguage && Carries(carried, &row)) return row;
    for (const LanguageRow& row : Rows())
        if (PrimaryLanguage(row.LangId) == PrimaryLanguage(uiLanguage) && Carries(carried, &row)) return row;
    if (Carries(carried, &EnglishLanguage())) return EnglishLanguage();
    return *carried.front();
}
