// TUninstaller: removes what an installation logged, newest first, and leaves the removal of
// its own file and folders to a batch file that runs once the uninstaller has exited.
#pragma once

#include <string>
#include <vector>

#include "archive/CommonClasses.h"
#include "system/Platform.h"

inline constexpr char kBatchFileName[] = "Uninstall.bat";
// The batch file gives up on an uninstaller file it cannot delete after this many tries, about
// one second apart.
inline constexpr int kBatchFileTries = 60;

class TUninstaller {
public:
    // Reads the running uninstaller's own record (or Uninstall.dat beside it); its errors
    // propagate.
    explicit TUninstaller(Platform& platform);

    const std::vector<std::string>& Log() const { return log_; }
    const TProgramVersion& Version() const { return version_; }
    const std::string& ProductName() const { return productName_; }
    // Folders only the batch file may remove: the uninstaller's own folder first, then every
    // logged folder that holds the uninstaller, in the order the removal met them.
    const std::vector<std::string>& DeferredFolders() const { return deferredFolders_; }

    // Removes every logged item from the last to the first; true when no counted removal
    // failed (registry keys and deferred folders never count).
    bool RemoveAll();

    // The batch file's text: delete the uninstaller once it has exited, remove the deferred
    // folders, delete itself.
    std::string BatchFileText(const std::string& batchFile) const;
    // The folder Uninstall.bat goes to, with a trailing backslash: the temporary folder, unless
    // it is missing or so long that the batch file's path would not fit in MAX_PATH (the shell
    // and cmd could not start it); then the Windows folder's Temp, else C:\.
    std::string BatchFileFolder() const;
    // Writes Uninstall.bat to BatchFileFolder and starts it hidden; returns its path. A failure
    // to save it propagates; whether it started is not asked.
    std::string StartBatchFile(WindowRef owner);

private:
    void RemoveFolder(const std::string& folder);
    void RemoveRegistryKey(RootKey root, bool view64, const std::string& keyPath);

    Platform& platform_;
    std::vector<std::string> log_;
    TProgramVersion version_;
    std::string productName_;
    std::string ownFolder_;
    std::vector<std::string> deferredFolders_;
    bool failed_ = false;
};
