#include "wizard/ControlTable.h"

#include <array>
#include <cctype>

#include "system/Utf8.h"

namespace {

using K = ControlKind;
using P = CaptionPrep;
using I = ControlId;
using T = TextId;
constexpr P S = P::AsStored;
constexpr P E = P::Expand;
constexpr P X = P::ExpandPlugin;
constexpr I N = I::None;

// The letter that starts at text[at], decoded from UTF-8 (mnemonics are letters of the Basic
// Multilingual Plane); an ill-formed sequence gives U+FFFD.
char32_t LetterAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::u16string letter = Utf16FromUtf8(text.substr(at, length));
    return letter.empty() ? 0 : letter.front();
}

// Listed in ControlId order; Control() relies on it and the tests check it.
constexpr std::array<ControlDef, kControlCount> kTable{{
    {I::Panel, "Panel", K::Panel, kOnForm, 8, 8, 154, 354, T::None, S, 0, 4, N},
    {I::Image, "Image", K::Image, kInPanel, 0, 0, 150, 350, T::None, S, 0, -1, N},
    {I::Notebook, "Notebook", K::Notebook, kOnForm, 176, 8, 325, 313, T::None, S, 0, 0, N},
    {I::BackButton, "BackButton", K::Button, kOnForm, 249, 339, 75, 23, T::BackButton, S, 0, 1, N},
    {I::NextButton, "NextButton", K::Button, kOnForm, 324, 339, 75, 23, T::NextButton, S, kDefault, 2, N},
    {I::CancelButton, "CancelButton", K::Button, kOnForm, 425, 339, 75, 23, T::CancelButton, S, kCancel, 3, N},

    {I::WelcomeHeadingLabel, "WelcomeHeadingLabel", K::Label, kPageWelcome, 8, 8, 305, 17,
     T::WelcomeHeading, E, kBold, -1, N},
    {I::WelcomeDescriptionLabel, "WelcomeDescriptionLabel", K::Label, kPageWelcome, 8, 32, 305, 41,
     T::WelcomeDescription, E, kWrap, -1, N},
    {I::WelcomeStepLabel, "WelcomeStepLabel", K::Label, kPageWelcome, 8, 72, 305, 225,
     T::WelcomeStep, S, kWrap, -1, N},

    {I::LicenseHeadingLabel, "LicenseHeadingLabel", K::Label, kPageLicense, 8, 8, 237, 17,
     T::LicenseHeading, S, kBold, -1, N},
    {I::LicenseMemo, "LicenseMemo", K::Memo, kPageLicense, 8, 32, 305, 217, T::None, S, 0, 0, N},
    {I::LicenseStepLabel, "LicenseStepLabel", K::Label, kPageLicense, 8, 264, 289, 37,
     T::LicenseStep, S, kWrap, -1, N},

    {I::BundleHeadingLabel, "BundleHeadingLabel", K::Label, kPageBundleItems, 8, 8, 305, 17,
     T::BundleHeading, E, kBold, -1, N},
    {I::BundleDescriptionLabel, "BundleDescriptionLabel", K::Label, kPageBundleItems, 8, 32, 305, 17,
     T::BundleDescription, E, 0, -1, N},
    {I::BundleList, "BundleList", K::CheckList, kPageBundleItems, 8, 64, 309, 209, T::None, S, 0, 0, N},
    {I::SelectAllButton, "SelectAllButton", K::Button, kPageBundleItems, 132, 280, 89, 23, T::SelectAllButton, S,
     0, 1, N},
    {I::SelectNoneButton, "SelectNoneButton", K::Button, kPageBundleItems, 228, 280, 89, 23, T::SelectNoneButton,
     S, 0, 2, N},

    {I::VstHeadingLabel, "VstHeadingLabel", K::Label, kPageVstPlugins, 8, 8, 237, 17,
     T::VstHeading, X, kBold, -1, N},
    {I::Vst2DescriptionLabel, "Vst2DescriptionLabel", K::Label, kPageVstPlugins, 8, 32, 293, 65,
     T::Vst2Description,
     X, kWrap, -1, N},
    {I::Vst2InstallCheck, "Vst2InstallCheck", K::CheckBox, kPageVstPlugins, 8, 100, 313, 17,
     T::Vst2InstallCheck, X, 0, 2, N},
    {I::Vst2FolderLabel, "Vst2FolderLabel", K::Label, kPageVstPlugins, 8, 128, 273, 17,
     T::Vst2FolderLabel, X, 0, -1, I::Vst2FolderInput},
    {I::Vst2FolderInput, "Vst2FolderInput", K::Edit, kPageVstPlugins, 8, 144, 305, 21, T::None, S, 0, 0, N},
    {I::Vst2BrowseButton, "Vst2BrowseButton", K::Button, kPageVstPlugins, 238, 168, 75, 23, T::BrowseButton, S,
     0, 1, N},
    {I::Vst3InstallCheck, "Vst3InstallCheck", K::CheckBox, kPageVstPlugins, 8, 204, 313, 17,
     T::Vst3InstallCheck, X, 0, 3, N},
    {I::Vst3ListLabel, "Vst3ListLabel", K::Label, kPageVstPlugins, 25, 220, 287, 17, T::OnlyForList, S, 0,
     -1, N},
    {I::Vst3DescriptionLabel, "Vst3DescriptionLabel", K::Label, kPageVstPlugins, 8, 244, 301, 65,
     T::Vst3Description,
     X, kWrap, -1, N},
    // CLAP alone takes VST 3's place; beside it, the two share that place (kVst3AndClapPlacements).
    {I::ClapInstallCheck, "ClapInstallCheck", K::CheckBox, kPageVstPlugins, 8, 204, 313, 17,
     T::ClapInstallCheck, X, 0, 4, N},
    {I::ClapListLabel, "ClapListLabel", K::Label, kPageVstPlugins, 25, 220, 287, 17, T::OnlyForList, S, 0,
     -1, N},
    {I::ClapDescriptionLabel, "ClapDescriptionLabel", K::Label, kPageVstPlugins, 8, 244, 301, 65,
     T::ClapDescription,
     X, kWrap, -1, N},

    {I::DigiHeadingLabel, "DigiHeadingLabel", K::Label, kPageDigiPlugins, 8, 8, 237, 17,
     T::DigiHeading, S, kBold, -1, N},
    {I::DigiDescriptionLabel, "DigiDescriptionLabel", K::Label, kPageDigiPlugins, 8, 32, 293, 49,
     T::DigiDescription, X, kWrap, -1,
     N},
    {I::RtasInstallCheck, "RtasInstallCheck", K::CheckBox, kPageDigiPlugins, 8, 84, 313, 17,
     T::RtasInstallCheck, S, kHidden, 0, N},
    {I::RtasDescriptionLabel, "RtasDescriptionLabel", K::Label, kPageDigiPlugins, 8, 108, 293, 65,
     T::RtasDescription,
     S, kWrap | kHidden, -1, N},
    {I::AaxInstallCheck, "AaxInstallCheck", K::CheckBox, kPageDigiPlugins, 8, 196, 313, 17,
     T::AaxInstallCheck, X, 0, 1, N},
    {I::AaxDescriptionLabel, "AaxDescriptionLabel", K::Label, kPageDigiPlugins, 8, 220, 293, 65,
     T::AaxDescription,
     X, kWrap, -1, N},

    {I::PhotoshopHeadingLabel, "PhotoshopHeadingLabel", K::Label, kPagePhotoshopPlugin, 8, 8, 241, 17,
     T::PhotoshopHeading, S, kBold, -1, N},
    {I::PhotoshopInfoLabel, "PhotoshopInfoLabel", K::Label, kPagePhotoshopPlugin, 8, 32, 293, 73,
     T::PhotoshopInfo,
     X, kWrap, -1, N},
    {I::PhotoshopInstallCheck, "PhotoshopInstallCheck", K::CheckBox, kPagePhotoshopPlugin, 8, 108, 301, 17,
     T::PhotoshopInstallCheck, X, 0, 0, N},
    {I::PhotoshopFolderLabel, "PhotoshopFolderLabel", K::Label, kPagePhotoshopPlugin, 8, 136, 189, 17,
     // Its mnemonic leads to the folder field, as the VST and destination labels' do.
     T::PhotoshopFolderLabel, S, 0, -1, I::PhotoshopFolderInput},
    {I::PhotoshopFolderInput, "PhotoshopFolderInput", K::Edit, kPagePhotoshopPlugin, 8, 152, 305, 21, T::None, S,
     0, 1, N},
    {I::PhotoshopBrowseButton, "PhotoshopBrowseButton", K::Button, kPagePhotoshopPlugin, 238, 176, 75, 25,
     T::BrowseButton, S, 0, 2, N},

    {I::DestHeadingLabel, "DestHeadingLabel", K::Label, kPageDest, 8, 8, 237, 17, T::DestHeading, S,
     kBold, -1, N},
    {I::DestDescriptionLabel, "DestDescriptionLabel", K::Label, kPageDest, 8, 32, 293, 49,
     T::DestDescription,
     E, kWrap, -1, N},
    {I::DestStepLabel, "DestStepLabel", K::Label, kPageDest, 8, 84, 269, 33,
     T::DestStep, S, kWrap, -1, N},
    {I::DestFolderLabel, "DestFolderLabel", K::Label, kPageDest, 8, 124, 105, 17, T::DestFolderLabel, S,
     0, -1, I::DestFolderInput},
    {I::DestFolderInput, "DestFolderInput", K::Edit, kPageDest, 8, 140, 305, 21, T::None, S, 0, 0, N},
    {I::DestBrowseButton, "DestBrowseButton", K::Button, kPageDest, 238, 164, 75, 23, T::BrowseButton, S, 0, 1,
     N},

    {I::NameHeadingLabel, "NameHeadingLabel", K::Label, kPagePersonalize, 8, 8, 237, 17, T::NameHeading, S,
     kBold, -1, N},
    {I::NameInfoLabel, "NameInfoLabel", K::Label, kPagePersonalize, 8, 32, 293, 49,
     T::NameInfo, E, kWrap, -1, N},
    {I::NameLabel, "NameLabel", K::Label, kPagePersonalize, 8, 88, 269, 17, T::NameLabel, S, 0, -1,
     I::NameInput},
    {I::NameInput, "NameInput", K::Edit, kPagePersonalize, 8, 104, 305, 21, T::None, S, 0, 0, N},

    {I::IconHeadingLabel, "IconHeadingLabel", K::Label, kPageIcon, 8, 8, 237, 17, T::IconHeading, S,
     kBold, -1, N},
    {I::IconStartMenuLabel, "IconStartMenuLabel", K::Label, kPageIcon, 8, 32, 293, 33,
     T::IconStartMenuQuestion, E, kWrap, -1, N},
    {I::IconStartMenuCheck, "IconStartMenuCheck", K::CheckBox, kPageIcon, 8, 68, 205, 17,
     T::IconStartMenuCheck, S, kChecked, 0, N},
    {I::IconDesktopLabel, "IconDesktopLabel", K::Label, kPageIcon, 8, 108, 293, 33,
     T::IconDesktopQuestion, E, kWrap, -1, N},
    {I::IconDesktopCheck, "IconDesktopCheck", K::CheckBox, kPageIcon, 8, 144, 205, 17,
     T::IconDesktopCheck, S, kChecked, 1, N},
    // Two lines wide enough for the longer languages; English takes one.
    {I::InstallLabel, "InstallLabel", K::Label, kPageIcon, 8, 184, 305, 33,
     T::InstallStep, S, kWrap, -1, N},

    {I::CopyHeadingLabel, "CopyHeadingLabel", K::Label, kPageCopy, 8, 8, 237, 17, T::CopyHeading, S, kBold,
     -1, N},
    {I::CopyDescriptionLabel, "CopyDescriptionLabel", K::Label, kPageCopy, 8, 32, 269, 17,
     T::CopyDescription, S, 0, -1, N},
    {I::CopyStatusLabel, "CopyStatusLabel", K::Label, kPageCopy, 8, 84, 269, 17, T::CreatingShortcutsStatus, S,
     0, -1, N},
    {I::CopyProgressBar, "CopyProgressBar", K::ProgressBar, kPageCopy, 8, 104, 305, 13, T::None, S, 0, 0, N},

    {I::ReadyHeadingLabel, "ReadyHeadingLabel", K::Label, kPageReady, 8, 8, 237, 17, T::ReadyHeading,
     S, kBold, -1, N},
    {I::ReadyDescriptionLabel, "ReadyDescriptionLabel", K::Label, kPageReady, 8, 32, 293, 89,
     T::None, S, kWrap, -1, N},
    {I::ReadyReadmeLabel, "ReadyReadmeLabel", K::Label, kPageReady, 8, 124, 225, 21,
     T::ReadyReadmeQuestion, S, kWrap, -1, N},
    {I::ReadyReadmeCheck, "ReadyReadmeCheck", K::CheckBox, kPageReady, 8, 144, 169, 17, T::ReadyReadmeCheck, S,
     kChecked, 1, N},
    {I::ReadyStartLabel, "ReadyStartLabel", K::Label, kPageReady, 8, 184, 225, 21,
     T::ReadyStartQuestion, E, kWrap, -1, N},
    {I::ReadyStartCheck, "ReadyStartCheck", K::CheckBox, kPageReady, 8, 204, 185, 17, T::ReadyStartCheck,
     E, kChecked, 0, N},
}};

