// The registry through advapi32, ANSI variants.
#include <vector>

#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

namespace {

class Win32KeyHandle : public RegistryKey::Handle {
public:
    explicit Win32KeyHandle(HKEY key) : key(key) {}
    KeyHandle key;
};

HKEY Hkey(const RegistryKey& key) {
    if (key.IsRoot()) {
        switch (key.Root()) {
            case RootKey::ClassesRoot:
                return HKEY_CLASSES_ROOT;
            case RootKey::CurrentUser:
                return HKEY_CURRENT_USER;
            case RootKey::LocalMachine:
                return HKEY_LOCAL_MACHINE;
            case RootKey::Users:
                return HKEY_USERS;
        }
        return nullptr;
    }
    auto* handle = dynamic_cast<Win32KeyHandle*>(key.Opened());
    return handle ? handle->key.Get() : nullptr;
}

RegistryKey Wrap(LONG status, HKEY key) {
    if (status != ERROR_SUCCESS) return RegistryKey();
    return RegistryKey(std::make_unique<Win32KeyHandle>(key));
}

using DeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// RegDeleteKeyExA arrived with 64-bit Windows; older systems lack it, so it is looked up.
DeleteKeyExFunction DeleteKeyEx() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (!advapi) return nullptr;
    return reinterpret_cast<DeleteKeyExFunction>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExA")));
}

}  // namespace

RegistryKey Win32Platform::OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                           std::uint32_t access) {
    HKEY parent = Hkey(base);
    if (!parent) return RegistryKey();
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(parent, path.c_str(), 0, access, &key);
    return Wrap(status, key);
}

RegistryKey Win32Platform::CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                             std::uint32_t access) {
    HKEY parent = Hkey(base);
    if (!parent) return RegistryKey();
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &key, &disposition);
    return Wrap(status, key);
}

std::optional<RegistryValue> Win32Platform::ReadRegistryValue(const RegistryKey& key,
                                                              const std::string& name) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    RegistryValue value;
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExA(hkey, name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between asking its size and reading it.
    for (int attempt = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++attempt) {
        value.data.resize(size);
        status = RegQueryValueExA(hkey, name.c_str(), nullptr, &type,
                                  value.data.empty() ? nullptr : value.data.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.data.resize(size);
            value.type = type;
            return value;
        }
        if (attempt == 8) break;
    }
    return std::nullopt;
}

bool Win32Platform::WriteRegistryValue(const RegistryKey& key, const std::string& name,
                                       const RegistryValue& value) {
    HKEY hkey = Hkey(key);
    if (!hkey) return false;
    return RegSetValueExA(hkey, name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Win32Platform::RemoveRegistryValue(const RegistryKey& key, const std::string& name) {
    HKEY hkey = Hkey(key);
    return hkey && RegDeleteValueW(hkey, Wide(name).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryKeyInfo> Win32Platform::QueryRegistryKeyInfo(const RegistryKey& key) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    DWORD subkeys = 0, longest = 0;
    if (RegQueryInfoKeyA(hkey, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryKeyInfo{subkeys, longest};
}

std::optional<std::string> Win32Platform::EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    // Key names are at most 255 characters.
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(hkey, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(name, length);
}

bool Win32Platform::RemoveRegistryKey(const RegistryKey& base, const std::string& path) {
    HKEY parent = Hkey(base);
    return parent && RegDeleteKeyA(parent, path.c_str()) == ERROR_SUCCESS;
}

bool Win32Platform::CanRemoveRegistryKeyInView() {
    return DeleteKeyEx() != nullptr;
}

bool Win32Platform::RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                            std::uint32_t view) {
    DeleteKeyExFunction deleteKeyEx = DeleteKeyEx();
    HKEY parent = Hkey(base);
    return deleteKeyEx && parent &&
           deleteKeyEx(parent, path.c_str(), view & (KEY_WOW64_64KEY | KEY_WOW64_32KEY), 0) == ERROR_SUCCESS;
}
