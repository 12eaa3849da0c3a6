#include "uninstall/SetupUninstaller.h"

#include "system/WindowsEx.h"

namespace {

std::string FormatWith(const char* pattern, const std::string& value) {
    std::string text = pattern;
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace

TSetupUninstaller::TSetupUninstaller(Platform& platform, WindowRef owner)
    : platform_(platform), owner_(owner), uninstaller_(platform) {}

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
        platform_.WarningBox(kForeignRecordMessage);
        return UninstallEnd::Refused;
    }
    if (!HasAdminRights(platform_)) {
        platform_.WarningBox(FormatWith(kNoRightsMessage, ProductName()));
        return UninstallEnd::Refused;
    }
    if (!platform_.QuestionBox(FormatWith(kConfirmRemovalMessage, DisplayName())))
        return UninstallEnd::Declined;
    const bool complete = uninstaller_.RemoveAll();
    platform_.InformationBox(complete ? std::string(kUninstalledMessage)
                                      : FormatWith(kUninstalledWithLeftoversMessage, ProductName()));
    uninstaller_.StartBatchFile(owner_);
    return UninstallEnd::Removed;
}
