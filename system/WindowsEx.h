// The registry accessor with its 64-bit view, the WOW64 and administrator probes, and the
// folder enumerator, all portable over the platform.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "system/Platform.h"

// The general registry accessor. Paths that begin with a backslash start at the root key;
// others at the current key when one is open, otherwise at the root key. Opens report
// failure by their result; a value of the wrong type and a failed write raise
// ERegistryException.
class TRegistry {
public:
    explicit TRegistry(Platform& platform);

    RootKey GetRootKey() const { return rootKey_; }
    // Closes the current key.
    void SetRootKey(RootKey root);
    std::uint32_t Access() const { return access_; }
    void SetAccess(std::uint32_t access) { access_ = access; }
    bool HasCurrentKey() const { return current_.IsOpen(); }
    const std::string& CurrentPath() const { return currentPath_; }

    // Creates the key when allowed and the path is not empty, otherwise only opens it.
    bool OpenKey(const std::string& path, bool canCreate);
    // Tries KEY_READ, then read-and-enumerate, then query-only rights; the first that works
    // becomes the accessor's rights (keeping its view).
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();

    // Empty for a missing value; a string is cut at its first NUL.
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);
    // The current key's subkeys by index; empty when they cannot be listed.
    std::vector<std::string> KeyNames();
    // Deletes the key with everything below it; true when the key itself went.
    bool DeleteKey(const std::string& path);

protected:
    // TRegistry64 deletes through the call with an explicit view.
    bool deleteInView_ = false;

private:
    const RegistryKey& BaseKey(bool relative) const;
    bool RemoveKeyItself(const RegistryKey& base, const std::string& path);
    void ChangeKey(RegistryKey key, const std::string& path);

    Platform& platform_;
    RootKey rootKey_ = RootKey::CurrentUser;
    RegistryKey root_;
    RegistryKey current_;
    std::string currentPath_;
    std::uint32_t access_ = kKeyAllAccess;
};

// The accessor in the 64-bit view when asked: every key it opens, creates, enumerates or
// deletes then lies in the 64-bit view. Without it, it is the general accessor.
class TRegistry64 : public TRegistry {
public:
    TRegistry64(Platform& platform, bool use64BitView);
};

// True when this 32-bit process runs on 64-bit Windows; asked anew on every call.
bool IsWow64(Platform& platform);
// True when the user can create folders in Program Files and open
// HKEY_LOCAL_MACHINE\SOFTWARE with full access.
bool HasAdminRights(Platform& platform);

// The entries of one folder search whose hidden, system, volume or folder bits are all in the
// mask (63: everything, "." and ".." included; 33: ordinary files).
class TFileEnumerator {
public:
    TFileEnumerator(Platform& platform, const std::string& pattern, std::uint32_t mask);

    // The first call tells whether the search found an entry; each later call advances. False
    // for good once the search is exhausted.
    bool Next();
    // The current entry's name, or empty when there is none.
    std::string FileName() const;
    bool HasAttribute(std::uint32_t mask) const;

private:
    bool SkipExcluded();

    std::unique_ptr<FileSearch> search_;
    std::uint32_t excluded_;
    bool current_ = false;
    bool started_ = false;
};
