#include "wizard/ControlTable.h"

#include <array>
#include <cctype>

namespace {

using K = ControlKind;
using P = CaptionPrep;
using I = ControlId;
constexpr P S = P::AsStored;
constexpr P E = P::Expand;
constexpr P X = P::ExpandPlugin;
constexpr I N = I::None;

// Listed in ControlId order; Control() relies on it and the tests check it.
constexpr std::array<ControlDef, kControlCount> kTable{{
    {I::Panel, "Panel", K::Panel, kOnForm, 8, 8, 154, 354, "", S, 0, 4, N},
    {I::Image, "Image", K::Image, kInPanel, 0, 0, 150, 350, "", S, 0, -1, N},
    {I::Notebook, "Notebook", K::Notebook, kOnForm, 176, 8, 325, 313, "", S, 0, 0, N},
    {I::BackButton, "BackButton", K::Button, kOnForm, 249, 339, 75, 23, "< &Back", S, 0, 1, N},
    {I::NextButton, "NextButton", K::Button, kOnForm, 324, 339, 75, 23, "&Next >", S, kDefault, 2, N},
    {I::CancelButton, "CancelButton", K::Button, kOnForm, 425, 339, 75, 23, "Cancel", S, kCancel, 3, N},

    {I::WelcomeHeadingLabel, "WelcomeHeadingLabel", K::Label, kPageWelcome, 8, 8, 305, 17,
     "Welcome to $ProductName Setup", E, kBold, -1, N},
    {I::WelcomeDescriptionLabel, "WelcomeDescriptionLabel", K::Label, kPageWelcome, 8, 32, 305, 41,
     "This program will install $FullProductName on your computer.", E, kWrap, -1, N},
    {I::WelcomeStepLabel, "WelcomeStepLabel", K::Label, kPageWelcome, 8, 72, 305, 225,
     "Click the Next button to continue.", S, kWrap, -1, N},

    {I::LicenseHeadingLabel, "LicenseHeadingLabel", K::Label, kPageLicense, 8, 8, 237, 17,
     "License Agreement", S, kBold, -1, N},
    {I::LicenseMemo, "LicenseMemo", K::Memo, kPageLicense, 8, 32, 305, 217, "", S, 0, 0, N},
    {I::LicenseStepLabel, "LicenseStepLabel", K::Label, kPageLicense, 8, 264, 289, 37,
     "Do you accept this license agreement? If you choose No, Setup will close.", S, kWrap, -1, N},

    {I::BundleHeadingLabel, "BundleHeadingLabel", K::Label, kPageBundleItems, 8, 8, 305, 17,
     "$BundleSelectHeading", E, kBold, -1, N},
    {I::BundleDescriptionLabel, "BundleDescriptionLabel", K::Label, kPageBundleItems, 8, 32, 305, 17,
     "$BundleSelectDescription", E, 0, -1, N},
    {I::BundleList, "BundleList", K::CheckList, kPageBundleItems, 8, 64, 309, 209, "", S, 0, 0, N},
    {I::SelectAllButton, "SelectAllButton", K::Button, kPageBundleItems, 132, 280, 89, 23, "Select &All", S,
     0, 1, N},
    {I::SelectNoneButton, "SelectNoneButton", K::Button, kPageBundleItems, 228, 280, 89, 23, "Select N&one",
     S, 0, 2, N},

    {I::VstHeadingLabel, "VstHeadingLabel", K::Label, kPageVstPlugins, 8, 8, 237, 17,
     "VST Plug-In Installation$BitSuffix", X, kBold, -1, N},
    {I::Vst2DescriptionLabel, "Vst2DescriptionLabel", K::Label, kPageVstPlugins, 8, 32, 293, 65,
     "The VST 2 $PluginDescription needs to be installed in the plug-in folder for your VST host. Use the "
     "Browse "
     "button to select the proper VST 2 plug-in folder on your computer.",
     X, kWrap, -1, N},
    {I::Vst2InstallCheck, "Vst2InstallCheck", K::CheckBox, kPageVstPlugins, 8, 100, 313, 17,
     "&Install the VST 2 $PluginDescription", X, 0, 2, N},
    {I::Vst2FolderLabel, "Vst2FolderLabel", K::Label, kPageVstPlugins, 8, 128, 273, 17,
     "VST 2 Plug-In &Folder$BitSuffix:", X, 0, -1, I::Vst2FolderInput},
    {I::Vst2FolderInput, "Vst2FolderInput", K::Edit, kPageVstPlugins, 8, 144, 305, 21, "", S, 0, 0, N},
    {I::Vst2BrowseButton, "Vst2BrowseButton", K::Button, kPageVstPlugins, 238, 168, 75, 23, "&Browse...", S,
     0, 1, N},
    {I::Vst3InstallCheck, "Vst3InstallCheck", K::CheckBox, kPageVstPlugins, 8, 204, 313, 17,
     "Install the VST &3 $PluginDescription", X, 0, 3, N},
    {I::Vst3ListLabel, "Vst3ListLabel", K::Label, kPageVstPlugins, 25, 220, 287, 17, "(Only for $List)", S, 0,
     -1, N},
    {I::Vst3DescriptionLabel, "Vst3DescriptionLabel", K::Label, kPageVstPlugins, 8, 244, 301, 65,
     "This will install the VST 3 $PluginDescription in the common VST 3 plug-in folder on your computer. "
     "(VST 3 "
     "is a newer version of VST that requires a VST 3 host.)",
     X, kWrap, -1, N},
    // CLAP alone takes VST 3's place; beside it, the two share that place (kVst3AndClapPlacements).
    {I::ClapInstallCheck, "ClapInstallCheck", K::CheckBox, kPageVstPlugins, 8, 204, 313, 17,
     "Install the &CLAP $PluginDescription", X, 0, 4, N},
    {I::ClapListLabel, "ClapListLabel", K::Label, kPageVstPlugins, 25, 220, 287, 17, "(Only for $List)", S, 0,
     -1, N},
    {I::ClapDescriptionLabel, "ClapDescriptionLabel", K::Label, kPageVstPlugins, 8, 244, 301, 65,
     "This will install the CLAP $PluginDescription in the common CLAP plug-in folder on your computer. "
     "(CLAP is a newer plug-in format that requires a CLAP host.)",
     X, kWrap, -1, N},

    {I::DigiHeadingLabel, "DigiHeadingLabel", K::Label, kPageDigiPlugins, 8, 8, 237, 17,
     "Pro Tools Plug-In Installation", S, kBold, -1, N},
    {I::DigiDescriptionLabel, "DigiDescriptionLabel", K::Label, kPageDigiPlugins, 8, 32, 293, 49,
     "Please select whether to install the $ProToolsFormats $PluginDescription for Pro Tools.", X, kWrap, -1,
     N},
    {I::RtasInstallCheck, "RtasInstallCheck", K::CheckBox, kPageDigiPlugins, 8, 84, 313, 17,
     "&Install the RTAS $PluginDescription", S, kHidden, 0, N},
    {I::RtasDescriptionLabel, "RtasDescriptionLabel", K::Label, kPageDigiPlugins, 8, 108, 293, 65,
     "This installs the RTAS $PluginDescription to the common RTAS plug-ins folder on your computer. The "
     "RTAS "
     "format is supported by Pro Tools 10 and earlier versions.",
     S, kWrap | kHidden, -1, N},
    {I::AaxInstallCheck, "AaxInstallCheck", K::CheckBox, kPageDigiPlugins, 8, 196, 313, 17,
     "&Install the AAX $PluginDescription", X, 0, 1, N},
    {I::AaxDescriptionLabel, "AaxDescriptionLabel", K::Label, kPageDigiPlugins, 8, 220, 293, 65,
     "This installs the AAX $PluginDescription to the common AAX plug-ins folder on your computer. $AaxInfo",
     X, kWrap, -1, N},

    {I::PhotoshopHeadingLabel, "PhotoshopHeadingLabel", K::Label, kPagePhotoshopPlugin, 8, 8, 241, 17,
     "Adobe Photoshop Plug-in Installation", S, kBold, -1, N},
    {I::PhotoshopInfoLabel, "PhotoshopInfoLabel", K::Label, kPagePhotoshopPlugin, 8, 32, 293, 73,
     "The Adobe Photoshop $PluginDescription needs to be installed in the Photoshop plug-ins folder. Use the "
     "Browse button to select the plug-ins folder on your computer.",
     X, kWrap, -1, N},
    {I::PhotoshopInstallCheck, "PhotoshopInstallCheck", K::CheckBox, kPagePhotoshopPlugin, 8, 108, 301, 17,
     "&Install the Photoshop $PluginDescription", X, 0, 0, N},
    {I::PhotoshopFolderLabel, "PhotoshopFolderLabel", K::Label, kPagePhotoshopPlugin, 8, 136, 189, 17,
     // Its mnemonic leads to the folder field, as the VST and destination labels' do.
     "Adobe Photoshop plug-ins &folder:", S, 0, -1, I::PhotoshopFolderInput},
    {I::PhotoshopFolderInput, "PhotoshopFolderInput", K::Edit, kPagePhotoshopPlugin, 8, 152, 305, 21, "", S,
     0, 1, N},
    {I::PhotoshopBrowseButton, "PhotoshopBrowseButton", K::Button, kPagePhotoshopPlugin, 238, 176, 75, 25,
     "&Browse...", S, 0, 2, N},

    {I::DestHeadingLabel, "DestHeadingLabel", K::Label, kPageDest, 8, 8, 237, 17, "Destination Folder", S,
     kBold, -1, N},
    {I::DestDescriptionLabel, "DestDescriptionLabel", K::Label, kPageDest, 8, 32, 293, 49,
     "Setup needs to know where to install $InstallDescription. Please type a folder below, or use the "
     "Browse "
     "button to choose a folder.",
     E, kWrap, -1, N},
    {I::DestStepLabel, "DestStepLabel", K::Label, kPageDest, 8, 84, 269, 33,
     "If you are unsure, it is recommended to use the default folder shown below.", S, kWrap, -1, N},
    {I::DestFolderLabel, "DestFolderLabel", K::Label, kPageDest, 8, 124, 105, 17, "Destination &Folder:", S,
     0, -1, I::DestFolderInput},
    {I::DestFolderInput, "DestFolderInput", K::Edit, kPageDest, 8, 140, 305, 21, "", S, 0, 0, N},
    {I::DestBrowseButton, "DestBrowseButton", K::Button, kPageDest, 238, 164, 75, 23, "&Browse...", S, 0, 1,
     N},

    {I::NameHeadingLabel, "NameHeadingLabel", K::Label, kPagePersonalize, 8, 8, 237, 17, "Personalization", S,
     kBold, -1, N},
    {I::NameInfoLabel, "NameInfoLabel", K::Label, kPagePersonalize, 8, 32, 293, 49,
     "Please enter your full name below to identify yourself. $PersonalizeInfo", E, kWrap, -1, N},
    {I::NameLabel, "NameLabel", K::Label, kPagePersonalize, 8, 88, 269, 17, "Your N&ame:", S, 0, -1,
     I::NameInput},
    {I::NameInput, "NameInput", K::Edit, kPagePersonalize, 8, 104, 305, 21, "", S, 0, 0, N},

    {I::IconHeadingLabel, "IconHeadingLabel", K::Label, kPageIcon, 8, 8, 237, 17, "Create Shortcuts", S,
     kBold, -1, N},
    {I::IconStartMenuLabel, "IconStartMenuLabel", K::Label, kPageIcon, 8, 32, 293, 33,
     "Do you want Setup to create a shortcut to $InstallDescription in the Start Menu?", E, kWrap, -1, N},
    {I::IconStartMenuCheck, "IconStartMenuCheck", K::CheckBox, kPageIcon, 8, 68, 205, 17,
     "Create a shortcut in the &Start Menu", S, kChecked, 0, N},
    {I::IconDesktopLabel, "IconDesktopLabel", K::Label, kPageIcon, 8, 108, 293, 33,
     "Do you want Setup to create a shortcut to $InstallDescription on the desktop?", E, kWrap, -1, N},
    {I::IconDesktopCheck, "IconDesktopCheck", K::CheckBox, kPageIcon, 8, 144, 205, 17,
     "Create a shortcut on the &desktop", S, kChecked, 1, N},
    {I::InstallLabel, "InstallLabel", K::Label, kPageIcon, 8, 184, 221, 17,
     "Click Install to start copying files.", S, 0, -1, N},

    {I::CopyHeadingLabel, "CopyHeadingLabel", K::Label, kPageCopy, 8, 8, 237, 17, "Copying Files", S, kBold,
     -1, N},
    {I::CopyDescriptionLabel, "CopyDescriptionLabel", K::Label, kPageCopy, 8, 32, 269, 17,
     "Setup is now copying files to your computer.", S, 0, -1, N},
    {I::CopyStatusLabel, "CopyStatusLabel", K::Label, kPageCopy, 8, 84, 269, 17, "Creating shortcuts...", S,
     0, -1, N},
    {I::CopyProgressBar, "CopyProgressBar", K::ProgressBar, kPageCopy, 8, 104, 305, 13, "", S, 0, 0, N},

    {I::ReadyHeadingLabel, "ReadyHeadingLabel", K::Label, kPageReady, 8, 8, 237, 17, "Installation Completed",
     S, kBold, -1, N},
    {I::ReadyDescriptionLabel, "ReadyDescriptionLabel", K::Label, kPageReady, 8, 32, 293, 89,
     "CompleteMessage", S, kWrap, -1, N},
    {I::ReadyReadmeLabel, "ReadyReadmeLabel", K::Label, kPageReady, 8, 124, 225, 21,
     "Do you want to view Readme.txt now?", S, kWrap, -1, N},
    {I::ReadyReadmeCheck, "ReadyReadmeCheck", K::CheckBox, kPageReady, 8, 144, 169, 17, "Show &Readme.txt", S,
     kChecked, 1, N},
    {I::ReadyStartLabel, "ReadyStartLabel", K::Label, kPageReady, 8, 184, 225, 21,
     "Do you want to start $ProductName now?", E, kWrap, -1, N},
    {I::ReadyStartCheck, "ReadyStartCheck", K::CheckBox, kPageReady, 8, 204, 185, 17, "&Start $ProductName",
     E, kChecked, 0, N},
}};

}  // namespace

const ControlDef& Control(ControlId id) {
    return kTable.at(Index(id));
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
    if (def.focusTarget != ControlId::None) return base + Control(def.focusTarget).tabOrder * 2;
    return kUnranked;
}

char Mnemonic(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}
