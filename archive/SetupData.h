// The setup archive container: header, checksum, entry records, and the validated
// walk over the entry tree that every reader of the archive builds on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "archive/ArchiveText.h"
#include "archive/CommonClasses.h"

class Stream;

// --- layout -------------------------------------------------------------------------------
inline constexpr char kSetupSignature[] = "KW/ISB/3";
inline constexpr std::size_t kSignatureSize = 8;
inline constexpr std::int64_t kArchiveHeaderSize = 28;
inline constexpr std::int64_t kVersionRecordSize = 25;
inline constexpr std::int64_t kEntryRecordSize = 76;
inline constexpr int kMaxNameLength = 67;
inline constexpr std::int32_t kDirectoryUnpackedSize = -1;
// Adler-32 is computed over the archive data in blocks of this size.
inline constexpr std::size_t kChecksumBlockSize = 4096;

// --- messages -----------------------------------------------------------------------------
inline constexpr const char* kInvalidSignatureMessage = "Invalid setup data signature";
inline constexpr const char* kCorruptedArchiveMessage =
    "The installer appears to be corrupted. Please download it again";

// --- header -------------------------------------------------------------------------------
struct ArchiveHeader {
    char Signature[kSignatureSize] = {};
    std::int32_t DataLength = 0;  // bytes after the header: version record + top-level list
    std::uint32_t Checksum = 1;   // Adler-32 over those bytes
    double BuildTime = 0;         // local time, days since 30 December 1899
    std::int32_t FileCount = 0;   // file entries in the whole tree; readers ignore it
};

// Reads 28 bytes (EReadError when the stream ends first); checks nothing.
ArchiveHeader ReadArchiveHeader(Stream& stream);
void WriteArchiveHeader(Stream& stream, const ArchiveHeader& header);

// --- entry records ------------------------------------------------------------------------
struct EntryRecord {
    std::uint8_t NameLength = 0;  // 0 marks the end record
    std::string Name;             // the first NameLength bytes (at most 67) of the name field
    std::int32_t BodyLength = 0;
    std::int32_t UnpackedSize = kDirectoryUnpackedSize;  // -1 for a directory

    bool IsEnd() const { return NameLength == 0; }
    bool IsDirectory() const { return UnpackedSize == kDirectoryUnpackedSize; }
    bool IsFile() const { return !IsDirectory(); }

    static EntryRecord End() { return EntryRecord{}; }
};

// Reads one 76-byte record at the stream's position as it stands, without any check (a name
// length above 67 keeps only 67 bytes of name). EReadError when the stream ends first.
EntryRecord ReadEntryRecord(Stream& stream);

// Reads and validates one record of a list that ends at the absolute position listEnd. The
// one place where a damaged or hostile entry list is caught; raises ESetupError with
// kCorruptedArchiveMessage when:
//  - the record itself does not fit before listEnd;
//  - a name length is above 67, or the name is not one safe path component (IsSafeEntryName);
//  - a body length is negative or the body runs past listEnd;
//  - an unpacked size is below -1.
EntryRecord ReadEntryRecord(Stream& stream, std::int64_t listEnd);

// Writes the record; the unused name bytes are zero. The name must fit (67 bytes).
void WriteEntryRecord(Stream& stream, const EntryRecord& record);

// One path component that extraction can append to a folder without leaving it: 1..67 bytes,
// not "." or "..", no "\", "/", ":" and no control character below 0x20, not ending in a dot
// or a blank (Windows drops them), and no device name such as CON, NUL, COM1 or LPT1.
bool IsSafeEntryName(const std::string& name);
// The same rules for a name converted to UTF-8, which may be longer than its stored form; the
// superscript digits of device names are their UTF-8 forms.
bool IsSafeUtf8EntryName(const std::string& name);

// Reads one entry list: every record is reached by an explicit seek to P + 76 + body length
// of the one before (the inflater reads ahead, so the stream position after a body means
// nothing), and each record is validated against the list's end. With the archive's text, the
// names it hands out are UTF-8 (ArchiveText::Name); without, as stored.
class EntryListReader {
public:
    // listStart: absolute position of the list's first record; listEnd: the position right
    // after the list's last byte (the enclosing body's end, or the archive's data end). text
    // must outlive the reader and the lists nested in it.
    EntryListReader(Stream& stream, std::int64_t listStart, std::int64_t listEnd,
                    const ArchiveText* text = nullptr);

