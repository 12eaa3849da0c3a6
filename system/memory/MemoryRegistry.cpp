// The registry of the in-memory machine, with WOW64's two views of HKEY_LOCAL_MACHINE\Software.
#include <algorithm>

#include "system/CommonUtils.h"
#include "system/Utf8.h"
#include "system/memory/MemoryInternals.h"
#include "system/memory/MemoryPlatform.h"

namespace {

enum : std::uint32_t {
    kErrorInvalidHandle = 6,
    kErrorBadPathname = 161,
    kErrorKeyDeleted = 1018,
    kDeleteRight = 0x10000,
};

class MemoryKeyHandle : public RegistryKey::Handle {
public:
    MemoryKeyHandle(std::shared_ptr<MemoryPlatform::RegNode> node, std::uint32_t access, RootKey root,
                    std::string path, bool view64)
        : node(std::move(node)), access(access), root(root), path(std::move(path)), view64(view64) {}
    std::shared_ptr<MemoryPlatform::RegNode> node;
    std::uint32_t access;
    // How the program reached the key, for the journal: the root, the path below it and whether
    // it asked for the 64-bit view on the way (a key opened below a 64-bit one is in that view).
    RootKey root;
    std::string path;
    bool view64;
};

struct NamedKey {
    RootKey root = RootKey::CurrentUser;
    std::string path;
    bool view64 = false;
};

// The key as the program names it: a path below a root, or below an opened key.
NamedKey NameOf(const RegistryKey& base, const std::string& path, std::uint32_t access) {
    const bool asked64 = (access & kKeyWow64_64Key) != 0;
    if (base.IsRoot()) return {base.Root(), path, asked64};
    auto* handle = dynamic_cast<MemoryKeyHandle*>(base.Opened());
    if (!handle) return {RootKey::CurrentUser, path, asked64};
    std::string joined =
        handle->path.empty() || path.empty() ? handle->path + path : handle->path + "\\" + path;
    return {handle->root, joined, handle->view64 || asked64};
}

RegistryKey OpenedKey(std::shared_ptr<MemoryPlatform::RegNode> node, const RegistryKey& base,
                      const std::string& path, std::uint32_t access) {
    NamedKey name = NameOf(base, path, access);
    return RegistryKey(std::make_unique<MemoryKeyHandle>(std::move(node), access, name.root,
                                                         std::move(name.path), name.view64));
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        // Windows passes over doubled and trailing backslashes.
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::shared_ptr<MemoryPlatform::RegNode> Child(MemoryPlatform::RegNode& node, const std::string& name,
                                               bool create) {
    std::string key = UpperAscii(name);
    auto it = node.children.find(key);
    if (it != node.children.end()) return it->second;
    if (!create) return nullptr;
    auto child = std::make_shared<MemoryPlatform::RegNode>();
    child->name = name;
    child->parent = &node;
    node.children[key] = child;
    return child;
}

}  // namespace

void MemoryPlatform::SeedRegistry() {
    for (RootKey root : {RootKey::CurrentUser, RootKey::LocalMachine, RootKey::Users}) {
        auto node = std::make_shared<RegNode>();
        node->name = root == RootKey::CurrentUser    ? "HKEY_CURRENT_USER"
                     : root == RootKey::LocalMachine ? "HKEY_LOCAL_MACHINE"
                                                     : "HKEY_USERS";
        registryRoots_[root] = node;
    }
    RegNode& machine = *registryRoots_[RootKey::LocalMachine];
    auto software = Child(machine, "SOFTWARE", true);
    Child(*software, "Wow6432Node", true);
    // As on Windows, HKEY_CLASSES_ROOT shows HKEY_LOCAL_MACHINE\Software\Classes, which both
    // views share.
    registryRoots_[RootKey::ClassesRoot] = Child(*software, "Classes", true);
    Child(*registryRoots_[RootKey::CurrentUser], "Software", true);

    auto put = [this](RootKey root, const std::string& path, bool view64, const std::string& name,
                      const std::string& text, std::uint32_t type = kRegString) {
        RegistryKey key = CreateRegistryKey(root, path, kKeyAllAccess | (view64 ? kKeyWow64_64Key : 0));
        RegistryValue value{type, std::vector<std::uint8_t>(text.begin(), text.end())};
        value.data.push_back(0);
        WriteRegistryValue(key, name, value);
    };
    const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    put(RootKey::LocalMachine, currentVersion, true, "ProgramFilesDir", "C:\\Program Files");
    put(RootKey::LocalMachine, currentVersion, true, "CommonFilesDir", "C:\\Program Files\\Common Files");
    put(RootKey::LocalMachine, currentVersion, true, "ProgramFilesDir (x86)", "C:\\Program Files (x86)");
    put(RootKey::LocalMachine, currentVersion, false, "ProgramFilesDir", "C:\\Program Files (x86)");
    put(RootKey::LocalMachine, currentVersion, false, "CommonFilesDir",
        "C:\\Program Files (x86)\\Common Files");
    CreateRegistryKey(RootKey::LocalMachine, currentVersion + "\\Uninstall", kKeyAllAccess | kKeyWow64_64Key);
    CreateRegistryKey(RootKey::LocalMachine, currentVersion + "\\Uninstall", kKeyAllAccess);
    put(RootKey::ClassesRoot, ".txt", false, "", "txtfile");
    put(RootKey::ClassesRoot, "txtfile\\DefaultIcon", false, "", "%SystemRoot%\\system32\\imageres.dll,-102",
        kRegExpandString);
    put(RootKey::ClassesRoot, ".exe", false, "", "exefile");
    put(RootKey::ClassesRoot, "exefile\\DefaultIcon", false, "", "%1");
    put(RootKey::ClassesRoot, ".lnk", false, "", "lnkfile");
}

std::shared_ptr<MemoryPlatform::RegNode> MemoryPlatform::ResolveRegistryKey(const RegistryKey& base,
                                                                            const std::string& path,
                                                                            std::uint32_t access, bool create,
                                                                            std::uint32_t* error) {
    auto fail = [error](std::uint32_t code) {
        if (error) *error = code;
        return nullptr;
    };
    std::shared_ptr<RegNode> node;
    if (base.IsRoot()) {
        auto it = registryRoots_.find(base.Root());
        if (it == registryRoots_.end()) return fail(kErrorInvalidHandle);
        node = it->second;
    } else if (auto* handle = dynamic_cast<MemoryKeyHandle*>(base.Opened())) {
        node = handle->node;
    } else {
        return fail(kErrorInvalidHandle);
    }
    if (node->deleted) return fail(kErrorKeyDeleted);
    if (!path.empty() && path[0] == '\\') return fail(kErrorBadPathname);

    std::vector<std::string> parts = SplitKeyPath(path);
    bool view32 = wow64_ && (access & kKeyWow64_64Key) == 0;
    RegNode* machine = registryRoots_[RootKey::LocalMachine].get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        bool intoSoftware = node.get() == machine && SameText(parts[i], "SOFTWARE");
        node = Child(*node, parts[i], create);
        if (!node) return fail(kErrorFileNotFound);
        // WOW64 sends a 32-bit process below Software\Wow6432Node when its path enters
        // Software, except for the shared Classes key.
        if (intoSoftware && view32) {
            bool shared = i + 1 < parts.size() &&
                          (SameText(parts[i + 1], "Classes") || SameText(parts[i + 1], "Wow6432Node"));
            if (!shared) node = Child(*node, "Wow6432Node", true);
        }
    }
    if (node->deniedRights & access & ~kKeyWow64Bits) return fail(kErrorAccessDenied);
    return node;
}

