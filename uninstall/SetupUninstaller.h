// TSetupUninstaller: the uninstaller run as the user sees it: the rights check, the
// confirmation, the removal, the report and the batch file that removes the uninstaller.
#pragma once

#include <string>

#include "system/Platform.h"
#include "uninstall/Uninstaller.h"

inline constexpr char kNoRightsMessage[] =
    "You must have Administrator or Power User rights to uninstall %s.\rPlease log on as a different user "
    "and "
    "try again.";
inline constexpr char kConfirmRemovalMessage[] =
    "Are you sure you want to completely remove %s\rand all of its components?";
inline constexpr char kUninstalledMessage[] = "Uninstallation successfully completed.";
inline constexpr char kUninstalledWithLeftoversMessage[] =
    "Uninstallation successfully completed.\r\rSome items could not be removed. You should manually \rremove "
    "items related to %s.";

// Shown instead of the question when the record is not the one this installation wrote; the
// product name is not named, since it comes from that record.
inline constexpr char kForeignRecordMessage[] =
    "The uninstall data of this uninstaller does not match the installation it belongs to.\rNothing has "
    "been removed. Install the product again to uninstall it.";

// How a run ended: the product removed (leftovers or not), the user answered No, or the user
// lacks the rights to remove it or the record is not this installation's.
enum class UninstallEnd { Removed, Declined, Refused };

class TSetupUninstaller {
public:
    // Reads the uninstall record; its errors propagate.
    explicit TSetupUninstaller(Platform& platform, WindowRef owner = 0);

    const std::string& ProductName() const { return uninstaller_.ProductName(); }
    // The product name with the recorded version, as the confirmation names the product.
    std::string DisplayName() const;
    TUninstaller& Uninstaller() { return uninstaller_; }

    UninstallEnd Run();

private:
    Platform& platform_;
    WindowRef owner_;
    TUninstaller uninstaller_;
};
