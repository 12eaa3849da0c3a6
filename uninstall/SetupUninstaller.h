// TSetupUninstaller: the uninstaller run as the user sees it: the rights check, the
// confirmation, the removal, the report and the batch file that removes the uninstaller.
#pragma once

#include <string>

#include "system/Platform.h"
#include "uninstall/Uninstaller.h"



// How a run ended: the product removed (leftovers or not), the user answered No, or the user
// lacks the rights to remove it or the record is not this installation's.
enum class UninstallEnd { Removed, Declined, Refused };

class TSetupUninstaller {
public:
    // Reads the uninstall record, and speaks the language the command line names, else the one
    // its setup ran in (the product's Uninstall key), else English; the record's errors propagate.
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
