// The registry through advapi32's wide calls. Key and value names are UTF-8 here and UTF-16
// in the registry; so are the string values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ), whose data
// keeps its NUL terminators in both forms. Values of every other type pass unchanged.
#include <algorithm>
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

using DeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// RegDeleteKeyExW arrived with 64-bit Windows; older systems lack it, so it is looked up.
DeleteKeyExFunction DeleteKeyEx() {
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    if (!advapi) return nullptr;
    return reinterpret_cast<DeleteKeyExFunction>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExW")));
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A string value's data as the registry holds it, from its UTF-8 form.
std::vector<std::uint8_t> StoredData(const RegistryValue& value) {
    if (!IsStringType(value.type)) return value.data;
    const std::wstring wide = Wide(std::string(value.data.begin(), value.data.end()));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(wide.data());
    return std::vector<std::uint8_t>(bytes, bytes + wide.size() * sizeof(wchar_t));
}

// A string value's data in its UTF-8 form; an odd last byte, no part of any UTF-16 unit, is
// dropped.
std::vector<std::uint8_t> Utf8Data(DWORD type, std::vector<std::uint8_t> stored) {
    if (!IsStringType(type)) return stored;
    std::wstring wide(stored.size() / sizeof(wchar_t), L'\0');
    std::copy_n(stored.begin(), wide.size() * sizeof(wchar_t), reinterpret_cast<std::uint8_t*>(wide.data()));
    const std::string text = Utf8(wide);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace

RegistryKey Win32Platform::OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                           std::uint32_t access) {
    HKEY parent = Hkey(base);
    if (!parent) return RegistryKey();
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(parent, Wide(path).c_str(), 0, access, &key);
    return Wrap(status, key);
}

RegistryKey Win32Platform::CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                             std::uint32_t access) {
    HKEY parent = Hkey(base);
    if (!parent) return RegistryKey();
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExW(parent, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                  nullptr, &key, &disposition);
    return Wrap(status, key);
}

std::optional<RegistryValue> Win32Platform::ReadRegistryValue(const RegistryKey& key,
                                                              const std::string& name) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    const std::wstring wideName = Wide(name);
    std::vector<std::uint8_t> data;
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between asking its size and reading it.
    for (int attempt = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++attempt) {
        data.resize(size);
        status = RegQueryValueExW(hkey, wideName.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return RegistryValue{type, Utf8Data(type, std::move(data))};
        }
        if (attempt == 8) break;
    }
    return std::nullopt;
}

bool Win32Platform::WriteRegistryValue(const RegistryKey& key, const std::string& name,
                                       const RegistryValue& value) {
    HKEY hkey = Hkey(key);
    if (!hkey) return false;
    const std::vector<std::uint8_t> data = StoredData(value);
    return RegSetValueExW(hkey, Wide(name).c_str(), 0, value.type, data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32Platform::RemoveRegistryValue(const RegistryKey& key, const std::string& name) {
    HKEY hkey = Hkey(key);
    return hkey && RegDeleteValueW(hkey, Wide(name).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryKeyInfo> Win32Platform::QueryRegistryKeyInfo(const RegistryKey& key) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    DWORD subkeys = 0, longest = 0;
    if (RegQueryInfoKeyW(hkey, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryKeyInfo{subkeys, longest};
}

std::optional<std::string> Win32Platform::EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) {
    HKEY hkey = Hkey(key);
    if (!hkey) return std::nullopt;
    // Key names are at most 255 characters.
    wchar_t name[256];
    DWORD length = sizeof name / sizeof name[0];
    if (RegEnumKeyExW(hkey, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return Utf8(name, length);
}

bool Win32Platform::RemoveRegistryKey(const RegistryKey& base, const std::string& path) {
    HKEY parent = Hkey(base);
    return parent && RegDeleteKeyW(parent, Wide(path).c_str()) == ERROR_SUCCESS;
}

bool Win32Platform::CanRemoveRegistryKeyInView() {
    return DeleteKeyEx() != nullptr;
}

bool Win32Platform::RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                            std::uint32_t view) {
    DeleteKeyExFunction deleteKeyEx = DeleteKeyEx();
    HKEY parent = Hkey(base);
    return deleteKeyEx && parent &&
           deleteKeyEx(parent, Wide(path).c_str(), view & (KEY_WOW64_64KEY | KEY_WOW64_32KEY), 0) ==
               ERROR_SUCCESS;
}
