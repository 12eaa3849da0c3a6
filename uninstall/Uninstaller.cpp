#include "uninstall/Uninstaller.h"

#include <algorithm>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/Stream.h"
#include "system/Utf8.h"
#include "system/WindowsEx.h"
#include "texts/Texts.h"
#include "uninstall/UninstallKey.h"
#include "uninstall/UninstallRecord.h"

namespace {

constexpr std::uint32_t kAttrAnything = 63;

// Inside a batch file cmd expands "%" even within quotes; "%%" stands for one.
std::string BatchQuoted(const std::string& path) {
    std::string result = "\"";
    for (char c : path) {
        result += c;
        if (c == '%') result += '%';
    }
    return result + '"';
}

std::string WithoutTrailingBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

TUninstaller::TUninstaller(Platform& platform) : platform_(platform) {
    StoredUninstallRecord stored = LoadOwnUninstallRecord(platform);
    items_ = std::move(stored.record.items);
    version_ = stored.record.version;
    productName_ = std::move(stored.record.productName);
    dataFile_ = std::move(stored.dataFile);
    digest_ = std::move(stored.digest);
    ownFolder_ = OwnFolder(platform);
    deferredFolders_.push_back(ownFolder_);
}

bool TUninstaller::RecordBelongsHere() {
    return StandingOfRecord(platform_, platform_.OwnProgramPath(), digest_) == RecordStanding::Authentic;
}

bool TUninstaller::RemoveAll() {
    failed_ = false;
    notRemoved_.clear();
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
        const std::string& text = item->text;
        // A damaged line must never reach the current folder (often the system folder):
        // file and folder items are only ever recorded with full paths.
        if (IsPathItem(item->kind) && item->kind != ItemKind::ExistingFolder && !IsAbsolutePath(text)) {
            NotRemoved(text);
            continue;
        }
        switch (item->kind) {
            case ItemKind::File:
                platform_.ChangeFileAttributes(text, kAttrNormal);
                if (!platform_.RemoveFile(text)) NotRemoved(text);
                break;
            case ItemKind::CreatedFolder:
                RemoveFolder(text);
                break;
            case ItemKind::FolderWithContents: {
                // The files directly inside; what cannot go shows when the folder stays.
                const std::string folder = IncludeBackslash(text);
                TFileEnumerator files(platform_, folder + "*.*", kAttrAnything);
                std::vector<std::string> names;
                while (files.Next())
                    if (!files.HasAttribute(kAttrDirectory)) names.push_back(files.FileName());
                for (const std::string& name : names) {
                    platform_.ChangeFileAttributes(folder + name, kAttrNormal);
                    platform_.RemoveFile(folder + name);
                }
                RemoveFolder(text);
                break;
            }
            case ItemKind::CurrentUserKey:
            case ItemKind::ClassesRootKey:
            case ItemKind::LocalMachineKey:
            case ItemKind::LocalMachine64Key: {
                const RegistryItemPlace place = *RegistryPlaceOf(item->kind);
                RemoveRegistryKey(place.root, place.view64, text);
                break;
            }
            case ItemKind::ExistingFolder:
            case ItemKind::Unknown:  // empty lines too
                break;
        }
    }
    return !failed_;
}

void TUninstaller::RemoveFolder(const std::string& folder) {
    // The uninstaller's own folder and the folders above it still hold the running program:
    // the batch file removes them once it is gone. Compared with a trailing backslash, so a
    // folder whose name merely starts like one of them is no ancestor.
    const std::string asFolder = IncludeBackslash(folder);
    if (platform_.DirectoryExists(folder) && asFolder.size() <= ownFolder_.size() &&
        SameText(asFolder, ownFolder_.substr(0, asFolder.size()))) {
        deferredFolders_.push_back(folder);
        return;
    }
    // A plug-in folder may have been marked read-only for its desktop.ini.
    platform_.ChangeFileAttributes(folder, kAttrNormal);
    if (!platform_.RemoveFolder(folder)) NotRemoved(folder);
}

void TUninstaller::NotRemoved(const std::string& item) {
    failed_ = true;
    notRemoved_.push_back(item);
}

void TUninstaller::RemoveRegistryKey(RootKey root, bool view64, const std::string& keyPath) {
    // An empty path would name the whole root: a damaged line must not wipe the hive.
    if (keyPath.find_first_not_of('\\') == std::string::npos) return;
    TRegistry64 registry(platform_, view64);
    registry.SetRootKey(root);
    registry.DeleteKey(keyPath);
}

