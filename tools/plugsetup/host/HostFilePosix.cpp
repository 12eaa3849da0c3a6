// HostFile's system part on Linux: names are bytes, UTF-8 by convention.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/plugsetup/host/HostFile.h"

std::FILE* HostFile::OpenStream(const std::string& path, bool forWriting) {
    // "e": close on exec, so a signing command the tool starts holds none of its files open.
    return std::fopen(path.c_str(), forWriting ? "w+be" : "rbe");
}

bool HostFile::SeekStream(std::FILE* file, std::int64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

std::int64_t HostFile::StreamPosition(std::FILE* file) {
    return static_cast<std::int64_t>(ftello(file));
}

std::int64_t HostFile::StreamSize(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}
