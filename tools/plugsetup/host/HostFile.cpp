#include "tools/plugsetup/host/HostFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/host/HostPath.h"

namespace {

std::string Reason() {
    return std::strerror(errno);
}

}  // namespace

std::unique_ptr<HostFile> HostFile::OpenForReading(const std::string& path) {
    std::FILE* file = OpenStream(path, false);
    if (!file) throw EFileError(FileOpenErrorText(path, Reason()));
    return std::unique_ptr<HostFile>(new HostFile(file, path, false));
}

std::unique_ptr<HostFile> HostFile::CreateForWriting(const std::string& path) {
    // Read and write: the archive writer comes back to fill in the header's checksum.
    std::FILE* file = OpenStream(path, true);
    if (!file) throw EFileError(FileCreateErrorText(path, Reason()));
    return std::unique_ptr<HostFile>(new HostFile(file, path, true));
}

HostFile::~HostFile() {
    if (file_) std::fclose(file_);
}

std::size_t HostFile::Read(void* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, file_);
}

void HostFile::Write(const void* buffer, std::size_t count) {
    if (count > 0 && std::fwrite(buffer, 1, count, file_) != count)
        throw EFileError(FileWriteErrorText(path_, Reason()));
}

std::int64_t HostFile::Seek(std::int64_t position) {
    if (!SeekStream(file_, position)) throw EFileError(FileWriteErrorText(path_, Reason()));
    return position;
}

std::int64_t HostFile::Position() const {
    return StreamPosition(file_);
}

std::int64_t HostFile::Size() const {
    // What is written reaches the file first. Never on a file opened for reading: Microsoft's C
    // library empties the read buffer without moving back, and the bytes in it would be skipped.
    if (forWriting_) std::fflush(file_);
    const std::int64_t size = StreamSize(file_);
    return size < 0 ? 0 : size;
}

void HostFile::Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    if (file && std::fclose(file) != 0) throw EFileError(FileWriteErrorText(path_, Reason()));
}

std::vector<std::uint8_t> ReadHostFile(const std::string& path) {
    std::unique_ptr<HostFile> file = HostFile::OpenForReading(path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->Size()));
    if (!bytes.empty()) file->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

void ReplaceHostFile(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(HostPath(from), HostPath(to), error);
    if (error) throw EFileError(FileCreateErrorText(to, error.message()));
}

void RemoveHostFile(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(HostPath(path), ignored);
}