std::string TUninstaller::BatchFileText(const std::string& batchFile,
                                        std::vector<std::pair<std::string, std::string>>* environment) const {
    std::vector<std::pair<std::string, std::string>> variables;
    auto quoted = [&](const std::string& path) {
        const bool ascii = std::all_of(path.begin(), path.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) return BatchQuoted(path);
        auto found = std::find_if(variables.begin(), variables.end(),
                                  [&](const auto& variable) { return variable.second == path; });
        if (found == variables.end()) {
            variables.emplace_back(kBatchPathVariable + std::to_string(variables.size() + 1), path);
            found = variables.end() - 1;
        }
        return "\"%" + found->first + "%\"";
    };
    const std::string program = quoted(platform_.OwnProgramPath());
    // With delayed expansion on (the registry may turn it on for every cmd.exe), "!" in a
    // folder's name would be expanded away and another folder named: it is off for the whole
    // file, whatever started it. The counter starts at 0 whatever the environment holds.
    std::string text = "@setlocal DisableDelayedExpansion\r\n";
    text += "set PlugsetupTries=0\r\n";
    // The uninstaller's file stays locked until its process ends; the loop waits for that with
    // a pause between tries, and gives up after a minute rather than spin on a file that can
    // never be deleted.
    text += ":Repeat\r\n";
    text += "del " + program + "\r\n";
    text += "if exist " + program + " ping -n 2 127.0.0.1 >nul\r\n";
    text += "set /a PlugsetupTries+=1\r\n";
    text += "if exist " + program + " if %PlugsetupTries% lss " + std::to_string(kBatchFileTries) +
            " goto Repeat\r\n";
    // Only once the uninstaller is gone: an uninstaller the loop gave up on keeps its record.
    if (!dataFile_.empty()) text += "if not exist " + program + " del " + quoted(dataFile_) + "\r\n";
    for (const std::string& folder : deferredFolders_)
        text += "rd " + quoted(WithoutTrailingBackslash(folder)) + "\r\n";
    text += "del " + quoted(batchFile) + "\r\n";
    if (environment) *environment = std::move(variables);
    return text;
}

std::string TUninstaller::BatchFileFolder() const {
    // cmd.exe reads a batch file line by line while it runs, so whoever may write into the
    // file's folder could make an elevated uninstaller's batch file run lines of theirs. Elevated,
    // it goes to the Program Files folder, which only administrators may write (the rights probe
    // has just written there); otherwise to the user's own temporary folder. Never to a folder
    // every user may write into, such as the Windows folder's Temp or C:\.
    const std::string folder = IncludeBackslash(HasAdminRights(platform_) ? GetProgramFilesFolder(platform_)
                                                                          : platform_.TemporaryFolder());
    if (folder.size() <= 1 || Utf16Length(folder) + kBatchFileNameLength > kMaxFilePathLength ||
        !platform_.DirectoryExists(folder))
        throw ESetupError(Text(TextId::NoBatchFolderMessage));
    return folder;
}

std::string TUninstaller::BatchFileName() {
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::uint64_t number = platform_.RandomNumber();
    std::string name = kBatchFilePrefix;
    for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[number >> shift & 15];
    return name + kBatchFileExtension;
}

std::string TUninstaller::StartBatchFile(WindowRef owner) {
    const std::string folder = BatchFileFolder();
    // A new file of a name no one could guess: a file someone made first is never ours to fill.
    std::string batchFile;
    std::unique_ptr<FileStream> out;
    for (int attempt = 1; !out; ++attempt) {
        batchFile = folder + BatchFileName();
        try {
            out = platform_.CreateNewForWriting(batchFile);
        } catch (const EFileError&) {
            if (attempt == kBatchFileNameTries || !platform_.FileExists(batchFile)) throw;
        }
    }
    std::vector<std::pair<std::string, std::string>> environment;
    const std::string text = BatchFileText(batchFile, &environment);
    for (const auto& [name, value] : environment) platform_.SetEnvironmentValue(name, value);
    out->Write(text.data(), text.size());
    out.reset();
    // Through cmd.exe itself, without the AutoRun commands of the registry (/d) and with
    // delayed expansion off (/v:off); /s takes the outer quotes off the quoted path.
    std::string system = platform_.SpecialFolderPath(kCsidlSystem);
    if (system.empty()) system = IncludeBackslash(platform_.SpecialFolderPath(kCsidlWindows)) + "System32";
    platform_.StartHidden(IncludeBackslash(system) + "cmd.exe", "/d /s /v:off /c \"\"" + batchFile + "\"\"",
                          owner);
    return batchFile;
}
