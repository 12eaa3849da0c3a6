#include "uninstall/Uninstaller.h"

#include <algorithm>

#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
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
    log_ = std::move(stored.record.log);
    version_ = stored.record.version;
    productName_ = std::move(stored.record.productName);
    dataFile_ = std::move(stored.dataFile);
    ownFolder_ = OwnFolder(platform);
    deferredFolders_.push_back(ownFolder_);
}

bool TUninstaller::RemoveAll() {
    failed_ = false;
    notRemoved_.clear();
    for (auto line = log_.rbegin(); line != log_.rend(); ++line) {
        if (line->empty()) continue;
        const std::string text = line->substr(1);
        const char kind = (*line)[0];
        // A damaged line must never reach the current folder (often the system folder):
        // file and folder items are only ever recorded with full paths.
        if ((kind == 'F' || kind == 'D' || kind == 'T') && !IsAbsolutePath(text)) {
            NotRemoved(text);
            continue;
        }
        if (std::optional<RegistryItemPlace> place = RegistryPlaceOf(kind)) {
            RemoveRegistryKey(place->root, place->view64, text);
            continue;
        }
        switch (kind) {
            case 'F':
                platform_.ChangeFileAttributes(text, kAttrNormal);
                if (!platform_.RemoveFile(text)) NotRemoved(text);
                break;
            case 'D':
                RemoveFolder(text);
                break;
            case 'T': {
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
            default:  // E and unknown kinds
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
    // The uninstaller's file stays locked until its process ends; the loop waits for that with
    // a pause between tries, and gives up after a minute rather than spin on a file that can
    // never be deleted.
    std::string text = ":Repeat\r\n";
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
    // The Windows folder's Temp is on every Windows, short, and open to the administrator the
    // uninstaller runs as; a file there disturbs nobody.
    std::vector<std::string> candidates{platform_.TemporaryFolder()};
    const std::string windows = platform_.SpecialFolderPath(kCsidlWindows);
    if (!windows.empty()) candidates.push_back(IncludeBackslash(windows) + "Temp");
    for (const std::string& candidate : candidates) {
        const std::string folder = IncludeBackslash(candidate);
        if (!folder.empty() && folder.size() + sizeof kBatchFileName - 1 <= kMaxFilePathLength &&
            platform_.DirectoryExists(folder))
            return folder;
    }
    return "C:\\";
}

std::string TUninstaller::StartBatchFile(WindowRef owner) {
    const std::string batchFile = BatchFileFolder() + kBatchFileName;
    std::vector<std::pair<std::string, std::string>> environment;
    const std::string text = BatchFileText(batchFile, &environment);
    for (const auto& [name, value] : environment) platform_.SetEnvironmentValue(name, value);
    {
        auto out = platform_.CreateForWriting(batchFile);
        out->Write(text.data(), text.size());
    }
    platform_.StartHidden(batchFile, owner);
    return batchFile;
}