MemoryPlatform::RegNode* MemoryPlatform::KeyNode(const RegistryKey& key, std::uint32_t needed) {
    if (key.IsRoot()) {
        auto it = registryRoots_.find(key.Root());
        return it == registryRoots_.end() ? nullptr : it->second.get();
    }
    auto* handle = dynamic_cast<MemoryKeyHandle*>(key.Opened());
    if (!handle || handle->node->deleted || (handle->access & needed) != needed) return nullptr;
    return handle->node.get();
}

RegistryKey MemoryPlatform::OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                            std::uint32_t access) {
    auto node = ResolveRegistryKey(base, path, access, false, nullptr);
    if (!node) return RegistryKey();
    return OpenedKey(std::move(node), base, path, access);
}

RegistryKey MemoryPlatform::CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                              std::uint32_t access) {
    auto node = ResolveRegistryKey(base, path, access, true, nullptr);
    if (!node) return RegistryKey();
    return OpenedKey(std::move(node), base, path, access);
}

std::optional<RegistryValue> MemoryPlatform::ReadRegistryValue(const RegistryKey& key,
                                                               const std::string& name) {
    RegNode* node = KeyNode(key, kKeyQueryValue);
    if (!node) return std::nullopt;
    auto it = node->values.find(UpperAscii(name));
    if (it == node->values.end()) return std::nullopt;
    return it->second.value;
}

