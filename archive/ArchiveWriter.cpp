#include "archive/ArchiveWriter.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <limits>
#include <map>
#include <memory>
#include <thread>

#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "system/Utf8.h"

namespace {

constexpr std::int64_t kInt32Limit = std::numeric_limits<std::int32_t>::max();

std::string Format(const char* pattern, const std::string& a, const std::string& b = std::string()) {
    std::string text = pattern;
    std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, a);
        at = text.find("%s", at + a.size());
        if (at != std::string::npos) text.replace(at, 2, b);
    }
    return text;
}

// The tree as it will be written: sorted, checked, files numbered in writing order.
struct PlanNode {
    const SourceEntry* Source;
    std::string Path;
    std::size_t FileIndex = 0;  // files only
    std::vector<PlanNode> Children;
    std::int64_t BodyLength = 0;  // known once the files are compressed
};

struct CompressedFile {
    std::int32_t UnpackedSize = 0;
    std::vector<std::uint8_t> Body;
};

// utf8: the archive is marked UTF-8, so the reader takes every name for UTF-8.
void CheckName(const std::string& name, const std::string& path, bool utf8) {
    if (name.size() > static_cast<std::size_t>(kMaxNameLength))
        throw EArchiveWriteError(Format(kNameTooLongMessage, path));
    if (!IsSafeEntryName(name) || (utf8 && !IsSafeUtf8EntryName(name)))
        throw EArchiveWriteError(Format(kUnsafeNameMessage, path));
    if (utf8 && !IsUtf8(name)) throw EArchiveWriteError(Format(kNotUtf8NameMessage, path));
}

std::vector<PlanNode> PlanList(const std::vector<SourceEntry>& entries, const std::string& folder,
                               std::vector<const PlanNode*>& files, bool utf8) {
    std::vector<const SourceEntry*> sorted;
    for (const SourceEntry& entry : entries) sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(),
              [](const SourceEntry* a, const SourceEntry* b) { return a->Name < b->Name; });
    std::vector<PlanNode> nodes;
    nodes.reserve(sorted.size());
    std::map<std::string, const std::string*> folded;  // upper-case name -> the first such name
    for (const SourceEntry* entry : sorted) {
        std::string path = folder.empty() ? entry->Name : folder + "\\" + entry->Name;
        CheckName(entry->Name, path, utf8);
        auto [found, added] = folded.emplace(UpperAscii(entry->Name), &entry->Name);
        if (!added) throw EArchiveWriteError(Format(kDuplicateNameMessage, *found->second, entry->Name));
        nodes.push_back(PlanNode{entry, path, 0, {}, 0});
    }
    // Children are planned after the whole list is in place, so the file pointers stay valid.
    for (PlanNode& node : nodes) {
        if (node.Source->IsDirectory) {
            node.Children = PlanList(node.Source->Children, node.Path, files, utf8);
        } else {
            node.FileIndex = files.size();
            files.push_back(&node);
        }
    }
    return nodes;
}

CompressedFile CompressFile(const PlanNode& node, BodyCompressor& compressor,
                            const std::function<void(std::int64_t)>& onCompressed) {
    const SourceEntry& source = *node.Source;
    if (source.KnownSize > kInt32Limit) throw EArchiveWriteError(Format(kFileTooLargeMessage, node.Path));
    std::vector<std::uint8_t> read;
    if (source.Reader) read = source.Reader();
    const std::vector<std::uint8_t>& bytes = source.Reader ? read : source.Bytes;
    if (static_cast<std::uint64_t>(bytes.size()) > static_cast<std::uint64_t>(kInt32Limit))
        throw EArchiveWriteError(Format(kFileTooLargeMessage, node.Path));
    CompressedFile result;
    result.UnpackedSize = static_cast<std::int32_t>(bytes.size());
    result.Body = compressor.Compress(bytes.data(), bytes.size());
    if (onCompressed) onCompressed(static_cast<std::int64_t>(bytes.size()));
    if (static_cast<std::int64_t>(result.Body.size()) > kInt32Limit)
        throw EArchiveWriteError(kArchiveTooLargeMessage);
    return result;
}

// Each file is compressed on its own, so the work spreads over threads and the result is the
// same as on one: bodies land in their slots and are written in order afterwards. The largest
// files are claimed first, so the small ones fill the time while the last big one finishes.
std::vector<CompressedFile> CompressAll(const std::vector<const PlanNode*>& files, unsigned threads, int level,
                                        const std::function<void(std::int64_t)>& onCompressed) {
    if (threads == 0) threads = std::thread::hardware_concurrency();
    std::vector<std::size_t> order(files.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto sizeOf = [&](std::size_t i) {
        const SourceEntry& source = *files[i]->Source;
        return source.Reader ? source.KnownSize : static_cast<std::int64_t>(source.Bytes.size());
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return sizeOf(a) > sizeOf(b); });

    std::vector<CompressedFile> bodies(files.size());
    std::vector<std::exception_ptr> errors(files.size());  // by claim
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        std::unique_ptr<BodyCompressor> compressor;
        while (!failed) {
            const std::size_t claim = next++;
            if (claim >= files.size()) break;
            try {
                if (!compressor) compressor = std::make_unique<BodyCompressor>(level);
                bodies[order[claim]] = CompressFile(*files[order[claim]], *compressor, onCompressed);
            } catch (...) {
                errors[claim] = std::current_exception();
                failed = true;
            }
        }
    };
    unsigned count = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(files.size())));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < count; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    // Files are claimed in a fixed order and every claimed one finishes, so the first failing
    // claim is the same whatever the thread count.
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
    return bodies;
}

