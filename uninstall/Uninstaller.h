// TUninstaller: removes what an installation logged, newest first, and leaves the removal of
// its own file and folders to a batch file that runs once the uninstaller has exited.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "archive/CommonClasses.h"
#include "system/Platform.h"
#include "uninstall/UninstallRecord.h"

// The batch file's name: the prefix, 16 random hexadecimal digits and the extension.
inline constexpr char kBatchFilePrefix[] = "Uninstall-";
inline constexpr char kBatchFileExtension[] = ".bat";
inline constexpr std::size_t kBatchFileNameLength =
    sizeof kBatchFilePrefix - 1 + 16 + sizeof kBatchFileExtension - 1;
// New names tried when one is taken already.
inline constexpr int kBatchFileNameTries = 8;
// The batch file's variables for paths beyond ASCII: PlugsetupPath1, PlugsetupPath2, ...
inline constexpr char kBatchPathVariable[] = "PlugsetupPath";
// The batch file gives up on an uninstaller file it cannot delete after this many tries, about
// one second apart.
inline constexpr int kBatchFileTries = 60;

class TUninstaller {
public:
    // Reads the running uninstaller's own record (or Uninstall.dat beside it); its errors
    // propagate.
    explicit TUninstaller(Platform& platform);

    const std::vector<UninstallItem>& Items() const { return items_; }
    const TProgramVersion& Version() const { return version_; }
    const std::string& ProductName() const { return productName_; }
    // The Uninstall.dat the record came from, which the batch file deletes; empty when the
    // record is appended to the uninstaller.
    const std::string& DataFile() const { return dataFile_; }
    // Folders only the batch file may remove: the uninstaller's own folder first, then every
    // logged folder that holds the uninstaller, in the order the removal met them.
    const std::vector<std::string>& DeferredFolders() const { return deferredFolders_; }

    // Whether the record is the one the setup wrote for this installation: the list of
    // installed programs names this uninstaller with the record's digest. A record put beside
    // a (signed) uninstaller, or an uninstaller copied next to one, is not.
    bool RecordBelongsHere();

    // Removes every logged item from the last to the first; true when no counted removal
    // failed (registry keys and deferred folders never count).
    bool RemoveAll();
    // The counted items the last removal could not remove, in the order it met them.
    const std::vector<std::string>& NotRemovedItems() const { return notRemoved_; }

    // The batch file's text: delete the uninstaller once it has exited, then its Uninstall.dat,
    // remove the deferred folders, delete itself. cmd.exe reads a batch file in the OEM code
    // page, not in the ANSI one our paths are in, so a path beyond ASCII reaches it through an
    // environment variable that the batch file inherits (environment receives each name and
    // value); ASCII paths are written as they are.
    std::string BatchFileText(const std::string& batchFile,
                              std::vector<std::pair<std::string, std::string>>* environment = nullptr) const;
    // The folder the batch file goes to, with a trailing backslash: the Program Files folder
    // when the uninstaller runs with administrator rights, else the temporary folder; an
    // ESetupError (NoBatchFolderMessage) when that is missing or too long for the batch file's
    // path to fit MAX_PATH.
    std::string BatchFileFolder() const;
    // Writes the batch file, under a new random name, as a new file in BatchFileFolder and
    // starts it hidden through cmd.exe; returns its path. A failure to save it propagates;
    // whether it started is not asked.
    std::string StartBatchFile(WindowRef owner);

private:
    std::string BatchFileName();
    void RemoveFolder(const std::string& folder);
    void NotRemoved(const std::string& item);
    void RemoveRegistryKey(RootKey root, bool view64, const std::string& keyPath);

    Platform& platform_;
    std::vector<UninstallItem> items_;
    TProgramVersion version_;
    std::string productName_;
    std::string dataFile_;
    std::string digest_;
    std::string ownFolder_;
    std::vector<std::string> deferredFolders_;
    std::vector<std::string> notRemoved_;
    bool failed_ = false;
};