bool MemoryPlatform::WriteRegistryValue(const RegistryKey& key, const std::string& name,
                                        const RegistryValue& value) {
    RegNode* node = KeyNode(key, kKeySetValue);
    if (!node) return false;
    node->values[UpperAscii(name)] = RegNode::Value{name, value};
    NamedKey named = NameOf(key, "", 0);
    Write written{Write::Kind::RegistryValue, named.path};
    written.root = named.root;
    written.view64 = named.view64;
    written.valueName = name;
    written.value = value;
    journal_.push_back(std::move(written));
    return true;
}

bool MemoryPlatform::RemoveRegistryValue(const RegistryKey& key, const std::string& name) {
    RegNode* node = KeyNode(key, kKeySetValue);
    if (!node || node->values.erase(UpperAscii(name)) == 0) return false;
    NamedKey named = NameOf(key, "", 0);
    Write removed{Write::Kind::RemovedValue, named.path};
    removed.root = named.root;
    removed.view64 = named.view64;
    removed.valueName = name;
    journal_.push_back(std::move(removed));
    return true;
}

std::optional<RegistryKeyInfo> MemoryPlatform::QueryRegistryKeyInfo(const RegistryKey& key) {
    RegNode* node = KeyNode(key, kKeyQueryValue);
    if (!node) return std::nullopt;
    RegistryKeyInfo info;
    info.subkeys = static_cast<std::uint32_t>(node->children.size());
    for (const auto& [upper, child] : node->children)
        info.longestSubkeyName = std::max<std::uint32_t>(
            info.longestSubkeyName, static_cast<std::uint32_t>(Utf16Length(child->name)));
    return info;
}

std::optional<std::string> MemoryPlatform::EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) {
    RegNode* node = KeyNode(key, kKeyEnumerateSubKeys);
    if (!node || index >= node->children.size()) return std::nullopt;
    auto it = node->children.begin();
    std::advance(it, index);
    return it->second->name;
}

bool MemoryPlatform::RemoveKeyNode(const RegistryKey& base, const std::string& path, std::uint32_t view) {
    if (base.IsRoot() && SplitKeyPath(path).empty()) return false;
    auto node = ResolveRegistryKey(base, path, view & kKeyWow64Bits, false, nullptr);
    if (!node || !node->parent || !node->children.empty() || (node->deniedRights & kDeleteRight))
        return false;
    for (const auto& [root, rootNode] : registryRoots_)
        if (rootNode == node) return false;
    node->deleted = true;
    node->parent->children.erase(UpperAscii(node->name));
    NamedKey named = NameOf(base, path, view);
    Write removed{Write::Kind::RemovedKey, named.path};
    removed.root = named.root;
    removed.view64 = named.view64;
    journal_.push_back(std::move(removed));
    return true;
}

bool MemoryPlatform::RemoveRegistryKey(const RegistryKey& base, const std::string& path) {
    return RemoveKeyNode(base, path, 0);
}

bool MemoryPlatform::RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                             std::uint32_t view) {
    if (!hasDeleteKeyEx_) return false;
    return RemoveKeyNode(base, path, view);
}

void MemoryPlatform::DenyRegistryAccess(RootKey root, const std::string& path, std::uint32_t rights,
                                        bool view64) {
    auto node = ResolveRegistryKey(root, path, view64 ? kKeyWow64_64Key : 0, true, nullptr);
    if (node) node->deniedRights |= rights;
}

namespace {

void AddKeyLines(const MemoryPlatform::RegNode& node, const std::string& path, std::vector<std::string>& lines) {
    static constexpr char kDigits[] = "0123456789abcdef";
    lines.push_back(path);
    for (const auto& [upper, value] : node.values) {
        std::string line = path + "\\" + value.name + "=" + std::to_string(value.value.type) + ":";
        for (std::uint8_t byte : value.value.data) line += {kDigits[byte >> 4], kDigits[byte & 15]};
        lines.push_back(std::move(line));
    }
    for (const auto& [upper, child] : node.children) AddKeyLines(*child, path + "\\" + child->name, lines);
}

}  // namespace

std::vector<std::string> MemoryPlatform::RegistryLines() const {
    std::vector<std::string> lines;
    for (const auto& [root, node] : registryRoots_) AddKeyLines(*node, std::to_string(static_cast<std::uint32_t>(root)), lines);
    return lines;
}
