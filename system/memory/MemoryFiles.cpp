#include <algorithm>
#include <cstring>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "system/memory/MemoryInternals.h"
#include "system/memory/MemoryNode.h"
#include "system/memory/MemoryPlatform.h"

namespace {

// A handle on an in-memory file. It keeps the node alive, so a file deleted while open
// behaves like one whose name is gone but whose handle still works.
class MemoryFileStream : public FileStream {
public:
    MemoryFileStream(std::shared_ptr<MemoryPlatform::Node> node, bool writing, ShareMode share,
                     std::shared_ptr<MemoryPlatform::Disk> disk = nullptr)
        : node_(std::move(node)), writing_(writing), share_(share), disk_(std::move(disk)) {
        (writing_ ? node_->writers : node_->readers)++;
        if (share_ != ShareMode::DenyNone) node_->denyWrite++;
        if (share_ == ShareMode::Exclusive) node_->denyRead++;
    }
    ~MemoryFileStream() override {
        (writing_ ? node_->writers : node_->readers)--;
        if (share_ != ShareMode::DenyNone) node_->denyWrite--;
        if (share_ == ShareMode::Exclusive) node_->denyRead--;
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        auto& bytes = node_->bytes;
        if (position_ >= static_cast<std::int64_t>(bytes.size())) return 0;
        std::size_t n = std::min<std::size_t>(count, bytes.size() - static_cast<std::size_t>(position_));
        if (node_->unreadableFrom >= 0 && position_ + static_cast<std::int64_t>(n) > node_->unreadableFrom)
            throw EFileError(FileReadErrorText(node_->path, SystemErrorText(kErrorReadFault)));
        std::memcpy(buffer, bytes.data() + position_, n);
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    void Write(const void* buffer, std::size_t count) override {
        if (!writing_) throw EFileError(FileWriteErrorText(node_->path, SystemErrorText(kErrorAccessDenied)));
        auto& bytes = node_->bytes;
        std::uint32_t error = 0;
        if (disk_)
            count = disk_->Admit(MemoryPlatform::PathKey(node_->path), bytes.size(), position_, count, error);
        std::size_t end = static_cast<std::size_t>(position_) + count;
        if (end > bytes.size()) bytes.resize(end);
        if (count > 0) std::memcpy(bytes.data() + position_, buffer, count);
        position_ = static_cast<std::int64_t>(end);
        if (error) throw EFileError(FileWriteErrorText(node_->path, SystemErrorText(error)));
    }
    std::int64_t Seek(std::int64_t position) override {
        return position_ = std::max<std::int64_t>(0, position);
    }
    std::int64_t Position() const override { return position_; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(node_->bytes.size()); }
    bool SetFileDate(std::uint32_t packed) override {
        if (!IsValidPackedDate(packed)) return false;
        node_->packedTime = packed;
        return true;
    }

private:
    std::shared_ptr<MemoryPlatform::Node> node_;
    bool writing_;
    ShareMode share_;
    std::shared_ptr<MemoryPlatform::Disk> disk_;
    std::int64_t position_ = 0;
};

bool IsDriveRoot(const std::string& key) {
    return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

std::string ParentKey(const std::string& key) {
    if (IsDriveRoot(key)) return std::string();
    std::size_t cut = key.rfind('\\');
    if (cut == std::string::npos) return std::string();
    return cut == 2 ? key.substr(0, 3) : key.substr(0, cut);
}

}  // namespace

std::string MemoryPlatform::PathKey(const std::string& path) {
    std::string key = UpperAscii(path);
    std::replace(key.begin(), key.end(), '/', '\\');
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    if (key.size() == 2 && key[1] == ':') key += '\\';
    return key;
}

MemoryPlatform::Node* MemoryPlatform::Find(const std::string& path) {
    auto it = nodes_.find(PathKey(path));
    return it == nodes_.end() ? nullptr : it->second.get();
}

MemoryPlatform::Node& MemoryPlatform::MakeFolder(const std::string& path) {
    std::string key = PathKey(path);
    if (Node* existing = Find(key)) return *existing;
    std::string parent = ParentKey(key);
    if (!parent.empty()) MakeFolder(parent);
    auto node = std::make_shared<Node>();
    node->path = path;
    std::replace(node->path.begin(), node->path.end(), '/', '\\');
    while (node->path.size() > 3 && node->path.back() == '\\') node->path.pop_back();
    node->isFolder = true;
    node->attributes = kAttrDirectory;
    Node& result = *node;
    nodes_[key] = std::move(node);
    return result;
}

void MemoryPlatform::AddFolder(const std::string& path) {
    MakeFolder(path);
}

void MemoryPlatform::AddFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                             std::uint32_t attributes) {
    std::string key = PathKey(path);
    std::string parent = ParentKey(key);
    if (!parent.empty()) MakeFolder(ExtractFilePath(path));
    auto node = std::make_shared<Node>();
    node->path = path;
    std::replace(node->path.begin(), node->path.end(), '/', '\\');
    node->attributes = attributes;
    node->bytes = bytes;
    nodes_[key] = std::move(node);
}

void MemoryPlatform::AddFile(const std::string& path, const std::string& text) {
    AddFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool MemoryPlatform::HasFile(const std::string& path) {
    Node* node = Find(path);
    return node && !node->isFolder;
}

std::vector<std::uint8_t> MemoryPlatform::FileBytes(const std::string& path) {
    Node* node = Find(path);
    if (!node || node->isFolder)
        throw EFileError(FileOpenErrorText(path, SystemErrorText(kErrorFileNotFound)));
    return node->bytes;
}

std::string MemoryPlatform::FileText(const std::string& path) {
    auto bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> MemoryPlatform::ListTree(const std::string& folder) {
    std::string prefix = PathKey(folder);
    if (prefix.back() != '\\') prefix += '\\';
    std::vector<std::string> result;
    for (const auto& [key, node] : nodes_)
        if (key.compare(0, prefix.size(), prefix) == 0)
            result.push_back(node->path + (node->isFolder ? "\\" : ""));
    return result;
}

std::uint32_t MemoryPlatform::FileAttributes(const std::string& path) {
    Node* node = Find(path);
    return node ? node->attributes : kInvalidAttributes;
}

std::unique_ptr<Stream> MemoryPlatform::OpenForReading(const std::string& path, ShareMode share) {
    auto it = nodes_.find(PathKey(path));
    if (it == nodes_.end() || it->second->isFolder) {
        bool folderMissing = !Find(ExtractFilePath(path));
        throw EFileError(FileOpenErrorText(
            path, SystemErrorText(folderMissing ? kErrorPathNotFound : kErrorFileNotFound)));
    }
    Node& node = *it->second;
    // Our read conflicts with handles that deny reading; their writes conflict with our
    // share mode.
    bool conflict = node.denyRead > 0 || (share != ShareMode::DenyNone && node.writers > 0) ||
                    (share == ShareMode::Exclusive && node.readers > 0);
    if (conflict) throw EFileError(FileOpenErrorText(path, SystemErrorText(kErrorSharingViolation)));
    return std::make_unique<MemoryFileStream>(it->second, false, share);
}

std::unique_ptr<FileStream> MemoryPlatform::CreateForWriting(const std::string& path) {
    std::unique_ptr<FileStream> stream = OpenForWritingUnrecorded(path);
    journal_.push_back({Write::Kind::File, path});
    return stream;
}

std::unique_ptr<FileStream> MemoryPlatform::CreateNewForWriting(const std::string& path) {
    if (nodes_.count(PathKey(path)) != 0)
        throw EFileError(FileCreateErrorText(path, SystemErrorText(kErrorFileExists)));
    return CreateForWriting(path);
}

std::unique_ptr<FileStream> MemoryPlatform::OpenForWritingUnrecorded(const std::string& path) {
    std::string key = PathKey(path);
    Node* folder = Find(ExtractFilePath(path));
    if (!folder || !folder->isFolder)
        throw EFileError(FileCreateErrorText(path, SystemErrorText(kErrorPathNotFound)));
    auto it = nodes_.find(key);
    if (it != nodes_.end()) {
        Node& node = *it->second;
        if (node.isFolder || (node.attributes & kAttrReadOnly))
            throw EFileError(FileCreateErrorText(path, SystemErrorText(kErrorAccessDenied)));
        if (node.readers > 0 || node.writers > 0)
            throw EFileError(FileCreateErrorText(path, SystemErrorText(kErrorSharingViolation)));
        disk_->GiveBack(node.bytes.size());
        node.bytes.clear();
        node.packedTime = 0;
        node.attributes = (node.attributes & ~kAttrNormal) | kAttrArchive;
        return std::make_unique<MemoryFileStream>(it->second, true, ShareMode::Exclusive, disk_);
    }
    AddFile(path, std::vector<std::uint8_t>());
    return std::make_unique<MemoryFileStream>(nodes_[key], true, ShareMode::Exclusive, disk_);
}

bool MemoryPlatform::OpensForWriting(const std::string& path) {
    Node* node = Find(path);
    return node && !node->isFolder && node->readers == 0 && node->writers == 0;
}

FolderResult MemoryPlatform::CreateFolder(const std::string& path) {
    std::string key = PathKey(path);
    if (failingFolders_.count(key)) return FolderResult::Failed;
    // Windows answers "already exists" for a file of that name too.
    if (Find(key)) return FolderResult::AlreadyExists;
    std::string parent = ParentKey(key);
    if (parent.empty() && !IsDriveRoot(key)) return FolderResult::Failed;
    if (!parent.empty()) {
        Node* parentNode = Find(parent);
        if (!parentNode || !parentNode->isFolder) return FolderResult::Failed;
    }
    MakeFolder(path);
    journal_.push_back({Write::Kind::Folder, path});
    return FolderResult::Created;
}

bool MemoryPlatform::RemoveFolder(const std::string& path) {
    std::string key = PathKey(path);
    Node* node = Find(key);
    if (!node || !node->isFolder || IsDriveRoot(key) || !ListTree(key).empty()) return false;
    nodes_.erase(key);
    journal_.push_back({Write::Kind::RemovedFolder, path});
    return true;
}

bool MemoryPlatform::RemoveFile(const std::string& path) {
    auto it = nodes_.find(PathKey(path));
    if (it == nodes_.end()) return false;
    Node& node = *it->second;
    // Windows refuses to delete a read-only file or one that is open without delete sharing.
    if (node.isFolder || (node.attributes & kAttrReadOnly) || node.readers > 0 || node.writers > 0)
        return false;
    disk_->GiveBack(node.bytes.size());
    nodes_.erase(it);
    journal_.push_back({Write::Kind::RemovedFile, path});
    return true;
}

bool MemoryPlatform::RenameFile(const std::string& from, const std::string& to) {
    auto it = nodes_.find(PathKey(from));
    if (it == nodes_.end() || it->second->isFolder) return false;
    std::shared_ptr<Node> node = it->second;
    // Windows renames a file only while nobody holds it open without sharing deletion, and
    // never across drives.
    if (node->readers > 0 || node->writers > 0) return false;
    const std::string toKey = PathKey(to);
    if (toKey.size() < 3 || PathKey(from).compare(0, 3, toKey, 0, 3) != 0) return false;
    Node* folder = Find(ExtractFilePath(to));
    if (!folder || !folder->isFolder) return false;
    auto target = nodes_.find(toKey);
    if (target != nodes_.end() && target->first != it->first) {
        Node& replaced = *target->second;
        if (replaced.isFolder || (replaced.attributes & kAttrReadOnly) || replaced.readers > 0 ||
            replaced.writers > 0)
            return false;
        disk_->GiveBack(replaced.bytes.size());
    }
    nodes_.erase(it);
    node->path = to;
    std::replace(node->path.begin(), node->path.end(), '/', '\\');
    nodes_[toKey] = std::move(node);
    Write renamed{Write::Kind::RenamedFile, from};
    renamed.newPath = to;
    journal_.push_back(std::move(renamed));
    return true;
}
