#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

std::string LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? Utf8(buffer, length) : SystemErrorText(code);
    if (buffer) LocalFree(buffer);
    return TrimMessageEnd(text);
}

namespace {

class Win32FileStream : public FileStream {
public:
    Win32FileStream(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        DWORD got = 0;
        if (!ReadFile(handle_.Get(), buffer, static_cast<DWORD>(count), &got, nullptr))
            throw EReadError(FileReadErrorText(path_, LastErrorText(GetLastError())));
        return got;
    }
    void Write(const void* buffer, std::size_t count) override {
        const char* data = static_cast<const char*>(buffer);
        while (count > 0) {
            DWORD written = 0;
            if (!WriteFile(handle_.Get(), data, static_cast<DWORD>(count), &written, nullptr) || written == 0)
                throw EFileError(FileWriteErrorText(path_, LastErrorText(GetLastError())));
            data += written;
            count -= written;
        }
    }
    std::int64_t Seek(std::int64_t position) override {
        LARGE_INTEGER to, now;
        to.QuadPart = position < 0 ? 0 : position;
        if (!SetFilePointerEx(handle_.Get(), to, &now, FILE_BEGIN))
            throw EReadError(FileSeekErrorText(path_, LastErrorText(GetLastError())));
        return now.QuadPart;
    }
    std::int64_t Position() const override {
        LARGE_INTEGER zero, now;
        zero.QuadPart = 0;
        SetFilePointerEx(handle_.Get(), zero, &now, FILE_CURRENT);
        return now.QuadPart;
    }
    std::int64_t Size() const override {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_.Get(), &size) ? size.QuadPart : 0;
    }
    bool SetFileDate(std::uint32_t packed) override {
        FILETIME universal;
        return PackedDateToFileTime(packed, universal) &&
               SetFileTime(handle_.Get(), nullptr, nullptr, &universal);
    }
    void Flush() override { FlushFileBuffers(handle_.Get()); }

private:
    FileHandle handle_;
    std::string path_;
};

// The longest path Windows' wide calls take, in UTF-16 units.
constexpr std::size_t kLongestSystemPath = 32768;

DWORD ShareFlags(ShareMode share) {
    switch (share) {
        case ShareMode::Exclusive:
            return 0;
        case ShareMode::DenyWrite:
            return FILE_SHARE_READ;
        case ShareMode::DenyNone:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    return 0;
}

}  // namespace

std::unique_ptr<Stream> Win32Platform::OpenForReading(const std::string& path, ShareMode share) {
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ, ShareFlags(share), nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw EFileError(FileOpenErrorText(path, LastErrorText(GetLastError())));
    return std::make_unique<Win32FileStream>(handle, path);
}

std::unique_ptr<FileStream> Win32Platform::CreateForWriting(const std::string& path) {
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw EFileError(FileCreateErrorText(path, LastErrorText(GetLastError())));
    return std::make_unique<Win32FileStream>(handle, path);
}

std::unique_ptr<FileStream> Win32Platform::CreateNewForWriting(const std::string& path) {
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw EFileError(FileCreateErrorText(path, LastErrorText(GetLastError())));
    return std::make_unique<Win32FileStream>(handle, path);
}

bool Win32Platform::OpensForWriting(const std::string& path) {
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // A read-only file refuses write access for that reason alone; unshared reading still
    // finds every other program that has it open.
    DWORD access = (attributes & FILE_ATTRIBUTE_READONLY) ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    FileHandle handle(
        CreateFileW(Wide(path).c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid();
}

std::uint32_t Win32Platform::FileAttributes(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str());
}

std::string Win32Platform::OwnProgramPath() {
    // A path that fills the buffer may have been cut short, so the buffer grows until it fits
    // (up to the longest path the system has).
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size() || buffer.size() >= kLongestSystemPath) return Utf8(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

FolderResult Win32Platform::CreateFolder(const std::string& path) {
    if (CreateDirectoryW(Wide(path).c_str(), nullptr)) return FolderResult::Created;
    return GetLastError() == ERROR_ALREADY_EXISTS ? FolderResult::AlreadyExists : FolderResult::Failed;
}

bool Win32Platform::RemoveFolder(const std::string& path) {
    return RemoveDirectoryW(Wide(path).c_str()) != 0;
}

bool Win32Platform::RemoveFile(const std::string& path) {
    return DeleteFileW(Wide(path).c_str()) != 0;
}

bool Win32Platform::RenameFile(const std::string& from, const std::string& to) {
    // No MOVEFILE_COPY_ALLOWED: a rename that would have to copy is no rename.
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string Win32Platform::TemporaryFolder() {
    // A TEMP longer than the buffer makes the call report the size it needs and write nothing;
    // the folder can change between two calls, so it is asked until it fits.
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return std::string();
        if (length < buffer.size()) return Utf8(buffer.data(), length);
        buffer.resize(length + 1);
    }
}