// Fills in every body length and returns the size of the list including its end record.
std::int64_t MeasureList(std::vector<PlanNode>& nodes, const std::vector<CompressedFile>& bodies) {
    std::int64_t size = kEntryRecordSize;
    for (PlanNode& node : nodes) {
        node.BodyLength = node.Source->IsDirectory
                              ? MeasureList(node.Children, bodies)
                              : static_cast<std::int64_t>(bodies[node.FileIndex].Body.size());
        size += kEntryRecordSize + node.BodyLength;
        if (size > kInt32Limit) throw EArchiveWriteError(kArchiveTooLargeMessage);
    }
    return size;
}

// Passes writes on and sums them up.
class ChecksumWriter : public Stream {
public:
    explicit ChecksumWriter(Stream& out) : out_(out) {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void* buffer, std::size_t count) override {
        out_.Write(buffer, count);
        adler_ = Adler32(adler_, static_cast<const std::uint8_t*>(buffer), count);
    }
    std::int64_t Seek(std::int64_t) override { return out_.Position(); }
    std::int64_t Position() const override { return out_.Position(); }
    std::int64_t Size() const override { return out_.Size(); }
    std::uint32_t Checksum() const { return adler_; }

private:
    Stream& out_;
    std::uint32_t adler_ = 1;
};

// endMark: the bytes of the end record's name field (the text mark of the top-level list).
void WriteList(ChecksumWriter& out, const std::vector<PlanNode>& nodes,
               const std::vector<CompressedFile>& bodies, const std::string& endMark = std::string()) {
    for (const PlanNode& node : nodes) {
        EntryRecord record;
        record.NameLength = static_cast<std::uint8_t>(node.Source->Name.size());
        record.Name = node.Source->Name;
        // Measured before writing, so no record needs a second visit.
        record.BodyLength = static_cast<std::int32_t>(node.BodyLength);
        if (node.Source->IsDirectory) {
            record.UnpackedSize = kDirectoryUnpackedSize;
            WriteEntryRecord(out, record);
            WriteList(out, node.Children, bodies);
        } else {
            const CompressedFile& file = bodies[node.FileIndex];
            record.UnpackedSize = file.UnpackedSize;
            WriteEntryRecord(out, record);
            out.Write(file.Body.data(), file.Body.size());
        }
    }
    EntryRecord end;
    end.Name = endMark;  // the name length stays 0
    end.BodyLength = 0;
    end.UnpackedSize = kDirectoryUnpackedSize;
    WriteEntryRecord(out, end);
}

}  // namespace

SourceEntry SourceEntry::File(std::string name, std::vector<std::uint8_t> bytes) {
    SourceEntry entry;
    entry.Name = std::move(name);
    entry.Bytes = std::move(bytes);
    entry.KnownSize = static_cast<std::int64_t>(entry.Bytes.size());
    return entry;
}

SourceEntry SourceEntry::File(std::string name, const std::string& text) {
    return File(std::move(name), std::vector<std::uint8_t>(text.begin(), text.end()));
}

SourceEntry SourceEntry::FileFrom(std::string name, std::int64_t knownSize,
                                  std::function<std::vector<std::uint8_t>()> reader) {
    SourceEntry entry;
    entry.Name = std::move(name);
    entry.Reader = std::move(reader);
    entry.KnownSize = knownSize;
    return entry;
}

SourceEntry SourceEntry::Directory(std::string name, std::vector<SourceEntry> children) {
    SourceEntry entry;
    entry.Name = std::move(name);
    entry.IsDirectory = true;
    entry.Children = std::move(children);
    return entry;
}

void CheckArchiveVersion(const TProgramVersion& version) {
    if (version.Major < 0 || version.Minor < 0 || version.Release < 0 || version.Beta < 0)
        throw EArchiveWriteError(kVersionNegativeMessage);
    if (version.Minor > 9 || version.Release > 9)
        throw EArchiveWriteError(Format(kVersionNotSingleDigitMessage, version.AsString()));
}

ArchiveWriteResult WriteArchive(Stream& out, const std::vector<SourceEntry>& topLevel,
                                const ArchiveWriterOptions& options) {
    CheckArchiveVersion(options.Version);
    std::vector<const PlanNode*> files;
    std::vector<PlanNode> plan = PlanList(topLevel, std::string(), files, options.TextCodePage == kUtf8CodePage);
    const std::vector<CompressedFile> bodies =
        CompressAll(files, options.Threads, options.Level, options.OnCompressed);
    const std::int64_t dataLength = kVersionRecordSize + MeasureList(plan, bodies);
    if (dataLength > kInt32Limit) throw EArchiveWriteError(kArchiveTooLargeMessage);
    if (options.OnWriting) options.OnWriting(dataLength);

    ArchiveWriteResult result;
    result.ArchiveStart = out.Position();
    result.DataLength = static_cast<std::int32_t>(dataLength);
    result.FileCount = static_cast<std::int32_t>(files.size());

    ArchiveHeader header;
    std::copy(kSetupSignature, kSetupSignature + kSignatureSize, header.Signature);
    header.DataLength = result.DataLength;
    header.Checksum = 0;  // filled in below
    header.BuildTime = options.BuildTime;
    header.FileCount = result.FileCount;
    WriteArchiveHeader(out, header);

    ChecksumWriter data(out);
    options.Version.SaveToStream(data);
    WriteList(data, plan, bodies, TextMark(options.TextCodePage));
    const std::int64_t end = out.Position();

    result.Checksum = data.Checksum();
    result.ArchiveSize = end - result.ArchiveStart;
    header.Checksum = result.Checksum;
    out.Seek(result.ArchiveStart);
    WriteArchiveHeader(out, header);
    out.Seek(end);
    return result;
}
