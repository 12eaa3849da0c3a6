#include "system/WindowsEx.h"

#include <utility>

#include "system/Exceptions.h"
#include "system/ShellUtils.h"

namespace {

constexpr const char* kInvalidRegType = "Invalid data type for '%s'";
constexpr const char* kRegSetDataFailed = "Failed to set data for '%s'";

// Read-only rights in the order they are tried: full reading, reading without change
// notification, and querying values alone.
constexpr std::uint32_t kReadOnlyRights[] = {kKeyRead, kKeyRead & ~kKeyNotify, kKeyQueryValue};

// Enough attempts for any real Program Files folder; a system that calls every name taken
// must not hang the probe.
constexpr int kMaxTestFolders = 1000;

constexpr std::uint32_t kAttrVolumeLabel = 0x08;

std::string WithName(const char* pattern, const std::string& name) {
    std::string text = pattern;
    return text.replace(text.find("%s"), 2, name);
}

bool IsRelative(const std::string& path) {
    return path.empty() || path[0] != '\\';
}

std::string JoinKeyPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + "\\" + b;
}

std::vector<std::uint8_t> StringData(const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

}  // namespace

TRegistry::TRegistry(Platform& platform) : platform_(platform), root_(RootKey::CurrentUser) {}

void TRegistry::SetRootKey(RootKey root) {
    if (root == rootKey_) return;
    CloseKey();
    rootKey_ = root;
    root_ = RegistryKey(root);
}

const RegistryKey& TRegistry::BaseKey(bool relative) const {
    return relative && current_.IsOpen() ? current_ : root_;
}

void TRegistry::ChangeKey(RegistryKey key, const std::string& path) {
    current_ = std::move(key);
    currentPath_ = path;
}

void TRegistry::CloseKey() {
    current_.Close();
    currentPath_.clear();
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    bool relative = IsRelative(path);
    std::string subkey = relative ? path : path.substr(1);
    RegistryKey key = !canCreate || subkey.empty()
                          ? platform_.OpenRegistryKey(BaseKey(relative), subkey, access_)
                          : platform_.CreateRegistryKey(BaseKey(relative), subkey, access_);
    if (!key.IsOpen()) return false;
    ChangeKey(std::move(key), relative && current_.IsOpen() ? JoinKeyPath(currentPath_, subkey) : subkey);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
    bool relative = IsRelative(path);
    std::string subkey = relative ? path : path.substr(1);
    // The view stays: a 64-bit accessor reading must not fall back to the 32-bit keys.
    std::uint32_t view = access_ & kKeyWow64Bits;
    for (std::uint32_t rights : kReadOnlyRights) {
        RegistryKey key = platform_.OpenRegistryKey(BaseKey(relative), subkey, rights | view);
        if (!key.IsOpen()) continue;
        access_ = rights | view;
        ChangeKey(std::move(key), relative && current_.IsOpen() ? JoinKeyPath(currentPath_, subkey) : subkey);
        return true;
    }
    return false;
}

std::string TRegistry::ReadString(const std::string& name) {
    std::optional<RegistryValue> value = platform_.ReadRegistryValue(current_, name);
    if (!value || value->data.empty()) return std::string();
    if (value->type != kRegString && value->type != kRegExpandString)
        throw ERegistryException(WithName(kInvalidRegType, name));
    std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (!platform_.WriteRegistryValue(current_, name, RegistryValue{kRegString, StringData(value)}))
        throw ERegistryException(WithName(kRegSetDataFailed, name));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    RegistryValue data{kRegDWord,
                       {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}};
    if (!platform_.WriteRegistryValue(current_, name, data))
        throw ERegistryException(WithName(kRegSetDataFailed, name));
}

std::vector<std::string> TRegistry::KeyNames() {
    std::vector<std::string> names;
    std::optional<RegistryKeyInfo> info = platform_.QueryRegistryKeyInfo(current_);
    if (!info) return names;
    for (std::uint32_t i = 0; i < info->subkeys; ++i)
        if (std::optional<std::string> name = platform_.EnumRegistrySubkey(current_, i))
            names.push_back(*name);
    return names;
}

bool TRegistry::RemoveKeyItself(const RegistryKey& base, const std::string& path) {
    return deleteInView_ ? platform_.RemoveRegistryKeyInView(base, path, kKeyWow64_64Key)
                         : platform_.RemoveRegistryKey(base, path);
}

bool TRegistry::DeleteKey(const std::string& path) {
    if (deleteInView_ && !platform_.CanRemoveRegistryKeyInView()) return false;
    bool relative = IsRelative(path);
    std::string subkey = relative ? path : path.substr(1);
    // The children are found from the same base the key itself is deleted from.
    RegistryKey doomed = platform_.OpenRegistryKey(BaseKey(relative), subkey, access_);
    if (doomed.IsOpen()) {
        // The key is the current key while its children go, so their names are relative to
        // it; the previous current key comes back whatever happens.
        struct Restore {
            RegistryKey& current;
            RegistryKey& saved;
            ~Restore() { std::swap(current, saved); }
        } restore{current_, doomed};
        std::swap(current_, doomed);
        if (std::optional<RegistryKeyInfo> info = platform_.QueryRegistryKeyInfo(current_)) {
            // From the highest index down, so a deletion does not shift the ones to come.
            for (std::uint32_t i = info->subkeys; i-- > 0;)
                if (std::optional<std::string> name = platform_.EnumRegistrySubkey(current_, i))
                    DeleteKey(*name);
        }
    }
    return RemoveKeyItself(BaseKey(relative), subkey);
}

TRegistry64::TRegistry64(Platform& platform, bool use64BitView) : TRegistry(platform) {
    if (use64BitView) {
        SetAccess(Access() | kKeyWow64_64Key);
        deleteInView_ = true;
    }
}

bool IsWow64(Platform& platform) {
    return platform.ProcessIsWow64();
}

bool HasAdminRights(Platform& platform) {
    std::string folder = GetProgramFilesFolder(platform);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    for (int i = 0;; ++i) {
        if (i == kMaxTestFolders) return false;
        std::string test = folder + "\\Test" + std::to_string(i);
        FolderResult result = platform.CreateFolder(test);
        if (result == FolderResult::Failed) return false;
        if (result == FolderResult::Created) {
            platform.RemoveFolder(test);
            break;
        }
    }
    TRegistry registry(platform);
    registry.SetRootKey(RootKey::LocalMachine);
    return registry.OpenKey("SOFTWARE", true);
}

TFileEnumerator::TFileEnumerator(Platform& platform, const std::string& pattern, std::uint32_t mask)
    : search_(platform.FindFiles(pattern)),
      excluded_(~mask & (kAttrHidden | kAttrSystem | kAttrVolumeLabel | kAttrDirectory)) {
    current_ = search_ && SkipExcluded();
    if (!current_) search_.reset();
}

bool TFileEnumerator::SkipExcluded() {
    while (search_->Current().attributes & excluded_)
        if (!search_->Next()) return false;
    return true;
}

bool TFileEnumerator::Next() {
    if (!started_) {
        started_ = true;
        return current_;
    }
    if (!current_) return false;
    current_ = search_->Next() && SkipExcluded();
    if (!current_) search_.reset();
    return current_;
}

std::string TFileEnumerator::FileName() const {
    return current_ ? search_->Current().name : std::string();
}

bool TFileEnumerator::HasAttribute(std::uint32_t mask) const {
    return current_ && (search_->Current().attributes & mask) != 0;
}
