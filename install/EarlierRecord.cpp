// TInstaller: an installation into the folder of an earlier one of the same product keeps what
// the earlier record lists and the new run did not write, as long as it is still there, so that
// the one uninstaller left in the folder removes both. An update that no longer ships a plug-in
// would otherwise leave it behind, known to no uninstaller, for every host to keep loading.
#include <algorithm>
#include <unordered_set>

#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/WindowsEx.h"
#include "uninstall/UninstallRecord.h"

namespace {

// The Uninstall key itself or a key below it, written with or without the leading backslash.
bool InUninstallKey(const std::string& keyPath) {
    const std::string key = keyPath.substr(std::min(keyPath.find_first_not_of('\\'), keyPath.size()));
    const std::string uninstall = std::string(kUninstallKeyPath).substr(1);
    return key.size() >= uninstall.size() && SameText(key.substr(0, uninstall.size()), uninstall) &&
           (key.size() == uninstall.size() || key[uninstall.size()] == '\\');
}

// Whether an earlier line still names something to remove. Entries in the list of installed
// programs never do: the new run logs the one it registers and deletes every other that names
// this uninstaller, and one that names another uninstaller is not ours to delete. Lines the
// remover would refuse or skip (no full path, a whole hive, an unknown kind) are not carried
// either: at best they do nothing, at worst they spoil the report.
bool StillThere(Platform& platform, const std::string& line) {
    const char kind = line[0];
    const std::string text = line.substr(1);
    if (std::optional<RegistryItemPlace> place = RegistryPlaceOf(kind)) {
        if (text.find_first_not_of('\\') == std::string::npos) return false;
        if (place->root == RootKey::LocalMachine && InUninstallKey(text)) return false;
        TRegistry64 registry(platform, place->view64);
        registry.SetRootKey(place->root);
        return registry.OpenKeyReadOnly(text);
    }
    if (!IsAbsolutePath(text)) return false;
    switch (kind) {
        case 'F':
            return platform.FileExists(text);
        case 'D':
        case 'T':
        case 'E':
            return platform.DirectoryExists(text);
        default:
            return false;
    }
}

}  // namespace

void TInstaller::KeepEarlierItems(const std::string& uninstallerPath, const std::string& productName) {
    std::optional<StoredUninstallRecord> earlier = FindUninstallRecord(platform_, uninstallerPath);
    // Another product's uninstaller: what it installed is not this product's to remove.
    if (!earlier || !SameText(earlier->record.productName, productName)) return;

    // Items compare by kind and text, letters in either case, as Windows compares paths and keys.
    // True when the line was known already; from then on it is.
    std::unordered_set<std::string> known;
    auto knows = [&known](const std::string& line) {
        const std::string folded = UpperAscii(line);
        return !known.insert(folded).second;
    };
    for (const std::string& line : log_) knows(line);
    // The uninstaller's own files go with its batch file, never as items.
    const char file = kItemLetters[static_cast<int>(ItemKind::File)];
    knows(file + uninstallerPath);
    knows(file + UninstallDataFileOf(uninstallerPath));

    std::vector<std::string> kept;
    for (const std::string& line : earlier->record.log) {
        if (line.empty() || knows(line)) continue;
        if (StillThere(platform_, line)) kept.push_back(line);
    }
    // First, in their own order: the uninstaller walks backwards, so the new run's files go
    // before the earlier folders that hold them, and the new Uninstall key stays the first.
    log_.insert(log_.begin(), kept.begin(), kept.end());
}
