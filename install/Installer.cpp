// TInstaller: opening the archive, the top-level lookup, loading data files and the log.
// Extraction lives in Extraction.cpp, the uninstaller copy in UninstallerCopy.cpp.
#include "install/Installer.h"

#include "archive/ArchiveLocation.h"
#include "archive/BodyInflater.h"
#include "archive/BodyPrefetcher.h"
#include "system/CommonUtils.h"
#include "system/SharedReadStream.h"
#include "system/ShellUtils.h"
#include "system/Stream.h"

TInstaller::TInstaller(Platform& platform) : TInstaller(platform, platform.OwnProgramPath()) {}

TInstaller::TInstaller(Platform& platform, std::string programPath)
    : platform_(platform), programPath_(std::move(programPath)) {
    ReadHeader();
}

TInstaller::~TInstaller() = default;

std::unique_ptr<Stream> TInstaller::OpenData() {
    return OpenArchiveData(platform_, programPath_);
}

void TInstaller::ReadHeader() {
    auto data = OpenData();
    info_ = CheckArchive(*data, [this](std::uint32_t codePage, const std::string& bytes) {
        return platform_.TextAsUtf8(codePage, bytes);
    });
}

std::optional<FoundEntry> TInstaller::FindTopLevel(Stream& data, const std::string& name, bool directory) {
    EntryListReader list = TopLevelEntries(data, info_);
    return FindEntry(list, name, directory);
}

std::unique_ptr<MemoryStream> TInstaller::LoadFile(const std::string& name) {
    auto data = OpenData();
    std::optional<FoundEntry> found = FindTopLevel(*data, name, false);
    if (!found) return nullptr;
    auto result = std::make_unique<MemoryStream>();
    InflateBody(*data, found->BodyStart, found->Record.BodyLength, found->Record.UnpackedSize,
                [&](const std::uint8_t* bytes, std::size_t size) { result->Write(bytes, size); });
    result->Seek(0);
    return result;
}

std::string TInstaller::TextAsUtf8(const std::string& stored) const {
    return info_.Text->Text(stored);
}

std::int64_t TInstaller::GetDirectorySize(const std::string& name) {
    return ExtractDirectory(name, std::string(), 0);
}

std::int64_t TInstaller::ExtractDirectory(const std::string& name, const std::string& destination,
                                          std::int32_t stamp) {
    if (stamp == 0) stamp = info_.FileDate;
    const std::string folder = IncludeBackslash(destination);
    if (folder.empty()) {
        auto data = OpenData();
        std::optional<FoundEntry> found = FindTopLevel(*data, name, true);
        if (!found) return 0;
        EntryListReader contents(*data, found->BodyStart, found->BodyEnd, info_.Text.get());
        return ExtractEntries(contents, folder, stamp);
    }
    // Records are read through a buffer and bodies in large blocks through views of their own,
    // the same way with or without the second thread, so a read error strikes the same read.
    SharedReadStream archive(OpenArchiveFile(platform_, programPath_), platform_.NewThreadLock());
    BufferedReadStream data(archive.View());
    std::optional<FoundEntry> found = FindTopLevel(data, name, true);
    if (!found) return 0;
    EntryListReader contents(data, found->BodyStart, found->BodyEnd, info_.Text.get());
    std::unique_ptr<Stream> bodies = archive.View();
    std::unique_ptr<BodyPrefetcher> ahead;
    if (InflateAhead)
        ahead = BodyPrefetcher::Start(platform_, archive.View(), found->BodyStart, found->BodyEnd, kMaxEntryDepth);
    const BodySources sources{bodies.get(), ahead.get()};
    bodySources_ = &sources;
    try {
        ExtractEntries(contents, folder, stamp);
    } catch (...) {
        bodySources_ = nullptr;
        throw;
    }
    bodySources_ = nullptr;
    return 0;
}

bool TInstaller::ForceDirectory(const std::string& path) {
    if (path.empty()) return false;
    if (platform_.DirectoryExists(path)) {
        AddItem(ItemKind::ExistingFolder, path);
        return true;
    }
    std::string withoutBackslash = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
    std::string parent = ExtractFilePath(withoutBackslash);
    if (parent != path) ForceDirectory(parent);
    platform_.CreateFolder(path);
    if (!platform_.DirectoryExists(path)) return false;
    AddItem(ItemKind::CreatedFolder, path);
    return true;
}

void TInstaller::AddItem(ItemKind kind, const std::string& text) {
    // Paths compare as Windows compares them: one file, however its letters are cased.
    if (kind == ItemKind::File && !loggedFiles_.insert(UpperAscii(text)).second) return;
    items_.push_back({kind, text});
}

bool TInstaller::LoggedFile(const std::string& path) const {
    return loggedFiles_.count(UpperAscii(path)) != 0;
}

void TInstaller::AddRegistryKey(RootKey root, const std::string& keyPath, bool view64) {
    if (std::optional<ItemKind> kind = RegistryItemKind(root, view64)) AddItem(*kind, keyPath);
}

bool TInstaller::CreateShortcut(const std::string& linkFile, const std::string& target,
                                const std::string& arguments, int iconIndex) {
    // A link that was never saved would only turn up as a failed removal in the uninstaller.
    if (!::CreateShortcut(platform_, linkFile, target, arguments, iconIndex)) return false;
    AddItem(ItemKind::File, linkFile);
    return true;
}
