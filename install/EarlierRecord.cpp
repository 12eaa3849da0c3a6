// TInstaller: an installation into the folder of an earlier one of the same product keeps what
// the earlier record lists and the new run did not write, as long as it is still there, so that
// the one uninstaller left in the folder removes both. An update that no longer ships a plug-in
// would otherwise leave it behind, known to no uninstaller, for every host to keep loading.
//
// The elevated uninstaller deletes whatever the record lists, and a program folder may be
// writable by standard users (a second drive): a record is only trusted when it is the one the
// earlier setup registered, and of it only items in the places this product installs to.
#include <algorithm>
#include <unordered_set>

#include "install/Installer.h"
#include "system/CommonUtils.h"
#include "system/WindowsEx.h"
#include "uninstall/UninstallKey.h"
#include "uninstall/UninstallRecord.h"

namespace {

std::string WithoutLeadingBackslashes(const std::string& keyPath) {
    return keyPath.substr(std::min(keyPath.find_first_not_of('\\'), keyPath.size()));
}

// Whether path is folder (both with a trailing backslash) or lies below it.
bool InFolder(const std::string& path, const std::string& folder) {
    return path.size() >= folder.size() && SameText(path.substr(0, folder.size()), folder);
}

// The key itself or a key below it, written with or without the leading backslash.
bool InKey(const std::string& keyPath, const std::string& parent) {
    const std::string key = WithoutLeadingBackslashes(keyPath);
    const std::string root = WithoutLeadingBackslashes(parent);
    return !root.empty() && key.size() >= root.size() && SameText(key.substr(0, root.size()), root) &&
           (key.size() == root.size() || key[root.size()] == '\\');
}

// A full path on a local drive, spelt the one way the setup writes paths: "C:\" and then
// names separated by single backslashes, none of them "." or "..", none ending in a dot or a
// blank (Windows would drop those and name another file), no stream after a colon. UNC paths
// are refused before anything probes them: the elevated setup would authenticate to the server.
bool IsPlainLocalPath(const std::string& path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\' || !IsAbsolutePath(path)) return false;
    if (path.find_first_of("/:", 2) != std::string::npos) return false;
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(start, end - start);
        if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
        start = end + 1;
    }
    return true;
}

// Whether an item lies where this product installs: a file inside one of its folders, a
// folder inside one or above one (the parents an earlier run created for it), a key below its
// registry keys. Entries in the list of installed programs never count: the new run logs the
// one it registers and deletes every other that names this uninstaller, and one that names
// another uninstaller is not ours. T lines (a folder with all its files) are never written by
// the setup, and unknown kinds do nothing.
bool InProductPlaces(const UninstallItem& item, const ProductPlaces& places) {
    if (std::optional<RegistryItemPlace> registry = RegistryPlaceOf(item.kind)) {
        if (registry->root == RootKey::ClassesRoot) return false;
        if (registry->root == RootKey::LocalMachine && InKey(item.text, kUninstallKeyPath)) return false;
        return std::any_of(places.RegistryKeys.begin(), places.RegistryKeys.end(),
                           [&](const std::string& key) { return InKey(item.text, key); });
    }
    const bool folder = item.kind == ItemKind::CreatedFolder || item.kind == ItemKind::ExistingFolder;
    if (!folder && item.kind != ItemKind::File) return false;
    if (!IsPlainLocalPath(item.text)) return false;
    const std::string path = folder ? IncludeBackslash(item.text) : item.text;
    return std::any_of(places.Folders.begin(), places.Folders.end(), [&](const std::string& place) {
        return InFolder(path, IncludeBackslash(place)) || (folder && InFolder(IncludeBackslash(place), path));
    });
}

bool StillThere(Platform& platform, const UninstallItem& item) {
    if (std::optional<RegistryItemPlace> place = RegistryPlaceOf(item.kind)) {
        TRegistry64 registry(platform, place->view64);
        registry.SetRootKey(place->root);
        return registry.OpenKeyReadOnly(item.text);
    }
    return item.kind == ItemKind::File ? platform.FileExists(item.text) : platform.DirectoryExists(item.text);
}

}  // namespace

void TInstaller::KeepEarlierItems(const std::string& uninstallerPath, const std::string& productName) {
    std::optional<StoredUninstallRecord> earlier = FindUninstallRecord(platform_, uninstallerPath);
    // Another product's uninstaller: what it installed is not this product's to remove.
    if (!earlier || !SameText(earlier->record.productName, productName)) return;
    switch (StandingOfRecord(platform_, uninstallerPath, earlier->digest)) {
        case RecordStanding::Authentic:
            break;
        case RecordStanding::Foreign:
            return;
        case RecordStanding::WithoutDigest:
        case RecordStanding::Unregistered:
            // Written before digests existed: only the uninstaller where the product's own
            // registry record says the earlier version went.
            if (Places.RecordedFolder.empty() ||
                !SameText(IncludeBackslash(Places.RecordedFolder), ExtractFilePath(uninstallerPath)))
                return;
            break;
    }

    // Items compare by kind and text, letters in either case, as Windows compares paths and keys.
    // True when the item was known already; from then on it is.
    std::unordered_set<std::string> known;
    auto knows = [&known](const UninstallItem& item) {
        return !known.insert(FormatItem({item.kind, UpperAscii(item.text)})).second;
    };
    for (const UninstallItem& item : items_) knows(item);
    // The uninstaller's own files go with its batch file, never as items.
    knows({ItemKind::File, uninstallerPath});
    knows({ItemKind::File, UninstallDataFileOf(uninstallerPath)});

    std::vector<UninstallItem> kept;
    for (const UninstallItem& item : earlier->record.items) {
        if (!InProductPlaces(item, Places) || knows(item)) continue;
        if (StillThere(platform_, item)) kept.push_back(item);
    }
    // First, in their own order: the uninstaller walks backwards, so the new run's files go
    // before the earlier folders that hold them, and the new Uninstall key stays the first.
    items_.insert(items_.begin(), kept.begin(), kept.end());
}
