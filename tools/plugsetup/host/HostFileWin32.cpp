// HostFile's system part on Windows: UTF-8 names become UTF-16 for the wide calls, so a name
// outside the ANSI code page of the build machine opens as well as any other.
#include <io.h>

#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

std::FILE* HostFile::OpenStream(const std::string& path, bool forWriting) {
    // "N": not inherited, so a signing command the tool starts holds none of its files open.
    return _wfopen(HostPath(path).c_str(), forWriting ? L"w+bN" : L"rbN");
}

bool HostFile::SeekStream(std::FILE* file, std::int64_t position) {
    return _fseeki64(file, position, SEEK_SET) == 0;
}

std::int64_t HostFile::StreamPosition(std::FILE* file) {
    return _ftelli64(file);
}

std::int64_t HostFile::StreamSize(std::FILE* file) {
    return _filelengthi64(_fileno(file));
}
