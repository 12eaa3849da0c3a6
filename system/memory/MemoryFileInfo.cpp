// Searching, attributes, time stamps and free space of the in-memory machine, and its file
// faults.
#include <algorithm>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/memory/MemoryInternals.h"
#include "system/memory/MemoryNode.h"
#include "system/memory/MemoryPlatform.h"

namespace {

constexpr std::uint64_t kPlentyOfSpace = 100ull << 30;

bool Glob(const char* name, const char* pattern) {
    // Iterative '*' matching with one backtrack point, as the pattern holds no other operator.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && FoldAscii(*pattern) == FoldAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}

bool IsShortName(const std::string& name) {
    std::size_t dot = name.find('.');
    if (dot != name.rfind('.')) return false;
    std::size_t baseLength = dot == std::string::npos ? name.size() : dot;
    std::size_t extLength = dot == std::string::npos ? 0 : name.size() - dot - 1;
    if (baseLength == 0 || baseLength > 8 || extLength > 3) return false;
    return name.find_first_of(" +,;=[]") == std::string::npos;
}

// The 8.3 alias Windows gives a long name, such as CTXTX~1.TXT for c.txtx; patterns match it
// too, which is why "*.txt" also finds c.txtx.
std::string ShortAlias(const std::string& name) {
    std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1, 3);
    base.erase(std::remove_if(base.begin(), base.end(), [](char c) { return c == ' ' || c == '.'; }),
               base.end());
    std::string alias = UpperAscii(base.substr(0, 6)) + "~1";
    return ext.empty() ? alias : alias + "." + UpperAscii(ext);
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (Glob(name.c_str(), pattern.c_str())) return true;
    // "name.*" also finds "name" without an extension.
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos &&
        Glob(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str()))
        return true;
    return name != "." && name != ".." && !IsShortName(name) &&
           Glob(ShortAlias(name).c_str(), pattern.c_str());
}

bool IsDriveRootKey(const std::string& key) {
    return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

std::string ParentOfKey(const std::string& key) {
    if (IsDriveRootKey(key)) return std::string();
    std::size_t cut = key.rfind('\\');
    if (cut == std::string::npos) return std::string();
    return cut == 2 ? key.substr(0, 3) : key.substr(0, cut);
}

class SnapshotSearch : public FileSearch {
public:
    explicit SnapshotSearch(std::vector<FoundFile> entries) : entries_(std::move(entries)) {}
    const FoundFile& Current() const override { return entries_[index_]; }
    bool Next() override {
        if (index_ + 1 >= entries_.size()) return false;
        ++index_;
        return true;
    }

private:
    std::vector<FoundFile> entries_;
    std::size_t index_ = 0;
};

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

bool IsValidPackedDate(std::uint32_t packed) {
    int year = static_cast<int>(packed >> 25) + 1980;
    int month = (packed >> 21) & 0x0F;
    int day = (packed >> 16) & 0x1F;
    int hour = (packed >> 11) & 0x1F;
    int minute = (packed >> 5) & 0x3F;
    int second = (packed & 0x1F) * 2;
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) && hour <= 23 &&
           minute <= 59 && second <= 59;
}

bool MemoryPlatform::ChangeFileAttributes(const std::string& path, std::uint32_t attributes) {
    Node* node = Find(path);
    if (!node) return false;
    // Only these bits can be set; the folder bit belongs to the entry.
    attributes &=
        kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrNormal | 0x100 | 0x1000 | 0x2000;
    if (node->isFolder) {
        node->attributes = (attributes & ~std::uint32_t{kAttrNormal}) | kAttrDirectory;
    } else {
        if (attributes != kAttrNormal) attributes &= ~std::uint32_t{kAttrNormal};
        node->attributes = attributes ? attributes : kAttrNormal;
    }
    Write change{Write::Kind::Attributes, path};
    change.attributes = node->attributes;
    journal_.push_back(std::move(change));
    return true;
}

std::unique_ptr<FileSearch> MemoryPlatform::FindFiles(const std::string& pattern) {
    std::string folder = ExtractFilePath(pattern);
    std::string mask = ExtractFileName(pattern);
    Node* folderNode = folder.empty() ? nullptr : Find(folder);
    if (!folderNode || !folderNode->isFolder || mask.empty()) return nullptr;
    std::string folderKey = PathKey(folder);
    std::vector<FoundFile> entries;
    if (!IsDriveRootKey(folderKey)) {
        for (const char* dots : {".", ".."})
            if (MatchesPattern(dots, mask)) entries.push_back({dots, kAttrDirectory});
    }
    for (const auto& [key, node] : nodes_) {
        if (ParentOfKey(key) != folderKey) continue;
        std::string name = ExtractFileName(node->path);
        if (MatchesPattern(name, mask)) entries.push_back({name, node->attributes});
    }
    if (entries.empty()) return nullptr;
    return std::make_unique<SnapshotSearch>(std::move(entries));
}

bool MemoryPlatform::SetFileDate(const std::string& path, std::uint32_t packed) {
    Node* node = Find(path);
    if (!node || !IsValidPackedDate(packed)) return false;
    node->packedTime = packed;
    return true;
}

std::optional<std::uint32_t> MemoryPlatform::FileDate(const std::string& path) {
    Node* node = Find(path);
    if (!node) return std::nullopt;
    return node->packedTime ? node->packedTime : clock_;
}

std::optional<std::uint64_t> MemoryPlatform::FreeDiskSpace(const std::string& path) {
    std::string key = PathKey(path);
    if (key.size() < 3 || key[1] != ':' || !Find(key.substr(0, 3))) return std::nullopt;
    return disk_->freeBytes ? *disk_->freeBytes : kPlentyOfSpace;
}

void MemoryPlatform::LockFile(const std::string& path, const std::string& program) {
    locks_[PathKey(path)] = OpenForReading(path, ShareMode::Exclusive);
    if (!program.empty()) lockingPrograms_[PathKey(path)] = program;
}

void MemoryPlatform::UnlockFile(const std::string& path) {
    locks_.erase(PathKey(path));
    lockingPrograms_.erase(PathKey(path));
}

std::vector<std::string> MemoryPlatform::ProgramsUsing(const std::vector<std::string>& paths) {
    std::vector<std::string> programs;
    for (const std::string& path : paths) {
        auto it = lockingPrograms_.find(PathKey(path));
        if (it != lockingPrograms_.end() &&
            std::find(programs.begin(), programs.end(), it->second) == programs.end())
            programs.push_back(it->second);
    }
    return programs;
}

void MemoryPlatform::FailFolderCreation(const std::string& path) {
    failingFolders_.insert(PathKey(path));
}

void MemoryPlatform::SetFreeDiskSpace(std::uint64_t bytes) {
    disk_->freeBytes = bytes;
}

void MemoryPlatform::FailReadsFrom(const std::string& path, std::int64_t offset) {
    if (Node* node = Find(path)) node->unreadableFrom = offset;
}

void MemoryPlatform::FailWritesAfter(std::uint64_t bytes, std::uint32_t errorCode, const std::string& path) {
    disk_->failAfter = bytes;
    disk_->failCode = errorCode;
    disk_->failPathKey = path.empty() ? std::string() : PathKey(path);
}
