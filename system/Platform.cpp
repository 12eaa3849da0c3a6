#include "system/Platform.h"

bool Platform::FileExists(const std::string& path) {
    std::uint32_t attributes = FileAttributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttrDirectory) == 0;
}

bool Platform::DirectoryExists(const std::string& path) {
    std::uint32_t attributes = FileAttributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0;
}
