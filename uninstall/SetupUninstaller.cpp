#include "uninstall/SetupUninstaller.h"

#include "system/WindowsEx.h"
#include "uninstall/UninstallKey.h"
#include "texts/Texts.h"

TSetupUninstaller::TSetupUninstaller(Platform& platform, WindowRef owner)
    : platform_(platform), owner_(owner), uninstaller_(platform) {
    // The language its setup ran in, unless the command line names one; an entry without one
    // was written by an English run (or before languages), whose uninstaller spoke English.
    const std::string ownPath = platform_.OwnProgramPath();
    const LanguageRow* recorded = FindLanguage(RecordedValue(platform_, ownPath, kSetupLanguageValue));
    if (recorded == nullptr) recorded = &EnglishLanguage();
    const LanguageRow* language = FindLanguage(RequestedLanguage());
    SpeakLanguage(language != nullptr ? *language : *recorded);
    // The vendor's own texts are in the setup's language: they stand only when it is spoken.
    if (&SpokenLanguage() == recorded)
        ReplaceStoredUninstallerTexts(RecordedValue(platform_, ownPath, kSetupTextsValue));
}

std::string TSetupUninstaller::DisplayName() const {
    const TProgramVersion& version = uninstaller_.Version();
    std::string name = ProductName();
    if (version.Major < 1) return name;
    // A name that already ends in its major version ("Gadget 3") is not given it twice.
    const std::string majorSuffix = " " + std::to_string(version.Major);
    if (name.size() > 2 && name.compare(name.size() - 2, 2, majorSuffix) == 0) name.resize(name.size() - 2);
    return name + " " + version.AsString();
}

UninstallEnd TSetupUninstaller::Run() {
    // Before anything the record says is shown or done.
    if (!uninstaller_.RecordBelongsHere()) {
        // The product is not named: its name would come from that record.
        platform_.WarningBox(Text(TextId::ForeignRecordMessage));
        return UninstallEnd::Refused;
    }
    if (!HasAdminRights(platform_)) {
        platform_.WarningBox(Text(TextId::UninstallNoRightsMessage, ProductName()));
        return UninstallEnd::Refused;
    }
    if (!platform_.QuestionBox(Text(TextId::ConfirmRemovalQuestion, DisplayName())))
        return UninstallEnd::Declined;
    const bool complete = uninstaller_.RemoveAll();
    platform_.InformationBox(complete ? Text(TextId::UninstalledMessage)
                                      : Text(TextId::UninstalledWithLeftoversMessage, ProductName()));
    uninstaller_.StartBatchFile(owner_);
    return UninstallEnd::Removed;
}
