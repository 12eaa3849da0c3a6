// Searching, attributes, time stamps and free space through kernel32.
#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

namespace {

class Win32Search : public FileSearch {
public:
    Win32Search(HANDLE handle, const WIN32_FIND_DATAW& data) : handle_(handle) { Take(data); }

    const FoundFile& Current() const override { return current_; }
    bool Next() override {
        WIN32_FIND_DATAW data;
        if (!FindNextFileW(handle_.Get(), &data)) return false;
        Take(data);
        return true;
    }

private:
    void Take(const WIN32_FIND_DATAW& data) {
        current_.name = Utf8(data.cFileName);
        current_.attributes = data.dwFileAttributes;
    }

    FindHandle handle_;
    FoundFile current_;
};

// Opens a file or folder just to change its times; the attribute right is not subject to
// other processes' share modes.
HANDLE OpenForStamping(const std::string& path, DWORD access) {
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool Win32Platform::ChangeFileAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesW(Wide(path).c_str(), attributes) != 0;
}

std::unique_ptr<FileSearch> Win32Platform::FindFiles(const std::string& pattern) {
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstFileW(Wide(pattern).c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32Search>(handle, data);
}

bool PackedDateToFileTime(std::uint32_t packed, FILETIME& universal) {
    FILETIME local;
    return DosDateTimeToFileTime(static_cast<WORD>(packed >> 16), static_cast<WORD>(packed), &local) &&
           LocalFileTimeToFileTime(&local, &universal);
}

bool Win32Platform::SetFileDate(const std::string& path, std::uint32_t packed) {
    FILETIME universal;
    if (!PackedDateToFileTime(packed, universal)) return false;
    FileHandle file(OpenForStamping(path, FILE_WRITE_ATTRIBUTES));
    return file.Valid() && SetFileTime(file.Get(), nullptr, nullptr, &universal);
}

std::optional<std::uint32_t> Win32Platform::FileDate(const std::string& path) {
    FileHandle file(OpenForStamping(path, FILE_READ_ATTRIBUTES));
    FILETIME universal, local;
    WORD date = 0, time = 0;
    if (!file.Valid() || !GetFileTime(file.Get(), nullptr, nullptr, &universal) ||
        !FileTimeToLocalFileTime(&universal, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return std::nullopt;
    return (static_cast<std::uint32_t>(date) << 16) | time;
}

std::optional<std::uint64_t> Win32Platform::FreeDiskSpace(const std::string& path) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(Wide(path).c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}
