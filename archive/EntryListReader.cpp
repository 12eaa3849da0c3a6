// Entry records and the validated walk over entry lists (SetupData.h).
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/LittleEndian.h"
#include "system/Stream.h"

namespace {

constexpr std::size_t kBodyLengthOffset = 68;
constexpr std::size_t kUnpackedSizeOffset = 72;

[[noreturn]] void Corrupted() {
    throw ESetupError(kCorruptedArchiveMessage);
}

}  // namespace

EntryRecord ReadEntryRecord(Stream& stream) {
    std::uint8_t raw[kEntryRecordSize];
    stream.ReadBuffer(raw, sizeof raw);
    EntryRecord record;
    record.NameLength = raw[0];
    record.Name.assign(reinterpret_cast<const char*>(raw + 1), std::min<int>(raw[0], kMaxNameLength));
    record.BodyLength = ReadLeInt32(raw + kBodyLengthOffset);
    record.UnpackedSize = ReadLeInt32(raw + kUnpackedSizeOffset);
    return record;
}

EntryRecord ReadEntryRecord(Stream& stream, std::int64_t listEnd) {
    const std::int64_t at = stream.Position();
    if (at + kEntryRecordSize > listEnd) Corrupted();
    EntryRecord record = ReadEntryRecord(stream);
    if (record.IsEnd()) return record;
    // The format never writes these; a reader that trusted them would loop, seek backwards or
    // out of the archive, or write outside the destination folder.
    if (record.NameLength > kMaxNameLength || !IsSafeEntryName(record.Name)) Corrupted();
    if (record.BodyLength < 0 || at + kEntryRecordSize + record.BodyLength > listEnd) Corrupted();
    if (record.UnpackedSize < kDirectoryUnpackedSize) Corrupted();
    return record;
}

void WriteEntryRecord(Stream& stream, const EntryRecord& record) {
    std::uint8_t raw[kEntryRecordSize] = {};
    raw[0] = record.NameLength;
    std::memcpy(raw + 1, record.Name.data(), std::min<std::size_t>(record.Name.size(), kMaxNameLength));
    PutLe32(raw + kBodyLengthOffset, static_cast<std::uint32_t>(record.BodyLength));
    PutLe32(raw + kUnpackedSizeOffset, static_cast<std::uint32_t>(record.UnpackedSize));
    stream.Write(raw, sizeof raw);
}

namespace {

// Windows opens a device for these names in any folder, with any extension and with blanks
// before it ("nul .txt"): extraction would write into the device instead of a file. The
// superscript digits are ANSI 0xB9, 0xB2 and 0xB3 (in UTF-8 C2 B9, C2 B2 and C2 B3), which
// Windows counts as digits here too.
bool IsDeviceName(const std::string& name, bool utf8) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (SameText(stem, device)) return true;
    const std::size_t digitSize = utf8 && stem.size() == 5 && static_cast<unsigned char>(stem[3]) == 0xC2 ? 2 : 1;
    if (stem.size() != 3 + digitSize) return false;
    const std::string port = stem.substr(0, 3);
    const auto digit = static_cast<unsigned char>(stem.back());
    const bool superscript = digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    const bool portDigit = digitSize == 1 ? (digit >= '1' && digit <= '9') || (!utf8 && superscript) : superscript;
    return portDigit && (SameText(port, "COM") || SameText(port, "LPT"));
}

bool IsSafeComponent(const std::string& name, bool utf8) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    // Windows drops trailing dots and blanks, so "a." would land on "a" and ".. " would climb
    // out of the folder; no file on a Windows disk has such a name.
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name, utf8);
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
    return name.size() <= static_cast<std::size_t>(kMaxNameLength) && IsSafeComponent(name, false);
}

bool IsSafeUtf8EntryName(const std::string& name) {
    return IsSafeComponent(name, true);
}

// --- EntryListReader ----------------------------------------------------------------------------

EntryListReader::EntryListReader(Stream& stream, std::int64_t listStart, std::int64_t listEnd,
                                 const ArchiveText* text)
    : stream_(stream), listEnd_(listEnd), next_(listStart), text_(text) {}

bool EntryListReader::Next(EntryRecord& record) {
    if (done_) return false;
    stream_.Seek(next_);
    EntryRecord read = ReadEntryRecord(stream_, listEnd_);
    if (read.IsEnd()) {
        done_ = true;
        return false;
    }
    bodyStart_ = next_ + kEntryRecordSize;
    next_ = bodyStart_ + read.BodyLength;
    if (text_) read.Name = text_->Name(read.Name);
    record = std::move(read);
    return true;
}

std::optional<FoundEntry> FindEntry(EntryListReader& list, const std::string& name, bool directory) {
    EntryRecord record;
    while (list.Next(record))
        if (record.IsDirectory() == directory && SameText(record.Name, name))
            return FoundEntry{record, list.BodyStart(), list.BodyEnd()};
    return std::nullopt;
}

// --- walking ------------------------------------------------------------------------------------

EntryListReader TopLevelEntries(Stream& stream, const ArchiveInfo& info) {
    return EntryListReader(stream, info.DirectoryStart, info.ArchiveEnd, info.Text.get());
}

void WalkEntries(Stream& stream, const ArchiveInfo& info,
                 const std::function<void(const WalkEntry&)>& visit) {
    struct Level {
        EntryListReader List;
        std::size_t PathLength;  // of the shared path buffer at this level
    };
    std::vector<Level> levels;
    levels.push_back({TopLevelEntries(stream, info), 0});
    std::string path;
    EntryRecord record;
    while (!levels.empty()) {
        Level& level = levels.back();
        path.resize(level.PathLength);
        if (!level.List.Next(record)) {
            levels.pop_back();
            continue;
        }
        if (!path.empty()) path += '\\';
        path += record.Name;
        const int depth = static_cast<int>(levels.size()) - 1;
        visit(WalkEntry{depth, path, record, level.List.BodyStart()});
        if (record.IsDirectory()) {
            EntryListReader nested = level.List.Nested();
            levels.push_back({nested, path.size()});
        }
    }
}