    // Reads the next record into record; false once the end record is reached (and on every
    // call after that). Leaves the stream at the entry's body.
    bool Next(EntryRecord& record);

    // Of the entry that Next returned last.
    std::int64_t BodyStart() const { return bodyStart_; }
    std::int64_t BodyEnd() const { return next_; }
    // The list held in the body of the directory entry that Next returned last.
    EntryListReader Nested() const { return EntryListReader(stream_, bodyStart_, next_, text_); }

    Stream& GetStream() const { return stream_; }
    std::int64_t ListEnd() const { return listEnd_; }

private:
    Stream& stream_;
    std::int64_t listEnd_;
    std::int64_t next_;
    std::int64_t bodyStart_ = 0;
    bool done_ = false;
    const ArchiveText* text_;
};

// The first entry of the list whose name equals name with ASCII letters compared without
// regard to case and that is of the asked kind; entries of the other kind are skipped. The
// reader is left right after the found entry.
struct FoundEntry {
    EntryRecord Record;
    std::int64_t BodyStart;
    std::int64_t BodyEnd;
};
std::optional<FoundEntry> FindEntry(EntryListReader& list, const std::string& name, bool directory);

// --- checksum and time ----------------------------------------------------------------------
// Adler-32 (RFC 1950) of our own, with the modulo deferred over runs of 5552 bytes; 16 bytes at
// a time where the processor has SSE2. Adler32Portable is the byte-by-byte form, for tests.
std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t size);
std::uint32_t Adler32Portable(std::uint32_t adler, const std::uint8_t* data, std::size_t size);

struct DateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};
// Day-count doubles: whole days since 30 December 1899, fraction = time of day; the range is
// the years 1..9999. Invalid parts or values give nothing.
std::optional<double> EncodeDateTime(const DateTimeParts& parts);
std::optional<DateTimeParts> DecodeDateTime(double value);

// The packed local date-time that stamps extracted files: bits 25-31 year - 1980, 21-24
// month, 16-20 day, 11-15 hour, 5-10 minute, 0-4 second / 2. Years outside 1980..2107 give 0.
std::int32_t PackDateTime(double buildTime);

// --- checking and walking -------------------------------------------------------------------
struct ArchiveInfo {
    TProgramVersion Version;
    double BuildTime = 0;
    std::int32_t FileDate = 0;  // BuildTime packed
    std::int32_t DataLength = 0;
    std::int32_t FileCount = 0;
    std::int64_t ArchiveStart = 0;    // absolute stream positions
    std::int64_t DirectoryStart = 0;  // the first top-level entry record
    std::int64_t ArchiveEnd = 0;      // right after the data; the top-level list ends here
    // The code page the archive's mark records (kUtf8CodePage for UTF-8); 0 without a mark.
    std::uint32_t TextCodePage = 0;
    // What the archive's names and setup texts mean; shared by every copy of the info.
    std::shared_ptr<const ArchiveText> Text = std::make_shared<ArchiveText>();
};

// With the stream at the archive start: reads the header (EReadError when the stream is too
// short for it), checks the signature (ESetupError kInvalidSignatureMessage), the Adler-32
// over data-length bytes read in blocks of 4096 (ESetupError kCorruptedArchiveMessage), and
// reads the version record (Exception kInvalidVersionOnStreamMessage) and the text mark. Leaves
// the stream at the directory start. With a conversion, the readers made from the info hand out
// names as UTF-8; without, they check only UTF-8 names.
ArchiveInfo CheckArchive(Stream& stream, CodePageConversion convert = {});

// The top-level entry list of a checked archive; its names as info.Text makes them.
EntryListReader TopLevelEntries(Stream& stream, const ArchiveInfo& info);

struct WalkEntry {
    int Depth;              // 0 at the top level
    std::string_view Path;  // names joined with backslashes; valid during the call only
    EntryRecord Record;
    std::int64_t BodyStart;
};
// Visits every entry of the tree in stored order, depth first, each directory before its
// contents. Iterative, so a hostile nesting depth cannot exhaust the stack. Errors of the
// walk are those of ReadEntryRecord(stream, listEnd); an exception from visit propagates.
void WalkEntries(Stream& stream, const ArchiveInfo& info, const std::function<void(const WalkEntry&)>& visit);
