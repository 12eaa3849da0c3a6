#include "tools/plugsetup/ProductTree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/CodePage.h"
#include "tools/plugsetup/HostFile.h"

namespace {

constexpr const char* kNotAFolderMessage = "not a folder";
constexpr const char* kLinkLoopMessage = "a symbolic link leads back into its own folder";
constexpr const char* kSpecialFileMessage = "neither a file nor a folder";

using FolderId = std::pair<dev_t, ino_t>;

std::vector<std::uint8_t> ReadProductFile(const std::string& path) {
    try {
        return ReadHostFile(path);
    } catch (const EReadError& error) {
        throw EFileError(path + ": " + error.what());  // the file shrank while we read it
    }
}

struct stat StatOrThrow(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) throw EFileError(FileOpenErrorText(path, std::strerror(errno)));
    return info;
}

std::vector<SourceEntry> ReadFolder(const std::string& folder, std::vector<FolderId>& ancestors,
                                    const CodePage& codePage) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) throw EFileError(FileOpenErrorText(folder, std::strerror(errno)));
    std::vector<std::string> names;
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());

    std::vector<SourceEntry> entries;
    const bool topLevel = ancestors.size() == 1;
    for (const std::string& name : names) {
        std::string path = folder + "/" + name;
        struct stat info = StatOrThrow(path);
        const std::string entryName = EntryNameForArchive(codePage, name, path);
        if (S_ISDIR(info.st_mode)) {
            FolderId id{info.st_dev, info.st_ino};
            if (std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end())
                throw EFileError(path + ": " + kLinkLoopMessage);
            ancestors.push_back(id);
            entries.push_back(SourceEntry::Directory(entryName, ReadFolder(path, ancestors, codePage)));
            ancestors.pop_back();
        } else if (S_ISREG(info.st_mode) && topLevel && IsSetupTextName(name)) {
            std::vector<std::uint8_t> bytes = ReadProductFile(path);
            std::string text = SetupTextForArchive(codePage, std::string(bytes.begin(), bytes.end()), path);
            entries.push_back(
                SourceEntry::File(entryName, std::vector<std::uint8_t>(text.begin(), text.end())));
        } else if (S_ISREG(info.st_mode)) {
            entries.push_back(SourceEntry::FileFrom(entryName, static_cast<std::int64_t>(info.st_size),
                                                    [path] { return ReadProductFile(path); }));
        } else {
            throw EFileError(path + ": " + kSpecialFileMessage);
        }
    }
    return entries;
}

}  // namespace

std::vector<SourceEntry> ReadProductTree(const std::string& folder, const CodePage& codePage) {
    struct stat info = StatOrThrow(folder);
    if (!S_ISDIR(info.st_mode)) throw EFileError(folder + ": " + kNotAFolderMessage);
    std::vector<FolderId> ancestors{{info.st_dev, info.st_ino}};
    return ReadFolder(folder, ancestors, codePage);
}
