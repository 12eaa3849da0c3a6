// The build machine's files for the tool, behind the Stream interface (std::FILE underneath).
// The Platform interface is about Windows behaviour; the tool reads and writes the vendor's own
// files, on Linux or on Windows. Paths are UTF-8 (HostPath.h).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "system/Stream.h"

class HostFile : public Stream {
public:
    // Raise EFileError with the system's reason when the file cannot be opened or created.
    static std::unique_ptr<HostFile> OpenForReading(const std::string& path);
    static std::unique_ptr<HostFile> CreateForWriting(const std::string& path);
    ~HostFile() override;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t position) override;
    std::int64_t Position() const override;
    std::int64_t Size() const override;

    // Flushes and closes; raises EFileError when the last writes fail (a full disk shows here).
    void Close();

private:
    HostFile(std::FILE* file, std::string path, bool forWriting)
        : file_(file), path_(std::move(path)), forWriting_(forWriting) {}

    // What differs between the systems (HostFilePosix.cpp, HostFileWin32.cpp): opening by a
    // UTF-8 name, with a handle no command the tool starts inherits, and 64-bit positions.
    static std::FILE* OpenStream(const std::string& path, bool forWriting);
    static bool SeekStream(std::FILE* file, std::int64_t position);
    static std::int64_t StreamPosition(std::FILE* file);
    static std::int64_t StreamSize(std::FILE* file);  // -1 when the system cannot tell

    std::FILE* file_;
    std::string path_;
    bool forWriting_;
};

// The whole file.
std::vector<std::uint8_t> ReadHostFile(const std::string& path);
// Renames from to to, in place of a file already there (on Windows too); EFileError naming to.
void ReplaceHostFile(const std::string& from, const std::string& to);
// Removes the file if it is there; quietly does nothing otherwise.
void RemoveHostFile(const std::string& path);
