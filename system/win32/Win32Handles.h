// Owners of Win32 handles, so no path leaks one: one template, and per kind of handle what
// "no handle" is and how the handle is let go.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

// Kind provides: Handle, None(), Valid(handle) and Close(handle).
template <class Kind>
class Owned {
public:
    using Handle = typename Kind::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Kind::None())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Kind::None());
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    bool Valid() const { return Kind::Valid(handle_); }
    Handle Get() const { return handle_; }
    // Lets go of the handle held, then holds the one given.
    void Reset(Handle handle = Kind::None()) {
        if (Kind::Valid(handle_)) Kind::Close(handle_);
        handle_ = handle;
    }
    // For calls that hand out a new handle through a pointer.
    Handle* Out() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Kind::None();
};

// Handles for which null means none, let go by one call taking the handle.
template <class H, auto Release>
struct NullMeansNone {
    using Handle = H;
    static H None() { return nullptr; }
    static bool Valid(H handle) { return handle != nullptr; }
    static void Close(H handle) { Release(handle); }
};

// Kernel handles from CreateFile and FindFirstFile say "none" with INVALID_HANDLE_VALUE.
template <auto Release>
struct InvalidMeansNone {
    using Handle = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void Close(HANDLE handle) { Release(handle); }
};

using FileHandle = Owned<InvalidMeansNone<CloseHandle>>;
using FindHandle = Owned<InvalidMeansNone<FindClose>>;
using KeyHandle = Owned<NullMeansNone<HKEY, RegCloseKey>>;
using FontHandle = Owned<NullMeansNone<HFONT, DeleteObject>>;
using LibraryHandle = Owned<NullMeansNone<HMODULE, FreeLibrary>>;

// A packed local date-time (date in the high word, time in the low word) as the system's UTC
// file time; false when it is no valid date.
bool PackedDateToFileTime(std::uint32_t packed, FILETIME& universal);

// The system's wording for the calling thread's last error, without a closing period.
std::string LastErrorText(DWORD code);
