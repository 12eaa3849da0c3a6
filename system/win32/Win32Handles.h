// Small owners of Win32 handles, so no path leaks one.
#pragma once

#include <windows.h>

#include <string>

class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// A packed local date-time (date in the high word, time in the low word) as the system's UTC
// file time; false when it is no valid date.
bool PackedDateToFileTime(std::uint32_t packed, FILETIME& universal);

// The system's wording for the calling thread's last error, without a closing period.
std::string LastErrorText(DWORD code);