// Labels that name a field without a mnemonic of their own: each comes right before its field
// in keyboard order, so that a screen reader names the field by it.
struct NamingLabel {
    ControlId label, field;
};
constexpr NamingLabel kNamingLabels[] = {
    {I::LicenseHeadingLabel, I::LicenseMemo},
    {I::BundleDescriptionLabel, I::BundleList},
    {I::CopyStatusLabel, I::CopyProgressBar},
};

}  // namespace

const ControlDef& Control(ControlId id) {
    return kTable.at(Index(id));
}

constexpr int kFirstCommandId = 100;

int CommandId(ControlId id) {
    return kFirstCommandId + static_cast<int>(id);
}

ControlId FromCommandId(int commandId) {
    int index = commandId - kFirstCommandId;
    if (index < 0 || index >= static_cast<int>(kControlCount)) return ControlId::None;
    return static_cast<ControlId>(index);
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::Edit:
        case ControlKind::Memo:
        case ControlKind::CheckList:
            return true;
        default:
            return false;
    }
}

int KeyboardRank(ControlId id) {
    constexpr int kFormControls = 1000;  // above any page's controls
    constexpr int kUnranked = 100000;
    const ControlDef& def = Control(id);
    int base = def.page == kOnForm ? kFormControls : 0;
    if (def.tabOrder >= 0) return base + def.tabOrder * 2 + 1;
    if (ControlId field = NamedField(id); field != ControlId::None) return base + Control(field).tabOrder * 2;
    return kUnranked;
}

ControlId NamedField(ControlId label) {
    const ControlDef& def = Control(label);
    if (def.focusTarget != ControlId::None) return def.focusTarget;
    for (const NamingLabel& naming : kNamingLabels)
        if (naming.label == label) return naming.field;
    return ControlId::None;
}

bool ShowsMnemonic(ControlId id) {
    const ControlDef& def = Control(id);
    return def.kind != ControlKind::Label || def.focusTarget != ControlId::None;
}

char32_t MnemonicLetter(char32_t letter) {
    if (letter >= U'a' && letter <= U'z') return letter - U'a' + U'A';
    if (letter >= 0xE0 && letter <= 0xFE && letter != 0xF7) return letter - 0x20;  // Latin-1
    if (letter >= 0x430 && letter <= 0x44F) return letter - 0x20;                   // а-я
    if (letter >= 0x450 && letter <= 0x45F) return letter - 0x50;                   // ѐ-џ
    return letter;
}

char32_t Mnemonic(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return MnemonicLetter(LetterAt(caption, i + 1));
    }
    return 0;
}
