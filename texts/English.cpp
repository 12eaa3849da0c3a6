// The English texts: the reference every other table follows, id for id.
#include "texts/LanguageTables.h"

namespace {

using T = TextId;

constexpr TextEntry kTexts[] = {
    {T::WindowCaption, "$ProductName Setup$BitSuffix"},
    {T::BitSuffix, " (64-bit)"},
    {T::SetupTitle, "Setup"},
    {T::UninstallerTitleSuffix, " Uninstaller"},
    {T::WarningCaption, "Warning"},
    {T::ConfirmCaption, "Confirm"},
    {T::InformationCaption, "Information"},
    {T::BackButton, "< &Back"},
    {T::NextButton, "&Next >"},
    {T::CancelButton, "Cancel"},
    {T::YesButton, "&Yes"},
    {T::NoButton, "&No"},
    {T::InstallButton, "&Install"},
    {T::FinishButton, "&Finish"},
    {T::BrowseButton, "&Browse..."},
    {T::WelcomeHeading, "Welcome to $ProductName Setup"},
    {T::WelcomeDescription, "This program will install $FullProductName on your computer."},
    {T::WelcomeStep, "Click the Next button to continue."},
    {T::LicenseHeading, "License Agreement"},
    {T::LicenseStep, "Do you accept this license agreement? If you choose No, Setup will close."},
    {T::BundleHeading, "$BundleSelectHeading"},
    {T::BundleDescription, "$BundleSelectDescription"},
    {T::SelectAllButton, "Select &All"},
    {T::SelectNoneButton, "Select N&one"},
    {T::VstHeading, "VST Plug-In Installation$BitSuffix"},
    {T::Vst2Description,
     "The VST 2 $PluginDescription needs to be installed in the plug-in folder for your VST host. Use the Browse "
     "button to select the proper VST 2 plug-in folder on your computer."},
    {T::Vst2InstallCheck, "&Install the VST 2 $PluginDescription"},
    {T::Vst2FolderLabel, "VST 2 Plug-In &Folder$BitSuffix:"},
    {T::Vst2BrowseTitle, "Select the VST plug-in folder on your computer:"},
    {T::Vst3InstallCheck, "Install the VST &3 $PluginDescription"},
    {T::OnlyForList, "(Only for $List)"},
    {T::Vst3Description,
     "This will install the VST 3 $PluginDescription in the common VST 3 plug-in folder on your computer. (VST 3 "
     "is a newer version of VST that requires a VST 3 host.)"},
    {T::Vst3SharedDescription, "In the common VST 3 plug-in folder, for VST 3 hosts."},
    {T::ClapInstallCheck, "Install the &CLAP $PluginDescription"},
    {T::ClapDescription,
     "This will install the CLAP $PluginDescription in the common CLAP plug-in folder on your computer. "
     "(CLAP is a newer plug-in format that requires a CLAP host.)"},
    {T::ClapSharedDescription, "In the common CLAP plug-in folder, for CLAP hosts."},
    {T::PluginsForProduct, "plug-ins for $ProductName"},
    {T::PluginVersionOfProduct, "plug-in version of $ProductName"},
    {T::DigiHeading, "Pro Tools Plug-In Installation"},
    {T::DigiDescription, "Please select whether to install the $ProToolsFormats $PluginDescription for Pro Tools."},
    {T::RtasInstallCheck, "&Install the RTAS $PluginDescription"},
    {T::RtasDescription,
     "This installs the RTAS $PluginDescription to the common RTAS plug-ins folder on your computer. The RTAS "
     "format is supported by Pro Tools 10 and earlier versions."},
    {T::AaxInstallCheck, "&Install the AAX $PluginDescription"},
    {T::AaxDescription,
     "This installs the AAX $PluginDescription to the common AAX plug-ins folder on your computer. $AaxInfo"},
    {T::Aax64Info, "The 64-bit AAX format replaces RTAS and is supported starting from Pro Tools 11."},
    {T::Aax32Info, "The 32-bit AAX format replaces RTAS and requires Pro Tools 10.3.5 or later."},
    {T::PhotoshopHeading, "Adobe Photoshop Plug-in Installation"},
    {T::PhotoshopInfo,
     "The Adobe Photoshop $PluginDescription needs to be installed in the Photoshop plug-ins folder. Use the "
     "Browse button to select the plug-ins folder on your computer."},
    {T::PhotoshopInstallCheck, "&Install the Photoshop $PluginDescription"},
    {T::PhotoshopFolderLabel, "Adobe Photoshop plug-ins &folder:"},
    {T::PhotoshopBrowseTitle, "Select the Adobe Photoshop plug-ins folder on your computer:"},
    {T::DestHeading, "Destination Folder"},
    {T::DestDescription,
     "Setup needs to know where to install $InstallDescription. Please type a folder below, or use the Browse "
     "button to choose a folder."},
    {T::DestStep, "If you are unsure, it is recommended to use the default folder shown below."},
    {T::DestFolderLabel, "Destination &Folder:"},
    {T::DestBrowseTitle, "Select the folder in which $ProductName will be installed:"},
    {T::NameHeading, "Personalization"},
    {T::NameInfo, "Please enter your full name below to identify yourself. $PersonalizeInfo"},
    {T::NameLabel, "Your N&ame:"},
    {T::IconHeading, "Create Shortcuts"},
    {T::IconStartMenuQuestion, "Do you want Setup to create a shortcut to $InstallDescription in the Start Menu?"},
    {T::IconStartMenuCheck, "Create a shortcut in the &Start Menu"},
    {T::IconDesktopQuestion, "Do you want Setup to create a shortcut to $InstallDescription on the desktop?"},
    {T::IconDesktopCheck, "Create a shortcut on the &desktop"},
    {T::InstallStep, "Click Install to start copying files."},
    {T::CopyHeading, "Copying Files"},
    {T::CopyDescription, "Setup is now copying files to your computer."},
    {T::ReadyHeading, "Installation Completed"},
    {T::DefaultCompleteMessage,
     "$ProductName has been installed successfully. You can start $ProductName from the Start menu or the "
     "desktop. Please read the Readme.txt file for additional information."},
    {T::ReadyReadmeQuestion, "Do you want to view Readme.txt now?"},
    {T::ReadyReadmeCheck, "Show &Readme.txt"},
    {T::ReadyStartQuestion, "Do you want to start $ProductName now?"},
    {T::ReadyStartCheck, "&Start $ProductName"},
    {T::NoBundleItemWarning, "You need to install at least one item."},
    {T::FolderErrorWarning, "Could not create the folder '%s'.\rPlease specify a valid name."},
    {T::NoNameWarning, "Please enter your name first."},
    {T::CancelQuestion,
     "$FullProductName has not been fully installed yet.\rAre you sure you want to cancel $ProductName Setup?"},
    {T::SameMajorQuestion,
     "It is recommended to install this new version of $ProductName\rinto the same folder as your existing copy. "
     "This will ensure\rthat your currently installed version is upgraded properly.\r\rAre you sure you want to "
     "install it to a different folder?"},
    {T::NewMajorQuestion,
     "It is recommended to install this new version of $ProductName\rinto a new folder to preserve your currently "
     "installed copy.\r\rAre you sure you want to overwrite your existing copy?"},
    {T::AlreadyRunningError,
     "Another setup of $FullProductName is already running.\rPlease let it finish, then try again."},
    {T::PreparingStatus, "Preparing installation..."},
    {T::CopyingStatus, "Copying files..."},
    {T::InitializingStatus, "Initializing components..."},
    {T::CreatingSettingsStatus, "Creating settings..."},
    {T::CreatingShortcutsStatus, "Creating shortcuts..."},
    {T::NoAdminRightsMessage,
     "You must have Administrator or Power User rights to install\r$ProductName on this computer. Setup will now "
     "close.\r\rPlease log on as a different user and try again."},
    {T::Need64BitWindowsMessage,
     "You must run a 64-bit edition of Windows to be able to install\rthe 64-bit version of $ProductName. Setup "
     "will now close.\r\rPlease download and run the 32-bit installer instead."},
    {T::NeedX64EmulationMessage,
     "This computer has an Arm processor, and its edition of Windows cannot run x64 programs.\r$ProductName is "
     "built for x64 processors only. Setup will now close.\r\rPlease update to Windows 11, which runs x64 "
     "programs, or use an installer that carries Arm64 plug-ins."},
    {T::NotEnoughSpaceMessage,
     "There is not enough space on the destination drive.\rPlease free up some space and then try again"},
    {T::PathTooLongMessage,
     "The path '%s' is longer than Windows allows.\rPlease choose a shorter destination folder and then try again"},
    {T::CannotInstallFileMessage,
     "Cannot install the file '%s'.\r\rPlease close all running applications to make sure the file is not in use "
     "before retrying."},
    {T::FilesInUseMessage, "Setup cannot replace these files because another program is using them:\r\r%s"},
    {T::ProgramsUsingFilesMessage, "\r\rThey are in use by:\r\r%s"},
    {T::MoreFilesInUseLine, "\r... and %s more"},
    {T::CloseProgramsMessage,
     "\r\rPlease close the program (such as a host application with the plug-in loaded) and click Retry. Click "
     "Cancel to end Setup without changing anything on this computer."},
    {T::UninstallNoRightsMessage,
     "You must have Administrator or Power User rights to uninstall %s.\rPlease log on as a different user and "
     "try again."},
    {T::ConfirmRemovalQuestion, "Are you sure you want to completely remove %s\rand all of its components?"},
    {T::UninstalledMessage, "Uninstallation successfully completed."},
    {T::UninstalledWithLeftoversMessage,
     "Uninstallation successfully completed.\r\rSome items could not be removed. You should manually \rremove "
     "items related to %s."},
    {T::ForeignRecordMessage,
     "The uninstall data of this uninstaller does not match the installation it belongs to.\rNothing has been "
     "removed. Install the product again to uninstall it."},
    {T::NoBatchFolderMessage,
     "There is no folder for the batch file that removes the uninstaller; the uninstaller and its folder "
     "stay."},
    {T::ApplicationErrorCaption, "Application Error"},
    {T::ShutdownBlockedReason,
     "Setup is installing. Stopping it now "
     "would leave the product half installed."},
    {T::CannotOpenFileMessage, "Cannot open file \"%s\"."},
    {T::CannotCreateFileMessage, "Cannot create file \"%s\"."},
    {T::CannotReadFileMessage, "Cannot read file \"%s\"."},
    {T::CannotSeekFileMessage, "Cannot move to a position in file \"%s\"."},
    {T::CannotWriteFileMessage, "Cannot write file \"%s\"."},
};

}  // namespace

const std::span<const TextEntry> kEnglishTexts = kTexts;
