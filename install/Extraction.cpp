// TInstaller: extracting entry lists into a destination folder, one file at a time, each
// streamed from the inflater into its file so memory use does not grow with file size.
#include "archive/BodyInflater.h"
#include "archive/BodyPrefetcher.h"
#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

constexpr std::uint32_t kHidingAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem;

}  // namespace

std::int64_t TInstaller::ExtractEntries(EntryListReader& list, const std::string& destination,
                                        std::int32_t stamp, int depth) {
    if (depth >= kMaxEntryDepth) throw ESetupError(kCorruptedArchiveMessage);
    std::int64_t result = 0;
    if (!destination.empty()) ForceDirectory(destination);
    EntryRecord record;
    // Next seeks to every record explicitly: the inflater reads ahead past a body's end. The
    // names it hands out are single safe components (IsSafeEntryName), so none climbs out of
    // destination.
    while (list.Next(record)) {
        if (record.IsDirectory()) {
            EntryListReader nested = list.Nested();
            result +=
                ExtractEntries(nested, destination.empty() ? destination : destination + record.Name + '\\',
                               stamp, depth + 1);
        } else if (destination.empty()) {
            result += record.UnpackedSize;
        } else {
            ExtractFile(list.GetStream(), record, list.BodyStart(), destination, stamp);
            if (OnWorking) OnWorking();
        }
    }
    return result;
}

void TInstaller::VisitDirectory(const std::string& name, const EntryVisit& visit) {
    auto data = OpenData();
    std::optional<FoundEntry> found = FindTopLevel(*data, name, true);
    if (!found) return;
    EntryListReader contents(*data, found->BodyStart, found->BodyEnd, info_.Text.get());
    VisitEntries(contents, std::string(), visit, 0);
}

void TInstaller::VisitEntries(EntryListReader& list, const std::string& prefix, const EntryVisit& visit,
                              int depth) {
    if (depth >= kMaxEntryDepth) throw ESetupError(kCorruptedArchiveMessage);
    EntryRecord record;
    while (list.Next(record)) {
        if (record.IsDirectory()) {
            std::string folder = prefix + record.Name + '\\';
            visit(folder, true);
            EntryListReader nested = list.Nested();
            VisitEntries(nested, folder, visit, depth + 1);
        } else {
            visit(prefix + record.Name, false);
        }
    }
}

void TInstaller::ExtractFile(Stream& data, const EntryRecord& record, std::int64_t bodyStart,
                             const std::string& destination, std::int32_t stamp) {
    std::string path = destination + record.Name;
    std::uint32_t attributes = 0;
    if (OnFile) OnFile(*this, path, attributes);
    if (path.empty()) return;
    std::uint32_t existing = platform_.FileAttributes(path);
    const bool existed = existing != kInvalidAttributes;
    if (!Overwrite && existed) return;
    for (;;) {
        try {
            if (existing != kInvalidAttributes && (existing & kAttrDirectory) == 0 &&
                (existing & kHidingAttributes) != 0)
                platform_.ChangeFileAttributes(path, existing & ~kHidingAttributes);
            {
                auto out = platform_.CreateForWriting(path);
                // Every attempt inflates from the body's first byte.
                ReadBody(data, record, bodyStart, [&](const std::uint8_t* bytes, std::size_t size) {
                    out->Write(bytes, size);
                    if (OnBytesWritten) OnBytesWritten(size);
                    if (OnWorking) OnWorking();
                });
                // Through the open file, before it is closed; a stamp that is no valid date
                // leaves the time as written.
                out->SetFileDate(static_cast<std::uint32_t>(stamp));
            }
            if (attributes != 0) {
                std::uint32_t current = platform_.FileAttributes(path);
                if (current != kInvalidAttributes) platform_.ChangeFileAttributes(path, current | attributes);
            }
            break;
        } catch (const std::exception& error) {
            bool retry = false;
            if (OnError) OnError(*this, error, path, retry);
            if (!retry) {
                // A new file the failure cut short is no file of the product's.
                if (!existed) platform_.RemoveFile(path);
                throw;
            }
            existing = platform_.FileAttributes(path);  // as the failed attempt left it
        }
    }
    // A file that a bundle's shared component writes again is counted, as logged, once.
    if (!LoggedFile(path)) writtenBytes_ += record.UnpackedSize;
    AddItem(ItemKind::File, path);
}

void TInstaller::ReadBody(Stream& data, const EntryRecord& record, std::int64_t bodyStart,
                          const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
    if (bodySources_ && bodySources_->Ahead && bodySources_->Ahead->Take(bodyStart, sink)) return;
    if (!inflater_) inflater_ = std::make_unique<BodyInflater>();
    inflater_->Inflate(bodySources_ ? *bodySources_->Bodies : data, bodyStart, record.BodyLength,
                       record.UnpackedSize, sink);
}
