#include "tools/plugsetup/host/HostPath.h"

#include <algorithm>

std::filesystem::path HostPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string JoinHostPath(const std::string& folder, const std::string& name) {
    return PathText(HostPath(folder) / HostPath(name));
}

std::vector<std::filesystem::path> FolderEntries(const std::filesystem::path& folder,
                                                 std::error_code& error) {
    std::vector<std::pair<std::string, std::filesystem::path>> named;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
        named.emplace_back(PathText(it->path().filename()), it->path());
    std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::filesystem::path> entries;
    for (auto& [name, path] : named) entries.push_back(std::move(path));
    return entries;
}
