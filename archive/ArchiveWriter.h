// Writing a setup archive from a tree described in memory.
// Used by plugsetup build and by the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"
#include "system/Exceptions.h"

class Stream;

// An input the archive cannot hold: a version, a name or a size out of the format's range.
class EArchiveWriteError : public Exception {
    using Exception::Exception;
};

inline constexpr const char* kVersionNotSingleDigitMessage =
    "Version %s: the minor and release numbers must be single digits (0 to 9)";
inline constexpr const char* kVersionNegativeMessage = "Version numbers must not be negative";
inline constexpr const char* kNameTooLongMessage = "'%s': a name in a setup archive is at most 67 bytes long";
inline constexpr const char* kUnsafeNameMessage =
    "'%s': a name in a setup archive cannot be \".\" or \"..\", hold \\, /, : or control characters, end in "
    "a dot or a blank, or be a device name such as CON, NUL, COM1 or LPT1";
inline constexpr const char* kNotUtf8NameMessage = "'%s': a name in a UTF-8 setup archive must be UTF-8";
inline constexpr const char* kDuplicateNameMessage =
    "'%s' and '%s' differ only in the case of letters; Windows would see one name";
inline constexpr const char* kFileTooLargeMessage =
    "'%s': a file in a setup archive must be smaller than 2 GiB";
inline constexpr const char* kCompressionFailedMessage = "Not enough memory to compress a file";
inline constexpr const char* kArchiveTooLargeMessage =
    "The setup archive would reach 2 GiB; it must stay below";

// Levels of libdeflate that plugsetup build offers; each writes bodies that start with 0x78 0xDA
// (maximum compression). 10, the first of its thorough levels, is smaller than zlib's 9 on small
// products too, at about half zlib's time; 9 is a little faster and larger, 11 and 12 take
// longer for the last few tenths of a per cent.
inline constexpr int kMinCompressionLevel = 9;
inline constexpr int kMaxCompressionLevel = 12;
inline constexpr int kDefaultCompressionLevel = 10;

// One entry of the input tree: a file with its bytes (given, or read on demand) or a folder.
struct SourceEntry {
    std::string Name;
    bool IsDirectory = false;
    std::vector<SourceEntry> Children;  // folder
    std::vector<std::uint8_t> Bytes;    // file, when Reader is empty
    // File read on demand; it may run on a worker thread, once per build.
    std::function<std::vector<std::uint8_t>()> Reader;
    // Size known before reading (-1: unknown), so a file of 2 GiB or more is refused unread.
    std::int64_t KnownSize = -1;

    static SourceEntry File(std::string name, std::vector<std::uint8_t> bytes);
    static SourceEntry File(std::string name, const std::string& text);
    static SourceEntry FileFrom(std::string name, std::int64_t knownSize,
                                std::function<std::vector<std::uint8_t>()> reader);
    static SourceEntry Directory(std::string name, std::vector<SourceEntry> children);
};

struct ArchiveWriterOptions {
    TProgramVersion Version;
    double BuildTime = 0;  // day-count form, local time
    // Files are compressed independently on this many threads (0: one per core); the output
    // never depends on it.
    unsigned Threads = 0;
    int Level = kDefaultCompressionLevel;  // kMinCompressionLevel..kMaxCompressionLevel
    // The code page the names and setup texts are in, recorded in the archive's text mark
    // (kUtf8CodePage for UTF-8); 0 writes no mark, the format as it always was.
    std::uint32_t TextCodePage = 0;
    // For a progress display: told, on the compressing threads, of the input bytes of each piece
    // compressed (each file, once compressed), then once of the data length before the
    // archive is written.
    std::function<void(std::int64_t bytes)> OnCompressed;
    std::function<void(std::int64_t dataLength)> OnWriting;
};

struct ArchiveWriteResult {
    std::int64_t ArchiveStart = 0;
    std::int64_t ArchiveSize = 0;  // header + data
    std::int32_t DataLength = 0;
    std::uint32_t Checksum = 0;
    std::int32_t FileCount = 0;
};

// Writes the archive whose top-level list holds topLevel at the stream's position, which
// must be seekable (the checksum is filled in at the end). Entries of every list are written
// sorted by name bytewise, so the same input gives the same bytes; two names of one list that
// are equal but for the case of ASCII letters are refused, since Windows would see one name. An empty file
// gets the 8-byte zlib stream of no data as its body. Raises EArchiveWriteError for an input the format
// cannot hold, before anything is written.
ArchiveWriteResult WriteArchive(Stream& out, const std::vector<SourceEntry>& topLevel,
                                const ArchiveWriterOptions& options);

// Compresses file bodies one after another with the same state: the zlib stream (RFC 1950) of
// the data, from libdeflate at the level given, the same bytes on every machine.
struct libdeflate_compressor;
class BodyCompressor {
public:
    explicit BodyCompressor(int level = kDefaultCompressionLevel);
    ~BodyCompressor();
    BodyCompressor(const BodyCompressor&) = delete;
    BodyCompressor& operator=(const BodyCompressor&) = delete;

    std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t size);

private:
    libdeflate_compressor* compressor_;
};

// One body with a compressor of its own.
std::vector<std::uint8_t> CompressBody(const std::uint8_t* data, std::size_t size,
                                       int level = kDefaultCompressionLevel);

// Raises EArchiveWriteError when the version's text form would not read back (minor or
// release above 9) or a number is negative.
void CheckArchiveVersion(const TProgramVersion& version);
