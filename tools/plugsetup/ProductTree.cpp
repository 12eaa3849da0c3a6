#include "tools/plugsetup/ProductTree.h"

#include <algorithm>
#include <filesystem>

#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotAFolderMessage = "not a folder";
constexpr const char* kLinkLoopMessage = "a symbolic link leads back into its own folder";
constexpr const char* kSpecialFileMessage = "neither a file nor a folder";

std::vector<std::uint8_t> ReadProductFile(const std::string& path) {
    try {
        return ReadHostFile(path);
    } catch (const EReadError& error) {
        throw EFileError(path + ": " + error.what());  // the file shrank while we read it
    }
}

// What path leads to, links followed.
fs::file_status StatusOrThrow(const std::string& path) {
    std::error_code error;
    fs::file_status status = fs::status(HostPath(path), error);
    if (error) throw EFileError(FileOpenErrorText(path, error.message()));
    return status;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::error_code error;
    std::vector<std::string> names;
    for (const fs::path& entry : FolderEntries(HostPath(folder), error))
        names.push_back(PathText(entry.filename()));
    if (error) throw EFileError(FileOpenErrorText(folder, error.message()));
    return names;
}

// The same folder as one of its ancestors: a link that leads back up.
bool IsAncestor(const std::string& folder, const std::vector<std::string>& ancestors) {
    return std::any_of(ancestors.begin(), ancestors.end(), [&](const std::string& ancestor) {
        std::error_code error;
        return fs::equivalent(HostPath(folder), HostPath(ancestor), error);
    });
}

std::vector<SourceEntry> ReadFolder(const std::string& folder, std::vector<std::string>& ancestors,
                                    const CodePage& codePage) {
    std::vector<SourceEntry> entries;
    const bool topLevel = ancestors.size() == 1;
    for (const std::string& name : FolderNames(folder)) {
        const std::string path = JoinHostPath(folder, name);
        const fs::file_status status = StatusOrThrow(path);
        const std::string entryName = EntryNameForArchive(codePage, name, path);
        if (fs::is_directory(status)) {
            if (IsAncestor(path, ancestors)) throw EFileError(path + ": " + kLinkLoopMessage);
            ancestors.push_back(path);
            entries.push_back(SourceEntry::Directory(entryName, ReadFolder(path, ancestors, codePage)));
            ancestors.pop_back();
        } else if (fs::is_regular_file(status) && topLevel && IsSetupTextName(name)) {
            std::vector<std::uint8_t> bytes = ReadProductFile(path);
            std::string text = SetupTextForArchive(codePage, std::string(bytes.begin(), bytes.end()), path);
            entries.push_back(
                SourceEntry::File(entryName, std::vector<std::uint8_t>(text.begin(), text.end())));
        } else if (fs::is_regular_file(status)) {
            std::error_code error;
            const std::uintmax_t size = fs::file_size(HostPath(path), error);
            entries.push_back(SourceEntry::FileFrom(entryName, error ? -1 : static_cast<std::int64_t>(size),
                                                    [path] { return ReadProductFile(path); }));
        } else {
            throw EFileError(path + ": " + kSpecialFileMessage);
        }
    }
    return entries;
}

}  // namespace

std::vector<SourceEntry> ReadProductTree(const std::string& folder, const CodePage& codePage) {
    if (!fs::is_directory(StatusOrThrow(folder))) throw EFileError(folder + ": " + kNotAFolderMessage);
    std::vector<std::string> ancestors{folder};
    return ReadFolder(folder, ancestors, codePage);
}
