#include "tools/plugsetup/HostFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "system/Exceptions.h"
#include "system/FileErrors.h"

namespace {

std::string Reason() {
    return std::strerror(errno);
}

}  // namespace

std::unique_ptr<HostFile> HostFile::OpenForReading(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw EFileError(FileOpenErrorText(path, Reason()));
    return std::unique_ptr<HostFile>(new HostFile(file, path));
}

std::unique_ptr<HostFile> HostFile::CreateForWriting(const std::string& path) {
    // "w+b": the archive writer comes back to fill in the header's checksum.
    std::FILE* file = std::fopen(path.c_str(), "w+b");
    if (!file) throw EFileError(FileCreateErrorText(path, Reason()));
    return std::unique_ptr<HostFile>(new HostFile(file, path));
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
    if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0)
        throw EFileError(FileWriteErrorText(path_, Reason()));
    return position;
}

std::int64_t HostFile::Position() const {
    return static_cast<std::int64_t>(ftello(file_));
}

std::int64_t HostFile::Size() const {
    std::fflush(file_);
    struct stat info;
    if (fstat(fileno(file_), &info) != 0) return 0;
    return static_cast<std::int64_t>(info.st_size);
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
